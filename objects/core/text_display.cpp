#include "objects/core/text_display.h"

#include "tagtext/tagged_text.h"

#include <string_view>

namespace zx {

namespace {

constexpr std::string_view openLine = "<zxLine>";
constexpr std::string_view closeLine = "</zxLine>";

} // namespace

std::string textObjectDisplayText(std::string value)
{
    // One open mark, then one close mark, per round, until neither is left.
    for (;;) {
        const std::size_t open = value.find(openLine);
        if (open != std::string::npos)
            value.erase(open, openLine.size());
        const std::size_t close = value.find(closeLine);
        if (close != std::string::npos)
            value.erase(close, closeLine.size());
        if (open == std::string::npos && close == std::string::npos)
            break;
    }
    return withLfBreaks(value);
}

} // namespace zx
