#include "results/results_run.h"

#include "window/control_panel.h"
#include "window/exam_lock.h"
#include "window/file_menu.h"
#include "window/message_form.h"
#include "window/messages.h"
#include "window/page_window.h"
#include "window/report_area.h"
#include "objects/qt_text.h"
#include "objects/zx_object.h"
#include "results/core/results_batch.h"
#include "results/core/results_display.h"
#include "results/core/rtf_reader.h"
#include "results/core/rtf_writer.h"
#include "tagtext/stored_file.h"
#include "tagtext/tagged_text.h"
#include "testrun/core/test_assembly.h"
#include "testrun/page_builder.h"
#include "testrun/test_clock.h"
#include "testrun/test_run.h"

#include <QDateTime>
#include <QDir>
#include <QFileInfo>
#include <QPrinter>

#include <random>

namespace zx {

namespace {

bool isRunning(TestState state) { return state == TestState::Running || state == TestState::RunningExam; }

// Texts of messages that language files made before them may lack.
constexpr int notSavedCaption = 105;
constexpr int notSavedText = 106;
constexpr int notStoredText = 107;
// Texts of the player's own range: English where a language file lacks them.
constexpr int tooLargeText = 125;
constexpr int replaceQuestion = 126;

} // namespace

ResultsRun::ResultsRun(ResultsRunWindow window, TestRun& run, ResultsRunOptions options)
    : m_window(window)
    , m_run(run)
    , m_options(std::move(options))
{
    if (!m_options.clock)
        m_options.clock = [&run] { return run.now(); };
    if (!m_options.storeNumber) {
        auto engine = std::make_shared<std::mt19937>(
            static_cast<std::uint32_t>(QDateTime::currentMSecsSinceEpoch()));
        m_options.storeNumber = [engine] { return static_cast<int>((*engine)() % 9999u); };
    }
    connect(&m_window.panel, &ControlPanel::FinishButtonClick, this, &ResultsRun::FinishButtonClick);
    connect(&m_window.reports, &ReportArea::ResultsToggle, this, &ResultsRun::ResultsToggle);
    connect(&m_window.files, &FileMenu::SaveResults1Click, this, &ResultsRun::SaveResults1Click);
    connect(&m_window.files, &FileMenu::Print1Click, this, &ResultsRun::Print1Click);
    connect(&m_window.files, &FileMenu::openResultsRequested, this, &ResultsRun::loadResultsFile);
    connect(&m_run, &TestRun::resumedFinished, this, &ResultsRun::resumeFinished);
    connect(&m_run.clock(), &TestClock::timeUp, this, &ResultsRun::timeRanOut);
}

QString ResultsRun::textOr(int number, const char* fallback) const
{
    const QString text = m_window.messages.message(number);
    return text.isEmpty() ? QString::fromUtf8(fallback) : text;
}

void ResultsRun::FinishButtonClick()
{
    if (!isRunning(m_window.page.testState()))
        return;
    m_window.messages.announceMessage(23);
    if (!m_window.messages.prompts().askYesNo(m_window.messages.message(23)))
        return;
    // The time may have run out while the question was open.
    if (!isRunning(m_window.page.testState()))
        return;
    finishRunningTest();
}

void ResultsRun::timeRanOut()
{
    if (!isRunning(m_window.page.testState()))
        return;
    m_window.messages.announceMessage(timeUpMessage);
    m_window.messages.showMessageWindow(m_window.messages.message(timeCaptionMessage),
                                        m_window.messages.message(timeUpMessage));
    // A preview from the authoring editor is never finished, not even by
    // the time.
    if (m_run.rules().isPreview())
        return;
    m_finishingAtTimeUp = true;
    finishRunningTest();
    m_finishingAtTimeUp = false;
}

QString ResultsRun::finishedText(int number) const
{
    // The message that follows the end says why the test ended.
    const QString text = m_window.messages.message(number);
    return m_finishingAtTimeUp ? m_window.messages.message(timeUpMessage) + QStringLiteral("\n\n") + text : text;
}

void ResultsRun::finishRunningTest()
{
    // The test's controls go, an exam's lock is lifted, and the page on
    // show gives its answers back to the question list (the candidate's
    // own, also when Cheat is held).
    m_run.clock().stop();
    m_timing = m_run.timing();
    m_run.releaseCheat();
    m_window.panel.disableTestControls();
    // The finished test's arrangement: the time left goes.
    m_window.panel.apply(m_window.panel.planFor(PanelStage::FinishedTest, m_run.rules()));
    m_window.panel.setAutoPlayChecked(false);
    m_window.lock.setLocked(false);
    m_run.saveAnswersOfPage();
    m_run.leavePage();
    m_run.setWindowColour(Qt::white);

    m_run.setTestSettings(stampEndDates(m_run.testSettings(), m_run.currentLocalTime()));
    scoreAndShow();
}

void ResultsRun::resumeFinished()
{
    m_timing = m_run.timing();
    m_window.panel.disableTestControls();
    m_window.panel.setAutoPlayChecked(false);
    m_run.setWindowColour(Qt::white);
    scoreAndShow();
}

void ResultsRun::scoreAndShow()
{
    m_loadedBank.reset();
    const ReportLabels labels = ReportLabels::fromLanguage(m_window.messages.texts());
    FinishedTest finished = finishTest(m_run.testSettings(), m_run.questionList(), m_run.lastQuestion(), labels);
    m_lastScore = finished.score;
    m_window.reports.setReport(ReportKind::Detailed, std::move(finished.detailed));
    m_window.reports.setReport(ReportKind::Summary, std::move(finished.summary));
    showResults(finished);
}

void ResultsRun::showResults(const FinishedTest& finished)
{
    const ResultsDisplayMode mode = finished.displayMode;
    // The slider goes back to its start without building a page.
    m_run.setCurrentQuestion(-1);
    m_window.panel.setQuestionRange(m_run.lastQuestion(), 0, false);
    m_run.setResultsDisplayMode(mode);
    m_window.page.setTestState(TestState::Finished);
    m_window.lock.showCover(false);

    m_window.reports.applyResultsDisplay(planResultsDisplay(mode));
    const bool viewing = finished.settings.finishedQuestionViewing();
    if (mode == ResultsDisplayMode::None && !viewing) {
        m_window.messages.showMessageWindow(m_window.messages.message(53), finishedText(54));
        m_window.messages.announceMessage(54);
    }
    storeAutomatically();
    if (viewing)
        offerFinishedQuestionViewing(mode);
}

void ResultsRun::offerFinishedQuestionViewing(ResultsDisplayMode mode)
{
    const int last = m_run.lastQuestion();
    // With a report, position 0 is the results page and the questions
    // follow it.
    m_window.panel.setQuestionRange(mode == ResultsDisplayMode::None ? last : last + 1, 0, true);
    m_window.panel.apply(m_window.panel.planFor(PanelStage::FinishedTest, m_run.rules()));
    if (mode == ResultsDisplayMode::None)
        m_run.goToQuestion(0);
    m_window.messages.showMessageWindow(m_window.messages.message(53), finishedText(55));
    m_window.messages.announceMessage(55);
    const zxObject service(m_window.page.mainWindow(), {}, m_run.page().context());
    m_window.panel.frameQuestionSlider(service);
}

void ResultsRun::ResultsToggle(bool summary)
{
    if (!m_window.reports.report(ReportKind::Detailed) || !m_window.reports.report(ReportKind::Summary))
        return;
    m_run.goToQuestion(0);
    m_window.reports.showReport(summary ? ReportKind::Summary : ReportKind::Detailed);
    m_window.reports.setViewChecks(summary, !summary);
}

// ------------------------------------------------------------ results files

void ResultsRun::SaveResults1Click()
{
    const TestState state = m_window.page.testState();
    if (state != TestState::Finished && state != TestState::ResultsStored) {
        m_window.messages.announceMessage(22);
        m_window.messages.showMessageWindow(m_window.messages.message(21), m_window.messages.message(22));
        return;
    }
    const QString chosen = m_window.messages.prompts().chooseResultsFile ? m_window.messages.prompts().chooseResultsFile() : QString();
    if (chosen.isEmpty())
        return;
    const QString path = pathFromLocal(withResultsExtension(localPath(chosen)));
    if (!mayReplace(chosen, path))
        return;
    if (writeResultsFile(path))
        m_window.files.rememberRecentFile(path);
}

bool ResultsRun::mayReplace(const QString& chosen, const QString& path)
{
    // The dialog asked about the name chosen; the extension may have made
    // it the name of another file.
    if (QFileInfo(chosen).absoluteFilePath() == QFileInfo(path).absoluteFilePath() || !QFileInfo::exists(path))
        return true;
    m_window.messages.announceMessage(replaceQuestion);
    return m_window.messages.prompts().askYesNo(
        m_window.messages.message(replaceQuestion) + QStringLiteral("\n\n") + path);
}

bool ResultsRun::writeResultsFile(const QString& path) { return writeResults(path, false); }

bool ResultsRun::writeResults(const QString& path, bool automatic)
{
    ResultsFileContent content;
    if (const ReportDocument* detailed = m_window.reports.report(ReportKind::Detailed))
        content.detailedRtf = writeRtf(*detailed);
    if (const ReportDocument* summary = m_window.reports.report(ReportKind::Summary))
        content.summaryRtf = writeRtf(*summary);
    if (m_loadedBank) {
        content.bankPathAbs = m_loadedBank->absolute;
        content.bankPathRel = m_loadedBank->relative;
    } else {
        const QString bank = QFileInfo(m_run.bankPath()).absoluteFilePath();
        content.bankPathAbs = localPath(bank);
        content.bankPathRel =
            locateRelativeFile(localPath(QFileInfo(path).absolutePath() + QLatin1Char('/')), content.bankPathAbs);
    }
    content.testSettings = m_run.testSettings();
    content.questionList = m_run.questionList();
    content.timing = m_timing;

    std::string reason;
    if (!writeStoredFile(buildResultsContent(content), localPath(path), clockSeededRandom(), &reason)) {
        reportWriteFailure(path, reason, automatic);
        return false;
    }
    m_window.page.setTestState(TestState::ResultsStored);
    return true;
}

void ResultsRun::reportWriteFailure(const QString& path, const std::string& reason, bool automatic)
{
    // The results stay on screen and the state keeps asking before the
    // window closes, so they can still be saved elsewhere.
    const QString text = automatic
        ? textOr(notStoredText, "Your results could not be stored automatically. They are still on the screen: "
                                "please save them with File, Save Results, or tell your examiner.")
        : textOr(notSavedText, "Your results could not be saved in this file. Please choose another place.");
    m_window.messages.announceMessage(automatic ? notStoredText : notSavedText);
    m_window.messages.showMessageWindow(textOr(notSavedCaption, "Results Not Saved"),
                             text + QStringLiteral("\n\n") + path + QStringLiteral("\n")
                                 + QString::fromLocal8Bit(reason.data(), static_cast<qsizetype>(reason.size())));
}

void ResultsRun::storeAutomatically()
{
    if (m_resultsFolder.isEmpty())
        return;
    const QString folder = m_resultsFolder;
    // At most one test per run is stored automatically.
    m_resultsFolder.clear();
    // One reading of the clock, so that all digits are of one moment.
    const QDateTime now = m_options.clock();
    const std::string name = automaticResultsName(localPath(folder), TestRun::localTimeOf(now), now.time().msec(),
                                                  m_options.storeNumber());
    writeResults(pathFromLocal(name), true); // a failure is reported; nothing else changes
}

bool ResultsRun::loadResultsFile(const QString& path)
{
    if (path.isEmpty() || !QFileInfo(path).isFile()) {
        m_window.messages.announceMessage(57);
        m_window.messages.showMessageWindow(m_window.messages.message(56), m_window.messages.message(57));
        return false;
    }
    m_window.panel.setAutoPlayChecked(false);
    if (!m_run.mayReplaceTest({59, 60, 61, 62}))
        return false;
    // Read whole, but only up to the size any results file has: a larger
    // file is refused before the test on show is given up.
    const std::optional<std::string> stored = readStoredFile(localPath(path), maxResultsFileBytes);
    if (!stored) {
        m_window.messages.announceMessage(tooLargeText);
        m_window.messages.showMessageWindow(m_window.messages.message(56),
                                 m_window.messages.message(tooLargeText)
                                     + QStringLiteral("\n\n") + path);
        return false;
    }

    m_run.resetForResults();
    const ResultsFileContent content = parseResultsContent(*stored);
    m_loadedBank = BankPaths{content.bankPathAbs, content.bankPathRel};
    if (content.version >= firstRefusedResultsVersion) {
        m_window.messages.announceMessage(64);
        m_window.messages.showMessageWindow(m_window.messages.message(63), m_window.messages.message(64));
        return false;
    }
    m_run.adoptTestSettings(content.testSettings);
    m_timing = content.timing;
    m_window.files.rememberRecentFile(path);

    const ResultsSettings settings = ResultsSettings::parse(content.testSettings);
    const ResultsDisplayMode mode = settings.displayMode();
    if (mode == ResultsDisplayMode::None && !settings.finishedQuestionViewing()) {
        m_window.messages.announceMessage(68);
        m_window.messages.showMessageWindow(m_window.messages.message(67), m_window.messages.message(68));
        return false;
    }
    // The reports of this file replace those on show; a report the file
    // does not hold leaves no view behind from an earlier test.
    for (const auto& [kind, rtf] : {std::pair{ReportKind::Detailed, &content.detailedRtf},
                                    std::pair{ReportKind::Summary, &content.summaryRtf}}) {
        if (mode != ResultsDisplayMode::None && rtf->size() > 5)
            m_window.reports.setReport(kind, readRtf(*rtf));
        else
            m_window.reports.destroyReport(kind);
    }
    m_window.reports.applyResultsDisplay(planResultsDisplay(mode));
    m_run.setResultsDisplayMode(mode);
    m_window.files.enableResultsCommands(settings.allowSaving == 1, settings.allowPrinting == 1);
    if (settings.finishedQuestionViewing())
        reviewBank(content, path, mode);
    return true;
}

void ResultsRun::reviewBank(const ResultsFileContent& content, const QString& path, ResultsDisplayMode mode)
{
    bool viewing = true;
    QString bank = pathFromLocal(content.bankPathAbs);
    if (bank.isEmpty() || !QFileInfo(bank).isFile())
        bank = QFileInfo(path).absolutePath() + QLatin1Char('/') + pathFromLocal(content.bankPathRel);
    if (QFileInfo(bank).isFile()) {
        if (!m_run.openBankForReview(bank))
            return;
        m_loadedBank.reset(); // the bank is open: its path is known again
    } else {
        m_window.messages.announceMessage(70);
        m_window.messages.prompts().inform(m_window.messages.message(70));
        viewing = false;
    }
    // -1 when the first record is no question: then there is none to view.
    const int last = lastAvailableQuestion(content.questionList);
    if (last < 0)
        viewing = false;
    m_run.setQuestionList(content.questionList, last);
    if (!m_run.fitWindowToPages())
        return;
    m_window.panel.apply(m_window.panel.planFor(PanelStage::LoadedResults, m_run.rules()));
    m_window.panel.setQuestionSliderEnabled(viewing);
    if (!viewing)
        return;
    m_run.setCurrentQuestion(-1);
    m_window.panel.setQuestionRange(mode == ResultsDisplayMode::None ? m_run.lastQuestion() : m_run.lastQuestion() + 1, 0,
                            true);
    if (mode == ResultsDisplayMode::None)
        m_run.goToQuestion(0);
}

// ------------------------------------------------------------ printing

void ResultsRun::Print1Click()
{
    QPrinter* printer = m_window.files.printer();
    if (!printer || !m_window.messages.prompts().choosePrinter || !m_window.messages.prompts().choosePrinter(*printer))
        return;
    m_window.reports.printShownReport(*printer);
}

} // namespace zx
