// Where the player keeps its files: the program's folder (language files,
// sounds, artwork), the private runtime folder (hand-off file, instance
// channel, working folder) and the settings file.
#pragma once

#include <QString>

namespace zx {

struct ShellPaths {
    QString programFolder;  // folder of the executable, no trailing "/"
    QString runtimeFolder;  // private per-user folder
    QString workingFolder;  // "<runtime>/res376zx"
    QString settingsFile;   // the INI file of the per-user settings

    // The runtime folder is "$XDG_RUNTIME_DIR/zxexam" when that variable
    // names a private folder, otherwise "<temp>/zxexam-<uid>".  Tests point
    // XDG_RUNTIME_DIR and XDG_CONFIG_HOME at temporary folders.
    static ShellPaths fromEnvironment(const QString& programFolder);
    // Same, with the runtime folder and settings file given.  When
    // "<runtimeBase>/zxexam" is not a private folder, the runtime folder
    // is "<fallbackBase>/zxexam-<uid>/zxexam" (fallbackBase empty: the
    // temporary folder), the same on every start.
    static ShellPaths inFolders(const QString& programFolder, const QString& runtimeBase, const QString& settingsFile,
                                const QString& fallbackBase = QString());
};

} // namespace zx
