#include "app/core/language_choice.h"

#include "tagtext/stored_file.h"

#include <algorithm>
#include <cctype>
#include <system_error>

namespace zx {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return out;
}

bool isRegularFile(const std::filesystem::path& path)
{
    std::error_code ec;
    return std::filesystem::is_regular_file(path, ec);   // follows links
}

} // namespace

std::vector<LanguageFileEntry> listLanguageFiles(const std::filesystem::path& folder)
{
    std::vector<LanguageFileEntry> files;
    std::error_code ec;
    std::filesystem::directory_iterator it(folder, ec);
    if (ec)
        return files;
    for (const std::filesystem::directory_iterator end; it != end; it.increment(ec)) {
        if (ec)
            break;
        const std::string fileName = it->path().filename().string();
        if (fileName.size() <= 4 || lowerAscii(fileName.substr(fileName.size() - 4)) != ".zxc")
            continue;
        if (!isRegularFile(it->path()))
            continue;
        files.push_back({fileName.substr(0, fileName.size() - 4), it->path()});
    }
    std::sort(files.begin(), files.end(), [](const LanguageFileEntry& a, const LanguageFileEntry& b) {
        const std::string la = lowerAscii(a.name);
        const std::string lb = lowerAscii(b.name);
        return la != lb ? la < lb : a.name < b.name;
    });
    if (files.size() > maxLanguageFiles)
        files.resize(maxLanguageFiles);
    return files;
}

LanguageDecision decideLanguage(const std::vector<LanguageFileEntry>& files,
                                const std::optional<std::string>& storedChoice)
{
    LanguageDecision decision;
    decision.current = std::string(defaultLanguageName);
    if (files.empty()) {
        decision.missing = true;
        return decision;
    }
    if (files.size() == 1) {
        decision.current = files.front().name;
        return decision;
    }
    decision.showMenu = true;
    if (storedChoice)
        decision.current = *storedChoice;
    if (decision.current.size() < 2)
        decision.current = std::string(defaultLanguageName);
    const bool known = std::any_of(files.begin(), files.end(), [&](const LanguageFileEntry& f) {
        return f.name == decision.current;
    });
    if (!known)
        decision.current = files.front().name;
    return decision;
}

std::filesystem::path languageFilePath(const std::filesystem::path& folder,
                                       const std::vector<LanguageFileEntry>& files,
                                       std::string_view name)
{
    for (const LanguageFileEntry& f : files) {
        if (f.name == name)
            return f.path;
    }
    return folder / (std::string(name) + ".zxc");
}

bool loadLanguageFile(const std::filesystem::path& path, LanguageTexts& texts)
{
    if (!isRegularFile(path))
        return false;
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    if (ec || size > maxLanguageFileBytes)
        return false;
    const std::string content = readStoredFile(path.string());
    texts = parseLanguageFile(content, texts);
    return true;
}

} // namespace zx
