// The lists of recently used banks and results files: 30 full paths each,
// newest first, an empty text meaning no entry.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

inline constexpr int recentFileCount = 30;
using RecentList = std::array<std::string, recentFileCount>;

enum class RecentKind { None, Bank, Results };

// ".zxb" (any case) is a bank, ".zxr" a results file, anything else none.
RecentKind recentKindOf(std::string_view path);

// Puts path at the top of the list: every entry equal to it (exactly, case
// included) is emptied, the entries above the first hole move down one,
// and when there is no hole the last entry falls off.
void rememberInList(RecentList& list, const std::string& path);

// The caption of a recent entry: the file name without its folder ("/" or
// "\" separated) and without its last four characters.
std::string recentCaption(std::string_view path);

struct RecentBanksAndResults {
    RecentList banks;
    RecentList results;

    // rememberInList on the list the extension selects; false (and nothing
    // changed) for any other extension.
    bool remember(const std::string& path);
};

// One line of the Reopen menu: a separator, or a recent entry by index.
struct ReopenEntry {
    RecentKind kind = RecentKind::None; // None is the separator
    int index = -1;
    std::string caption;
};

// Banks 0 to 29 (non-empty ones), a separator (always), results 0 to 29.
std::vector<ReopenEntry> reopenMenuEntries(const RecentBanksAndResults& lists);

// The settings value names, "lastQBank0".."lastQBank29" and
// "lastQResult0".."lastQResult29".
std::string recentBankValueName(int index);
std::string recentResultValueName(int index);

} // namespace zx
