// Finding the language files and deciding which one to load.  Language
// files are "<name>.zxc" files in the folder "ExLang" beside the program;
// the name is shown in the Language menu and stored as "langchoice".
#pragma once

#include "app/core/language_file.h"

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

inline constexpr std::string_view defaultLanguageName = "English (UK)";
inline constexpr std::string_view missingLanguageWarning =
    "At least one language file needs to be available in the folder called ExLang. "
    "None can be found. This application will now exit.";
inline constexpr std::size_t maxLanguageFiles = 100;
// Language files are a few tens of kilobytes; larger files are not read
// at all, which also bounds the memory a hostile file can take.
inline constexpr std::uintmax_t maxLanguageFileBytes = 1024u * 1024u;

struct LanguageFileEntry {
    std::string name;              // file name without its 4-character extension
    std::filesystem::path path;    // the file itself (its extension may be ".ZXC")
};

// Regular files (or links to them) in `folder` whose lower-cased extension
// is exactly ".zxc", at most 100, sorted by name without regard to case so
// the menu order is stable.  A missing or unreadable folder gives none.
std::vector<LanguageFileEntry> listLanguageFiles(const std::filesystem::path& folder);

struct LanguageDecision {
    bool missing = false;      // no language file: warn with missingLanguageWarning and end
    bool showMenu = false;     // two or more files: the Language menu lists them
    std::string current;       // the language to load
};

// storedChoice: the "langchoice" value when it is stored as a string.
// One file: that file, no menu.  Two or more: the stored choice when a
// file has exactly that name (a choice shorter than 2 characters counts as
// "English (UK)"), otherwise the first file.
LanguageDecision decideLanguage(const std::vector<LanguageFileEntry>& files,
                                const std::optional<std::string>& storedChoice);

// The file of language `name` among `files`; falls back to
// folder / (name + ".zxc") when it is not listed.
std::filesystem::path languageFilePath(const std::filesystem::path& folder,
                                       const std::vector<LanguageFileEntry>& files,
                                       std::string_view name);

// Reads a language file (readStoredFile) and parses it over `texts`.
// A missing, non-regular or oversized file changes nothing and gives false.
bool loadLanguageFile(const std::filesystem::path& path, LanguageTexts& texts);

} // namespace zx
