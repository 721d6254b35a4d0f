// The end of a test and its results in the window: Finish (scoring, both
// reports, the results page, finished-question viewing), the View items,
// results files (saving, automatic storing, opening them again with the
// bank for review) and printing.  Works through the parts of the window it
// is given and the test run's pages, like the test run itself.
#pragma once

#include "results/core/finish_test.h"
#include "results/core/results_file.h"

#include <QDateTime>
#include <QObject>

#include <QString>

#include <functional>
#include <optional>
#include <string>

namespace zx {

class ControlPanel;
class ExamLock;
class FileMenu;
class Messages;
class PageWindow;
class ReportArea;
class TestRun;

// The parts of the main window the results run works with.
struct ResultsRunWindow {
    PageWindow& page;     // the test state
    ControlPanel& panel;  // Finish, the slider after a finish
    ReportArea& reports;  // the reports, the View items, printing
    Messages& messages;
    ExamLock& lock;       // lifted at the end of an exam
    FileMenu& files;      // saving, printing, opening results, recent files
};

struct ResultsRunOptions {
    // The time and a number 0..9998 for the name of an automatic store
    // (the clock is read once per name); empty: the test run's clock and a
    // clock-seeded generator.
    std::function<QDateTime()> clock;
    std::function<int()> storeNumber;
};

class ResultsRun : public QObject {
    Q_OBJECT
public:
    ResultsRun(ResultsRunWindow window, TestRun& run, ResultsRunOptions options = {});

    void FinishButtonClick();
    // A timed test's time ran out: finished as Finish finishes it, without
    // the question.
    void timeRanOut();
    void ResultsToggle(bool summary);
    void SaveResults1Click();
    void Print1Click();
    // Writes the results of the test on show; true when the file is in
    // place (the state then is ResultsStored).  A failure is shown to the
    // candidate and changes nothing.
    bool writeResultsFile(const QString& path);
    // Opens a results file; true when its reports or questions are on
    // show, false when it was refused or could not be read (a message says
    // why).
    bool loadResultsFile(const QString& path);

    // Local-bank mode: the folder (ending with "/") the results of the
    // next finished test are stored in automatically, once.
    void setResultsFolder(QString folder) { m_resultsFolder = std::move(folder); }
    const QString& resultsFolder() const { return m_resultsFolder; }
    // Stores the finished test's results in the results folder, once.
    void storeAutomatically();

    // The scores of the last finished test (none before the first Finish).
    const std::optional<TestScore>& lastScore() const { return m_lastScore; }

private:
    // The results page after a finish: the views by mode, the slider, the
    // end-of-test messages and finished-question viewing.
    void showResults(const FinishedTest& finished);
    // A finished test taken up from the journal: scored and shown again.
    void resumeFinished();
    // The end of a running test, after the candidate's Finish or the time:
    // controls, lock, the page's answers, end dates, scoring.
    void finishRunningTest();
    void scoreAndShow();
    void offerFinishedQuestionViewing(ResultsDisplayMode mode);
    bool writeResults(const QString& path, bool automatic);
    // Message `number` of the language file, or `fallback` when the file
    // has none (messages added after older language files were made).
    QString textOr(int number, const char* fallback) const;
    QString finishedText(int number) const;
    void reportWriteFailure(const QString& path, const std::string& reason, bool automatic);
    void reviewBank(const ResultsFileContent& content, const QString& path, ResultsDisplayMode mode);
    // Save Results: whether the file may be written at `path` when it is
    // not the name the save dialog asked about (it may replace another).
    bool mayReplace(const QString& chosen, const QString& path);

    ResultsRunWindow m_window;
    TestRun& m_run;
    ResultsRunOptions m_options;
    std::optional<TestScore> m_lastScore;
    QString m_resultsFolder;
    // The bank paths of the results file on show while its bank is not
    // open (not found, or finished-question viewing is off): saving it
    // again writes them as they were read.
    struct BankPaths {
        std::string absolute;
        std::string relative;
    };
    std::optional<BankPaths> m_loadedBank;
    // The time record stored with the results: of the test finished, or of
    // the results file opened (so that saving it again keeps it).
    std::optional<TestTiming> m_timing;
    // Finishing because the time ran out: the messages of the end say so.
    bool m_finishingAtTimeUp = false;
};

} // namespace zx
