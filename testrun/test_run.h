// The test run: opening a bank (password and candidate's details),
// assembling the test, moving between pages and building them.  It drives
// the parts of the main window it is given and follows the user through
// their signals.
#pragma once

#include "objects/core/test_state.h"
#include "tagtext/stored_file.h"
#include "results/core/results_settings.h"
#include "testrun/core/bank_settings.h"
#include "testrun/journal_keeper.h"
#include "testrun/core/test_assembly.h"
#include "testrun/core/test_timer.h"
#include "testrun/core/embedded_files.h"

#include <QColor>
#include <QDateTime>
#include <QObject>
#include <QRect>
#include <QString>

#include <QElapsedTimer>
#include <QTimer>

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace zx {

class PageBuilder;
class ControlPanel;
class ExamLock;
class FileMenu;
class KeyboardNavigation;
class Messages;
class OptionsMenu;
class PageWindow;
class ReadAloud;
class ReportArea;
class TestClock;
class TPassword;
class TUserDetails;
class VideoPlayer;

struct TestRunOptions {
    // Random draws of the question selection; empty: seeded from the clock.
    RandomSource random;
    // The current time for the start dates; empty: the system clock.
    std::function<QDateTime()> clock;
    // The wait of each password attempt; empty: a real 1200 ms wait.
    std::function<void(int ms)> passwordDelay;
    // The waits of the attention frame; empty: real waits.
    std::function<void(int ms)> frameWait;
    // The desktop area a page must fit in; empty: the screen's available
    // geometry.
    std::function<QRect()> desktop;
    // The player of each video; empty: the Qt Multimedia one.
    std::function<std::unique_ptr<VideoPlayer>()> makeVideoPlayer;
    // Called after each step of an item's glide; empty: a repaint.
    std::function<void(QWidget* moved)> glideStep;
    // The private folder of the journal of the test in progress; empty:
    // "$XDG_STATE_HOME/zxexam" (~/.local/state/zxexam).
    QString journalFolder;
    // Where the journal's fallback folders are made; empty: the temporary
    // folder.
    QString journalFallbackBase;
    // The journal's write(2); empty: the system's.
    WriteCall journalWrite;
    // Least time between two journal entries while the candidate answers
    // on one page; changes in between are written when it has passed.
    int journalIntervalMs = 1000;
};

// The parts of the main window the test run works with.
struct TestRunWindow {
    PageWindow& page;       // the page area, the window's size, the test state
    ControlPanel& panel;
    ReportArea& reports;    // the results page, the View items
    Messages& messages;
    KeyboardNavigation& keyboard; // the page's focus order
    ExamLock& lock;
    FileMenu& files;        // File/Open, Reopen, the results commands
    OptionsMenu& options;   // Subtitles
    ReadAloud& reader;
};

class TestRun : public QObject {
    Q_OBJECT
public:
    explicit TestRun(TestRunWindow window, TestRunOptions options = {});
    ~TestRun() override;

    // ---- opening a bank
    void openBank(const QString& path);
    void askUserDetails();
    // ---- assembling the test
    void prepareTest();
    void startTest();
    // ---- pages
    void goToQuestion(int n);
    void saveAnswersOfPage();
    void leavePage();
    std::string resolveBankFile(const std::string& storedName) const;
    void revealFeedback(const std::string& code, QWidget* parent);
    void hideFeedback(const std::string& code);
    // ---- marking and showing answers
    void MarkButClick();
    void CheatButtonMouseDown();
    void CheatButtonMouseUp();
    // The window asks for the page to be read aloud: its texts in reading
    // order.
    void ReadAloudClick();
    // ---- control panel
    void questionSliderScroll(int position);
    void AutoPlayClick();
    void fMouseMove();
    // Options/Subtitles changed: subtitle texts of the page follow it.
    void refreshSubtitles();

    // ---- a finished test
    // The results display mode of the finished or loaded test: when it is
    // not None, slider position 0 is the results page and position k shows
    // question k - 1.
    void setResultsDisplayMode(ResultsDisplayMode mode) { m_resultsMode = mode; }
    ResultsDisplayMode resultsDisplayMode() const { return m_resultsMode; }
    bool resultsPageInUse() const;
    void setTestSettings(std::string settings);
    void setCurrentQuestion(int n) { m_currentQuestion = n; }
    // The colour painted behind the page.
    void setWindowColour(const QColor& colour);
    // The clock's local time with the locale's day and month names.
    LocalTime currentLocalTime() const;
    // The clock's reading (the system clock unless the options give one).
    QDateTime now() const;
    // A reading of the clock as a local time with the locale's names.
    static LocalTime localTimeOf(const QDateTime& time);

    // ---- replacing the test on show
    // The messages of a refusal during an exam (caption 58) and of the
    // questions asked in the other states.
    struct ReplaceMessages {
        int exam;
        int ready;
        int running;
        int unsaved; // finished, results not stored
    };
    // Whether another bank or results may take the place of the test on
    // show: refused during an exam, asked in states Ready, Running and
    // Finished.
    bool mayReplaceTest(const ReplaceMessages& messages);

    // ---- opening a results file
    // Forgets the test (its bank, lists and files) without leaving the page
    // on show: the state becomes ResultsStored, the test's controls are
    // disabled, auto-play stays as it is but can be changed again.
    void resetForResults();
    // Settings that come with results: rules are read from them as from a
    // bank's.
    void adoptTestSettings(std::string settings);
    // Reads the index of the bank the results came from (its rules, lists
    // and files replace the test's; the settings text stays the one the
    // results came with, with their details and dates) and unpacks its
    // files.  False when it is no readable bank (message 79 was shown) or
    // holds no files.
    bool openBankForReview(const QString& path);
    void setQuestionList(std::string list, int lastQuestion);
    // Sizes the window for the pages of the question list and centres it;
    // false (message 103 was shown) when the desktop is too small.
    bool fitWindowToPages();

    // ---- a timed test
    // Extra time in percent for the next bank opened (this run only); the
    // bank takes it when it is opened.
    void setExtraTime(int percent);
    int extraTimePercent() const { return m_extraPercent; }
    // The time this run allows (no limit for a bank without one).
    TimeAllowance timeAllowance() const { return {m_rules.timeLimitMinutes, m_extraPercent}; }
    TestClock& clock() { return *m_clock; }
    // The time record of a timed test (none without a limit).
    std::optional<TestTiming> timing() const;
    // A held Cheat gives the candidate's answers back before the page is
    // left by something other than the candidate (the time running out).
    void releaseCheat();

    // ---- the journal of the test in progress
    // At start: a journal of a test that did not end is offered to the
    // candidate; true when the test was taken up again.  A journal that
    // cannot be read, or whose bank changed, is set aside for the examiner.
    bool offerResume();
    JournalKeeper& journalKeeper() { return *m_journal; }
    // Writes the whole test into the journal now.
    void writeJournal();

signals:
    // A finished test whose results were not stored was taken up again:
    // its results are to be shown.
    void resumedFinished();

public:

    // ---- state
    const QString& bankPath() const { return m_bankPath; }
    // The test settings: the bank's settings text with what the test adds
    // (the candidate's details, the start and end dates).
    const std::string& testSettings() const { return m_testSettings; }
    // The bank's rules, read from its settings when it was opened.
    const BankSettings& rules() const { return m_rules; }
    const std::string& questionList() const { return m_questionList; }
    const std::string& preTestList() const { return m_preTestList; }
    const std::string& embeddedFileList() const { return m_embeddedList; }
    std::int64_t indexLength() const { return m_indexLength; }
    const std::string& pageText() const { return m_pageText; }
    int currentQuestion() const { return m_currentQuestion; }
    int lastQuestion() const { return m_lastQuestion; }
    const EmbeddedFiles& embeddedFiles() const { return m_files; }
    PageBuilder& page() { return *m_page; }
    TPassword* passwordDialog() const { return m_password; }
    TUserDetails* userDetailsDialog() const { return m_details; }
    const TestRunWindow& window() const { return m_window; }

private:
    bool readBankIndex();
    void resetTestData();
    void forgetBank();
    // The state, lock, cover and control panel of a running test.
    void enterTest(bool exam);
    void extractEmbeddedFiles();
    // Slider at page 0 of the list in use, file menu items, first page.
    void showFirstPage();
    void playQuestionAudio();
    void showStartButton();
    void paintPage(QWidget* area);
    bool eventFilter(QObject* watched, QEvent* event) override;
    void answerChanged();
    void writePendingAnswers();
    void journalPage(int question, const std::string& pageText);
    void testStateChanged(TestState state);
    JournalRecord journalRecord() const;
    // The time fields of the journal's base and entries (none for a test
    // without a limit).
    JournalFieldList timeJournal() const;
    // An entry of the time alone, when the last one is `TestTimer::
    // journalIntervalMs` old (or at once with `now`).
    void journalTime(bool now);
    void resume(const JournalRecord& record, const std::optional<TimeJournal>& time);
    QString msg(int number) const;
    void refuse(int caption, int text);
    void tell(int number); // announced, then a plain message box
    void connectWindow();

    TestRunWindow m_window;
    TestRunOptions m_options;
    std::unique_ptr<PageBuilder> m_page;
    EmbeddedFiles m_files;
    TPassword* m_password;
    TUserDetails* m_details;

    QString m_bankPath;
    std::string m_testSettings;
    BankSettings m_rules;
    std::string m_questionList;
    std::string m_preTestList;
    std::string m_embeddedList;
    std::int64_t m_indexLength = 0;
    std::string m_pageText;
    int m_currentQuestion = -1;
    int m_lastQuestion = 0;
    QColor m_windowColour;
    ResultsDisplayMode m_resultsMode = ResultsDisplayMode::None;
    std::unique_ptr<JournalKeeper> m_journal;
    BankIdentity m_bankIdentity;
    bool m_journaling = false;
    bool m_cheatHeld = false;
    // The next page takes the keyboard focus (the first page of a bank or
    // of a test).
    bool m_focusNextPage = false;
    QElapsedTimer m_lastJournalEntry;
    QTimer* m_journalTimer = nullptr;
    TestClock* m_clock = nullptr;
    // The clock reading of the time last journalled.
    std::int64_t m_timeJournalledMs = 0;
    int m_extraPercent = 0;
    int m_pendingExtraPercent = 0;
};

} // namespace zx
