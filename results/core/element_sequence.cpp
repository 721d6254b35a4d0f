#include "results/core/element_sequence.h"

#include "tagtext/tagged_text.h"

#include <algorithm>
#include <cstring>

namespace zx {

namespace {

bool isSpace(char c) { return static_cast<unsigned char>(c) <= 32; }

std::string_view trimmedView(std::string_view text)
{
    while (!text.empty() && isSpace(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && isSpace(text.back()))
        text.remove_suffix(1);
    return text;
}

} // namespace

ElementSequence::ElementSequence(std::string_view text)
    : m_rest(text)
{
}

std::string ElementSequence::workingText() const
{
    std::string text;
    text.reserve(m_front.size() + m_rest.size());
    text += m_front;
    text += m_rest;
    return text;
}

void ElementSequence::startKey(std::string_view key)
{
    // The front was kept free of the old key's marks only: join it to the
    // rest so that the new key is searched in one piece.
    if (!m_front.empty()) {
        std::string joined = workingText();
        m_buffer = std::move(joined);
        m_rest = m_buffer;
        m_front.clear();
    }
    m_frontHasClose = false;
    m_key = key;
    m_open = "<" + m_key + ">";
    m_close = "</" + m_key + ">";
    m_started = true;
}

std::size_t ElementSequence::findInZone(const std::string& mark) const
{
    const std::size_t frontSize = m_front.size();
    const std::size_t tail = std::min(frontSize, mark.size() - 1);
    if (tail == 0)
        return npos;
    m_zone.assign(m_front, frontSize - tail, tail);
    m_zone += m_rest.substr(0, mark.size() - 1);
    const std::size_t z = m_zone.find(mark);
    return z != npos && z < tail ? frontSize - tail + z : npos;
}

ElementSequence::RestMarks ElementSequence::scanRest(bool openBeforeRest) const
{
    // One look at every "<" of the rest, up to the first close mark after
    // the first open mark.
    RestMarks marks;
    const char* const data = m_rest.data();
    const std::size_t size = m_rest.size();
    auto markAt = [&](std::size_t at, const std::string& mark) {
        return size - at >= mark.size() && data[at + 1] == mark[1]
               && std::memcmp(data + at, mark.data(), mark.size()) == 0;
    };
    bool openKnown = openBeforeRest;
    std::size_t pos = 0;
    while (pos < size) {
        const void* hit = std::memchr(data + pos, '<', size - pos);
        if (!hit)
            break;
        const std::size_t lt = static_cast<std::size_t>(static_cast<const char*>(hit) - data);
        if (!openKnown && markAt(lt, m_open)) {
            marks.open = lt;
            openKnown = true;
        } else if (markAt(lt, m_close)) {
            if (marks.firstClose == npos)
                marks.firstClose = lt;
            if (openKnown) {
                marks.closeAfterOpen = lt;
                break;
            }
        }
        pos = lt + 1;
    }
    return marks;
}

std::optional<std::string_view> ElementSequence::takeLiterally(std::string_view key)
{
    const std::string working = workingText();
    std::string after = deleteTag(working, key);
    if (after == working)
        return std::nullopt;
    m_value = getTag(working, key);
    m_buffer = std::move(after);
    m_rest = m_buffer;
    m_front.clear();
    m_frontHasClose = false;
    return std::string_view(m_value);
}

std::optional<std::string_view> ElementSequence::take(std::string_view key)
{
    if (!m_started || key != m_key)
        startKey(key);

    // The first open mark: one beginning in the front and ending in the rest
    // comes first; the front never holds a whole one.
    const std::size_t frontSize = m_front.size();
    const std::size_t zoneOpen = findInZone(m_open);
    const bool openInRest = zoneOpen == npos;
    const RestMarks marks = scanRest(!openInRest);
    const std::size_t o = openInRest ? (marks.open == npos ? npos : frontSize + marks.open) : zoneOpen;
    if (o == npos)
        return std::nullopt;

    // A close mark before the open mark makes getTag read nothing.  Such a
    // close lies in the front, across the front's end, or early in the rest.
    bool stale = m_frontHasClose || (openInRest && findInZone(m_close) != npos);
    if (!stale) {
        if (marks.firstClose == npos)
            return std::nullopt; // no close mark at all
        stale = openInRest && marks.firstClose < marks.open;
    }

    // deleteTag looks for the close mark from just after the trimmed text
    // before the open mark.  Leading white space moves that start back
    // before the open mark, where a stray close mark would be found: that
    // case is done the literal way (it can happen once per key at most,
    // since nothing removed leaves leading white space behind).
    if (stale && frontSize == 0 && !m_rest.empty() && isSpace(m_rest.front()))
        return takeLiterally(key);

    // The removal ends at the first close mark after the open mark (a close
    // mark cannot overlap an open mark of the same key); without one the
    // text stays as it is.
    if (marks.closeAfterOpen == npos)
        return std::nullopt;
    const std::size_t c2 = frontSize + marks.closeAfterOpen;
    const std::size_t openEnd = o + m_open.size(); // always inside the rest
    const std::string_view value = stale ? std::string_view() : m_rest.substr(openEnd - frontSize, c2 - openEnd);

    // working = trim(working before the open mark) + trim(working after the close mark)
    if (o >= frontSize) {
        std::string_view piece = m_rest.substr(0, o - frontSize);
        if (m_front.empty())
            piece = trimmedView(piece);
        m_front += piece;
    } else {
        m_front.resize(o);
    }
    while (!m_front.empty() && isSpace(m_front.back()))
        m_front.pop_back();
    if (stale)
        m_frontHasClose = true;
    m_rest = trimmedView(m_rest.substr(c2 + m_close.size() - frontSize));
    return value;
}

} // namespace zx
