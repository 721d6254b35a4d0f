// The end of the start-up sequence and the hand-over from a later start:
// the command-line verbs ("openShellCall", "printShellCall" with a bank or
// results file), the warning about the desktop's file types, the start-up
// bank file "ZXX.txt" and local-bank mode (a bank beside the program, its
// results stored automatically in "ZXResults" one level up).
#pragma once

#include "app/core/handoff_file.h"

#include <QObject>
#include <QString>
#include <QString>

#include <functional>
#include <string>
#include <vector>

class QWidget;

namespace zx {

class Messages;
class ResultsRun;
class SettingsStore;
class StartupSequence;
class TestRun;

// The parts of the main window the start-up actions work with.
struct StartupWindow {
    StartupSequence& sequence; // startupFinished, alreadyRunningHandoff
    Messages& messages;
    SettingsStore& settings;   // the file-type warning, once per user
    QString programFolder;     // "ZXX.txt", a bank beside the program
    QWidget* window;           // closed after printing at start
    // Local-bank mode: the opening items go, and with the argument Save
    // Results too.
    std::function<void(bool resultsStoredAutomatically)> enterLocalBankMode;
};

struct StartupOptions {
    // Whether the desktop opens banks with the player; empty: asks the
    // desktop's file types.
    std::function<bool()> playerOpensBanks;
};

class StartupActions : public QObject {
    Q_OBJECT
public:
    StartupActions(StartupWindow window, TestRun& run, ResultsRun& results, StartupOptions options = {});

    // Extra time in percent (--extra-time) for the bank this start opens.
    void setExtraTime(int percent) { m_extraTimePercent = percent; }
    // After the start-up sequence, with the command-line parameters.
    void continueStartup(const std::vector<std::string>& args);
    // A later start handed over its parameters.
    void handoff(const Handoff& handoff);

private:
    // Obeys a verb; `atStart` closes the window after a print.
    void obey(const std::string& verb, const std::string& path, bool atStart, int extraTimePercent);
    // Opens a bank of this start with its extra time, unless it is that of
    // the test just taken up again.
    void openBank(const QString& path, int extraTimePercent);
    void warnAboutFileTypes();
    bool openStartupBankFile();
    void enterLocalBankMode();

    StartupWindow m_window;
    TestRun& m_run;
    ResultsRun& m_results;
    StartupOptions m_options;
    int m_extraTimePercent = 0;
    // During the start-up: the bank of the test taken up again, and
    // whether it came back finished (its results on show, not stored).
    QString m_resumedBank;
    bool m_resumedFinished = false;
};

} // namespace zx
