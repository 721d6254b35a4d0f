// What the player does with a bank or results file named on its command
// line or handed over by a later start, where local-bank mode finds its
// bank and stores its results, and which application the desktop opens a
// file type with.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace zx {

enum class VerbAction {
    None,            // unknown verb or extension: nothing happens
    OpenBank,        // "openShellCall" with a ".zxb"
    OpenResults,     // "openShellCall" with a ".zxr"
    PrintResults,    // "printShellCall" with a ".zxr"
    RefusePrintBank, // "printShellCall" with a ".zxb": banks cannot be printed
    Ignored,         // "printShellCall" with anything else: announced, nothing else
};

// The verbs are compared exactly, case included; the extension in lower
// case.
VerbAction verbAction(std::string_view verb, std::string_view path);
// Whether the parameters carry one of the two verbs (then nothing else
// happens at start).
bool isVerb(std::string_view parameter);

// Options that stand before the verb.  `--extra-time PERCENT` (or
// `--extra-time=PERCENT`) gives the candidate of the bank this start opens
// PERCENT more time, a whole number from 0 to 1000.
struct StartOptions {
    std::vector<std::string> args; // the command line without the options
    int extraTimePercent = 0;
    std::string error;             // a wrong option: the start should stop
};
StartOptions takeStartOptions(std::vector<std::string> args);

// Local-bank mode: the bank beside the program.  Of the file names in the
// program's folder, the first in byte order whose lower-cased extension is
// exactly ".zxb".
std::optional<std::string> localBankName(std::vector<std::string> fileNames);
// The results folder of local-bank mode: the program folder's parent plus
// "ZXResults/" ("/opt/exams/player" gives "/opt/exams/ZXResults/").
std::string localResultsFolder(std::string_view programFolder);

// The start-up bank file "ZXX.txt": the bank named by its element `f`.
std::string startupBankPath(std::string_view content);

// The desktop entry the `[Default Applications]` groups of mimeapps.list
// files give `mimeType`: the files in order of precedence, the first entry
// found wins, and of "a.desktop;b.desktop;" the first name.  Nothing when
// no file names the type.
std::optional<std::string> defaultApplication(std::string_view mimeType,
                                              const std::vector<std::string>& mimeappsFiles);

} // namespace zx
