#include "app/core/recent_files.h"

#include <algorithm>

namespace zx {

namespace {

std::string lowerAscii(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

} // namespace

RecentKind recentKindOf(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    const std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const auto dot = name.rfind('.');
    if (dot == std::string_view::npos)
        return RecentKind::None;
    const std::string ext = lowerAscii(name.substr(dot));
    if (ext == ".zxb")
        return RecentKind::Bank;
    if (ext == ".zxr")
        return RecentKind::Results;
    return RecentKind::None;
}

void rememberInList(RecentList& list, const std::string& path)
{
    for (auto& entry : list)
        if (entry == path)
            entry.clear();
    // The entries above the first hole move down by one.  A hole at the
    // top (the path was already first) means nothing moves, so reopening
    // the newest entry of a full list loses nothing.
    std::string carry = std::move(list[0]);
    for (int i = 1; i < recentFileCount && !carry.empty(); ++i) {
        std::string old = std::move(list[i]);
        list[i] = std::move(carry);
        if (old.empty())
            break;
        carry = std::move(old);
    }
    list[0] = path;
}

std::string recentCaption(std::string_view path)
{
    const auto slash = path.find_last_of("/\\");
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    name.remove_suffix(std::min<std::size_t>(4, name.size()));
    return std::string(name);
}

bool RecentBanksAndResults::remember(const std::string& path)
{
    switch (recentKindOf(path)) {
    case RecentKind::Bank:
        rememberInList(banks, path);
        return true;
    case RecentKind::Results:
        rememberInList(results, path);
        return true;
    case RecentKind::None:
        break;
    }
    return false;
}

std::vector<ReopenEntry> reopenMenuEntries(const RecentBanksAndResults& lists)
{
    std::vector<ReopenEntry> out;
    for (int i = 0; i < recentFileCount; ++i)
        if (!lists.banks[i].empty())
            out.push_back({RecentKind::Bank, i, recentCaption(lists.banks[i])});
    out.push_back({RecentKind::None, -1, "-"});
    for (int i = 0; i < recentFileCount; ++i)
        if (!lists.results[i].empty())
            out.push_back({RecentKind::Results, i, recentCaption(lists.results[i])});
    return out;
}

std::string recentBankValueName(int index)
{
    return "lastQBank" + std::to_string(index);
}

std::string recentResultValueName(int index)
{
    return "lastQResult" + std::to_string(index);
}

} // namespace zx
