// Fast reading of numbered elements ("<questionFile0>" ... "<questionFile499>")
// from one big tagged text.  The text is scanned once; every value then
// comes out exactly as getTag(text, prefix + number) would give it: the
// first open mark and the first close mark of each key win, and a missing
// or reversed pair reads as empty.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

class NumberedTags {
public:
    // Indexes the keys prefix + "0" ... prefix + (count - 1).  The reader
    // keeps a view of `text`: the text must outlive it and stay unchanged.
    NumberedTags(std::string_view text, std::string_view prefix, int count);

    int count() const { return static_cast<int>(m_open.size()); }

    // getTag(text, prefix + number); empty for numbers outside 0..count-1.
    std::string value(int number) const;
    std::string_view valueView(int number) const;
    std::size_t valueLength(int number) const { return valueView(number).size(); }

private:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    void scan();

    std::string_view m_text;
    std::string m_prefix;
    std::vector<std::size_t> m_open;  // position of the first "<key>"
    std::vector<std::size_t> m_close; // position of the first "</key>"
};

} // namespace zx
