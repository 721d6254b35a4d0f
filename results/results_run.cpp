#include "results/results_run.h"

#include "app/main_form.h"
#include "objects/zx_object.h"
#include "results/core/results_display.h"
#include "testrun/page_builder.h"
#include "testrun/test_run.h"

namespace zx {

ResultsRun::ResultsRun(TMainForm& form, TestRun& run)
    : m_form(form)
    , m_run(run)
{
    connect(&m_form, &TMainForm::FinishButtonClick, this, &ResultsRun::FinishButtonClick);
    connect(&m_form, &TMainForm::ResultsToggle, this, &ResultsRun::ResultsToggle);
}

void ResultsRun::FinishButtonClick()
{
    const TestState state = m_form.testState();
    if (state != TestState::Running && state != TestState::RunningExam)
        return;
    m_form.announceMessage(23);
    if (!m_form.prompts().askYesNo(m_form.message(23)))
        return;

    // The test's controls go, an exam's lock is lifted, and the page on
    // show gives its answers back to the question list.
    m_form.disableTestControls();
    m_form.setAutoPlayChecked(false);
    m_form.setExamLock(false);
    m_run.saveAnswersOfPage();
    m_run.leavePage();
    m_run.setWindowColour(Qt::white);

    m_run.setTestSettings(stampEndDates(m_run.testSettings(), m_run.currentLocalTime()));
    const ReportLabels labels = ReportLabels::fromLanguage(m_form.texts());
    FinishedTest finished = finishTest(m_run.testSettings(), m_run.questionList(), m_run.lastQuestion(), labels);
    m_lastScore = finished.score;
    m_form.setReport(ReportKind::Detailed, std::move(finished.detailed));
    m_form.setReport(ReportKind::Summary, std::move(finished.summary));
    showResults(finished);
}

void ResultsRun::showResults(const FinishedTest& finished)
{
    const ResultsDisplayMode mode = finished.displayMode;
    // The slider goes back to its start without building a page.
    m_run.setCurrentQuestion(-1);
    m_form.setQuestionRange(m_run.lastQuestion(), 0, false);
    m_run.setResultsDisplayMode(mode);
    m_form.setTestState(TestState::Finished);
    m_form.showCover(false);

    m_form.applyResultsDisplay(planResultsDisplay(mode));
    const bool viewing = finished.settings.finishedQuestionViewing();
    if (mode == ResultsDisplayMode::None && !viewing) {
        m_form.showMessageWindow(m_form.message(53), m_form.message(54));
        m_form.announceMessage(54);
    }
    if (viewing)
        offerFinishedQuestionViewing(mode);
}

void ResultsRun::offerFinishedQuestionViewing(ResultsDisplayMode mode)
{
    const int last = m_run.lastQuestion();
    // With a report, position 0 is the results page and the questions
    // follow it.
    m_form.setQuestionRange(mode == ResultsDisplayMode::None ? last : last + 1, 0, true);
    m_form.applyControlPanel(m_form.planFor(PanelStage::FinishedTest, m_run.rules()));
    if (mode == ResultsDisplayMode::None)
        m_run.goToQuestion(0);
    m_form.showMessageWindow(m_form.message(53), m_form.message(55));
    m_form.announceMessage(55);
    const zxObject service(&m_form, {}, m_run.page().context());
    m_form.frameQuestionSlider(service);
}

void ResultsRun::ResultsToggle(bool summary)
{
    if (!m_form.report(ReportKind::Detailed) || !m_form.report(ReportKind::Summary))
        return;
    m_run.goToQuestion(0);
    m_form.showReport(summary ? ReportKind::Summary : ReportKind::Detailed);
    m_form.setViewChecks(summary, !summary);
}

} // namespace zx
