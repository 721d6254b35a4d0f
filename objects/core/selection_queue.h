// The page's selection limit (`numSelections` of the page record) over the
// selected buttons (selectionQueue) or the placed items (placementQueue).
//
// The queue holds up to 60 object ids, newest first; an id is whatever the
// page uses to name its objects (for example the object's slot number),
// never negative.  With a limit n of 1 or more (values above 60 count as
// 60), selecting an object puts it first and, when that makes n + 1
// selections, hands back the one selected longest ago: the caller clears it
// (clearSelection / clearPlacement).  With n of 0 or less there is no limit
// and the queue stays empty.  So n = 1 behaves like a radio group.
#pragma once

#include <array>
#include <optional>
#include <string_view>

namespace zx {

class SelectionQueue {
public:
    static constexpr int capacity = 60;
    static constexpr int empty = -1;

    // The limit a page allows: 0 for none, otherwise 1..60.
    static int limitFrom(int numSelections);
    // limitFrom(getTagInt(pageRecord, "numSelections", 0)).
    static int limitOfPage(std::string_view pageRecord);

    // `id` was selected (onSelected / onPlaced).  Returns the id that must
    // now be cleared to keep within `limit`, if any; that id is no longer
    // in the queue.  Selecting an id that is already queued keeps a single
    // entry for it.
    std::optional<int> select(int id, int limit);
    // `id` was deselected (onDeselected / onRemoved): every slot holding it
    // is emptied.
    void deselect(int id);
    // Empties all slots (before a page is built, and around Cheat).
    void clear();

    // The id in slot 0..59 (slot 0 newest), or `empty`.
    int at(int slot) const { return m_slots.at(static_cast<std::size_t>(slot)); }
    bool contains(int id) const;
    // How many slots hold an id.
    int count() const;

private:
    std::array<int, capacity> m_slots = makeEmpty();

    static constexpr std::array<int, capacity> makeEmpty()
    {
        std::array<int, capacity> cells{};
        cells.fill(empty);
        return cells;
    }
};

} // namespace zx
