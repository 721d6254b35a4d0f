// Reading a list of same-key elements from tagged text: take the first
// element (getTag), remove it from a working copy (deleteTag) and read
// again.  Done literally, every step copies the rest of the text, so n
// elements of a text of length L cost n * L.  ElementSequence gives the
// same values and leaves the same working text in one forward pass over
// the text, odd texts included (stray close marks, marks that only form
// once an element between their halves is removed, white space trimmed
// around removed elements).
//
// Several keys may be read in turn from one sequence: the working text
// carries over from key to key exactly as it would with getTag and
// deleteTag on one string.  Keys must not contain "<" or start with "/".
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace zx {

class ElementSequence {
public:
    // The sequence keeps a view of `text`, which must outlive it unchanged.
    explicit ElementSequence(std::string_view text);

    // getTag(working, key), then working = deleteTag(working, key).
    // Nothing when that step leaves the working text unchanged (the key has
    // no open mark, no close mark, or no close mark after its open mark):
    // the value is then empty and every further take of the same key gives
    // nothing again.  The view stays valid until the next call.
    std::optional<std::string_view> take(std::string_view key);

    // The working text as it stands.
    std::string workingText() const;

private:
    static constexpr std::size_t npos = std::string_view::npos;

    void startKey(std::string_view key);
    struct RestMarks {
        std::size_t open = npos;           // first open mark in the rest
        std::size_t firstClose = npos;     // first close mark in the rest
        std::size_t closeAfterOpen = npos; // first close mark after the open mark
    };
    // Position of a `mark` that begins in the front and ends in the rest.
    std::size_t findInZone(const std::string& mark) const;
    // The marks of the current key in the rest; with `openBeforeRest` only
    // the close marks are looked for.
    RestMarks scanRest(bool openBeforeRest) const;
    std::optional<std::string_view> takeLiterally(std::string_view key);

    // The working text is m_front + m_rest.  m_front is what is left before
    // the elements removed so far: trimmed at both ends and holding no
    // complete open mark of the current key (nor a close mark unless
    // m_frontHasClose).  m_rest views the original text or m_buffer.
    std::string m_front;
    std::string_view m_rest;
    bool m_frontHasClose = false;
    std::string m_buffer;
    std::string m_value;
    std::string m_key;
    std::string m_open;
    std::string m_close;
    mutable std::string m_zone;
    bool m_started = false;
};

} // namespace zx
