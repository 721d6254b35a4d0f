// The desktop's file types of the player: which application opens a bank
// when it is double-clicked in a file manager.
#pragma once

#include <QString>

namespace zx {

inline constexpr char bankMimeType[] = "application/x-zxexam-bank";
inline constexpr char resultsMimeType[] = "application/x-zxexam-results";
inline constexpr char playerDesktopEntry[] = "zxexam.desktop";

// True when the desktop knows the bank type and opens it with the player's
// desktop entry: named as the default in a mimeapps.list of the XDG
// configuration and data folders, or, without any default there, the
// player's entry installed for the type.
bool playerOpensBanks();

} // namespace zx
