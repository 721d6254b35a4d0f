#include "app/core/handoff_file.h"

#include "tagtext/tagged_text.h"
#include "testrun/core/test_timer.h" // maxExtraTimePercent

namespace zx {

std::string handoffContent(std::string_view first, std::string_view second, int extraTimePercent)
{
    std::string out;
    out.reserve(first.size() + second.size() + 18);
    out += "<p1>";
    out += first;
    out += "</p1><p2>";
    out += second;
    out += "</p2>";
    if (extraTimePercent > 0)
        out += makeElement("extraTime", std::to_string(extraTimePercent));
    return out;
}

Handoff parseHandoff(std::string_view content)
{
    // Looked up after the parameters, which may hold any text.
    static constexpr std::string_view secondEnd = "</p2>";
    const std::size_t end = content.find(secondEnd);
    const int extra =
        end == std::string_view::npos ? 0 : getTagInt(content.substr(end + secondEnd.size()), "extraTime", 0);
    return {getTag(content, "p1"), getTag(content, "p2"), extra >= 0 && extra <= maxExtraTimePercent ? extra : 0};
}

bool needsHandoffFile(const std::vector<std::string>& args)
{
    return args.size() >= 2;
}

std::vector<std::string> handoffArguments(std::vector<std::string> args, std::string_view currentFolder)
{
    if (args.size() < 2 || args[1].empty() || args[1].front() == '/' || currentFolder.empty())
        return args;
    std::string absolute(currentFolder);
    if (absolute.back() != '/')
        absolute += '/';
    std::string_view relative = args[1];
    while (relative.substr(0, 2) == "./")
        relative.remove_prefix(2);
    args[1] = absolute.append(relative);
    return args;
}

} // namespace zx
