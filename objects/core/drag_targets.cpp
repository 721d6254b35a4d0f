#include "objects/core/drag_targets.h"

#include "tagtext/tagged_text.h"

#include <climits>

namespace zx {

namespace {

// The text up to the next "," (removed together with it); the whole rest
// when there is none.
std::string_view takeField(std::string_view& entry)
{
    const std::size_t comma = entry.find(',');
    if (comma == std::string_view::npos) {
        const std::string_view field = entry;
        entry = {};
        return field;
    }
    const std::string_view field = entry.substr(0, comma);
    entry.remove_prefix(comma + 1);
    return field;
}

int readInt(std::string_view field, int fallback)
{
    long long value = 0;
    if (!parseIntStrict(trimText(field), value) || value < INT_MIN || value > INT_MAX)
        return fallback;
    return static_cast<int>(value);
}

} // namespace

int DragTarget::mark() const { return parseHundredths(markText); }

DragTargets::DragTargets(std::string_view text)
{
    while (text.size() > 3) {
        const std::size_t end = text.find(';');
        if (end == std::string_view::npos)
            break;
        std::string_view entry = text.substr(0, end);
        text.remove_prefix(end + 1);

        const int index = readInt(takeField(entry), 0);
        DragTarget target;
        target.name = std::string(takeField(entry));
        target.markText = std::string(takeField(entry));
        target.left = readInt(takeField(entry), 0);
        target.top = readInt(takeField(entry), 0);
        target.width = readInt(takeField(entry), 100);
        target.height = readInt(entry, 40); // the last field runs to the end of the entry
        if (index < 0 || index >= slotCount)
            continue;
        m_targets[static_cast<std::size_t>(index)] = std::move(target);
    }
}

DragTargets DragTargets::fromRecord(std::string_view record) { return DragTargets(getTag(record, "targets")); }

bool DragTargets::isDefined(int index) const
{
    return index >= 0 && index < slotCount && m_targets[static_cast<std::size_t>(index)].isDefined();
}

} // namespace zx
