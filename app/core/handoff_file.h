// The hand-off file a second start of the player leaves for the running
// one: plain tagged text without a line end, exactly
// "<p1>" + parameter 1 + "</p1><p2>" + parameter 2 + "</p2>", followed by
// "<extraTime>" + percent + "</extraTime>" when the start gave extra time.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace zx {

inline constexpr std::string_view handoffFileName = "filespec.pab";

// Largest hand-off file the running player reads; anything longer is
// not one of ours and is ignored.
inline constexpr std::size_t handoffFileLimit = 64 * 1024;

std::string handoffContent(std::string_view first, std::string_view second, int extraTimePercent = 0);

struct Handoff {
    std::string verb; // p1
    std::string path; // p2
    // extraTime: 0 when missing or not a whole number from 1 to 1000.
    int extraTimePercent = 0;
};

Handoff parseHandoff(std::string_view content);

// A hand-off is written only when the command line has at least two
// parameters (args excludes the program name).
bool needsHandoffFile(const std::vector<std::string>& args);

// The running player has a current folder of its own, so a later start
// hands over its file (parameter 2) as an absolute path: a relative one is
// joined to `currentFolder`, the folder the later start was run in.  An
// empty parameter, or an empty current folder, stays as it is.
std::vector<std::string> handoffArguments(std::vector<std::string> args, std::string_view currentFolder);

} // namespace zx
