// The target list of a draggable item, read from its record's `targets`
// value: entries ended by ";", each of seven fields separated by ","
// (index, name, mark, left, top, width, height), for example
// "0,,1,100,50,120,40;1,,0,100,120,120,40;".
//
// Indices 0..99 are kept (an empty or unreadable index reads 0, any other
// index is ignored); a later entry with the same index replaces the earlier
// one.  Unreadable numbers fall back to left 0, top 0, width 100, height 40;
// a missing trailing field reads as empty.  Reading stops when the rest is
// 3 characters or shorter or holds no ";".  A slot is defined unless its
// left equals its width and its top equals its height, so an unset slot
// (all zeros) is undefined; only defined targets take part in dropping,
// marking and showing answers.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace zx {

struct DragTarget {
    std::string name;
    std::string markText = "0";
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool isDefined() const { return !(left == width && top == height); }
    // parseHundredths of the mark text.
    int mark() const;
};

class DragTargets {
public:
    static constexpr int slotCount = 100;

    DragTargets() = default;
    explicit DragTargets(std::string_view targetsText);
    // Reads getTag(record, "targets").
    static DragTargets fromRecord(std::string_view record);

    const DragTarget& at(int index) const { return m_targets.at(static_cast<std::size_t>(index)); }
    // True for 0..99 naming a defined target.
    bool isDefined(int index) const;

private:
    std::array<DragTarget, slotCount> m_targets;
};

} // namespace zx
