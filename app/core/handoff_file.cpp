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
