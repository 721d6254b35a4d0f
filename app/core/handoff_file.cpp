#include "app/core/handoff_file.h"

#include "tagtext/tagged_text.h"

namespace zx {

std::string handoffContent(std::string_view first, std::string_view second)
{
    std::string out;
    out.reserve(first.size() + second.size() + 18);
    out += "<p1>";
    out += first;
    out += "</p1><p2>";
    out += second;
    out += "</p2>";
    return out;
}

Handoff parseHandoff(std::string_view content)
{
    return {getTag(content, "p1"), getTag(content, "p2")};
}

bool needsHandoffFile(const std::vector<std::string>& args)
{
    return args.size() >= 2;
}

} // namespace zx
