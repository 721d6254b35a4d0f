#include "app/core/command_verbs.h"

#include "tagtext/stored_file.h" // lowerExtension
#include "tagtext/tagged_text.h"
#include "testrun/core/test_timer.h" // maxExtraTimePercent

#include <algorithm>

namespace zx {

namespace {

constexpr std::string_view openVerb = "openShellCall";
constexpr std::string_view printVerb = "printShellCall";

std::string_view trimmed(std::string_view text)
{
    const auto first = text.find_first_not_of(" \t\r");
    if (first == std::string_view::npos)
        return {};
    const auto last = text.find_last_not_of(" \t\r");
    return text.substr(first, last - first + 1);
}

} // namespace

bool isVerb(std::string_view parameter) { return parameter == openVerb || parameter == printVerb; }

StartOptions takeStartOptions(std::vector<std::string> args)
{
    static constexpr std::string_view extraTime = "--extra-time";
    StartOptions out;
    bool given = false;
    std::size_t used = 0;
    while (used < args.size() && args[used].rfind(extraTime, 0) == 0) {
        const std::string& option = args[used];
        std::string value;
        if (option == extraTime) {
            if (used + 1 >= args.size()) {
                out.error = "--extra-time needs a percentage";
                break;
            }
            value = args[used + 1];
            used += 2;
        } else if (option.size() > extraTime.size() && option[extraTime.size()] == '=') {
            value = option.substr(extraTime.size() + 1);
            used += 1;
        } else {
            out.error = "unknown option " + option;
            break;
        }
        long long percent = 0;
        if (given) {
            out.error = "give --extra-time once";
            break;
        }
        given = true;
        if (!parseIntStrict(value, percent) || percent < 0 || percent > maxExtraTimePercent) {
            out.error = "--extra-time " + value + ": give a whole number of percent from 0 to "
                        + std::to_string(maxExtraTimePercent);
            break;
        }
        out.extraTimePercent = static_cast<int>(percent);
    }
    if (!out.error.empty()) {
        out.extraTimePercent = 0;
        return out;
    }
    args.erase(args.begin(), args.begin() + static_cast<std::ptrdiff_t>(used));
    out.args = std::move(args);
    return out;
}

VerbAction verbAction(std::string_view verb, std::string_view path)
{
    const std::string extension = lowerExtension(std::string(path));
    if (verb == openVerb) {
        if (extension == ".zxb")
            return VerbAction::OpenBank;
        if (extension == ".zxr")
            return VerbAction::OpenResults;
        return VerbAction::None;
    }
    if (verb == printVerb) {
        if (extension == ".zxb")
            return VerbAction::RefusePrintBank;
        if (extension == ".zxr")
            return VerbAction::PrintResults;
        return VerbAction::Ignored;
    }
    return VerbAction::None;
}

std::optional<std::string> localBankName(std::vector<std::string> fileNames)
{
    std::sort(fileNames.begin(), fileNames.end());
    for (const std::string& name : fileNames)
        if (lowerExtension(name) == ".zxb")
            return name;
    return std::nullopt;
}

std::string localResultsFolder(std::string_view programFolder)
{
    std::string folder(programFolder);
    while (folder.size() > 1 && folder.back() == '/')
        folder.pop_back();
    const std::size_t slash = folder.find_last_of('/');
    folder = slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
    return folder + "ZXResults/";
}

std::string startupBankPath(std::string_view content) { return getTag(content, "f"); }

std::optional<std::string> defaultApplication(std::string_view mimeType, const std::vector<std::string>& mimeappsFiles)
{
    for (const std::string& file : mimeappsFiles) {
        bool inDefaults = false;
        std::size_t pos = 0;
        while (pos <= file.size()) {
            std::size_t end = file.find('\n', pos);
            if (end == std::string::npos)
                end = file.size();
            const std::string_view line = trimmed(std::string_view(file).substr(pos, end - pos));
            pos = end + 1;
            if (line.empty() || line.front() == '#')
                continue;
            if (line.front() == '[') {
                inDefaults = line == "[Default Applications]";
                continue;
            }
            const std::size_t equals = line.find('=');
            if (!inDefaults || equals == std::string_view::npos || trimmed(line.substr(0, equals)) != mimeType)
                continue;
            std::string_view value = trimmed(line.substr(equals + 1));
            const std::size_t semicolon = value.find(';');
            value = trimmed(value.substr(0, semicolon));
            if (!value.empty())
                return std::string(value);
        }
    }
    return std::nullopt;
}

} // namespace zx
