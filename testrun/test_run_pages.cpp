// The test run's pages: moving between them, building, painting and
// leaving them, and what the control panel's buttons do to the page on
// show.
#include "testrun/test_run.h"

#include "window/control_panel.h"
#include "window/keyboard_navigation.h"
#include "window/messages.h"
#include "window/page_window.h"
#include "window/read_aloud.h"
#include "window/report_area.h"
#include "media/sound_player.h"
#include "objects/qt_text.h"
#include "objects/zx_object.h"
#include "objects/zx_text.h"
#include "results/core/results_display.h"
#include "tagtext/numbered_tags.h"
#include "tagtext/tagged_text.h"
#include "testrun/page_builder.h"

#include <QEvent>
#include <QLocale>
#include <QPainter>


namespace zx {

// ------------------------------------------------------------ pages

QDateTime TestRun::now() const { return m_options.clock ? m_options.clock() : QDateTime::currentDateTime(); }

LocalTime TestRun::currentLocalTime() const { return localTimeOf(now()); }

LocalTime TestRun::localTimeOf(const QDateTime& now)
{
    LocalTime time;
    time.year = now.date().year();
    time.month = now.date().month();
    time.day = now.date().day();
    time.hour = now.time().hour();
    time.minute = now.time().minute();
    time.second = now.time().second();
    const QLocale locale;
    time.dayName = qStringToCp1252(locale.dayName(now.date().dayOfWeek(), QLocale::LongFormat));
    time.monthName = qStringToCp1252(locale.monthName(now.date().month(), QLocale::LongFormat));
    return time;
}

bool TestRun::resultsPageInUse() const
{
    const TestState state = m_window.page.testState();
    return (state == TestState::Finished || state == TestState::ResultsStored)
           && m_resultsMode != ResultsDisplayMode::None;
}

void TestRun::setWindowColour(const QColor& colour)
{
    m_windowColour = colour;
    m_window.page.pageArea()->update();
}

void TestRun::goToQuestion(int n)
{
    if (n == m_currentQuestion)
        return;
    // Reviewing results with a report: position 0 is the results page and
    // position k shows question k - 1.
    int page = n;
    if (resultsPageInUse()) {
        if (n == 0) {
            leavePage();
            m_window.reports.showReport(resultsPageReport(m_resultsMode, m_window.reports.summaryItemChecked()));
            m_currentQuestion = -1;
            return;
        }
        page = n - 1;
    }
    m_window.reports.hideReports();
    if (page < 0 || page > m_lastQuestion)
        return;
    const TestState state = m_window.page.testState();
    if (state == TestState::Running || state == TestState::RunningExam) {
        const int left = m_currentQuestion;
        saveAnswersOfPage();
        m_currentQuestion = n;
        journalPage(m_pageText.size() >= 11 ? left : -1, m_pageText);
    }
    m_currentQuestion = n;
    const std::string key = "questionFile" + std::to_string(page);
    m_pageText = getTag(state == TestState::Ready ? m_preTestList : m_questionList, key);

    // A candidate working the page from the keyboard finds the focus on
    // the next page's first control.
    const bool firstPage = std::exchange(m_focusNextPage, false);
    const bool focusOnPage = firstPage || m_window.keyboard.focusIsOnPage();
    leavePage();
    m_page->loadTickAndCross(m_pageText);
    if (auto colour = colourFromRecordText(getTag(m_pageText, "bgColour"), m_window.page.mainWindow()->palette(), QColor(Qt::white)))
        m_windowColour = *colour;
    m_page->buildPage(m_pageText, state);
    m_window.keyboard.setPageFocusOrder(m_page->focusOrder(), focusOnPage);
    m_window.page.pageArea()->update();
    // Reviewing a finished test: every page shows its marking.
    if (state == TestState::Finished || state == TestState::ResultsStored)
        MarkButClick();

    if (m_window.panel.autoPlayOn())
        playQuestionAudio();
    if (page == m_lastQuestion && state == TestState::Ready && !m_page->hasStartTestPicture())
        showStartButton();
}

void TestRun::showStartButton()
{
    const zxObject service(m_window.page.mainWindow(), {}, m_page->context());
    m_window.panel.frameStartButton(service);
    m_window.panel.setStartButtonShown(true);
}

void TestRun::playQuestionAudio()
{
    const std::string audio = getTag(m_pageText, "questionAudioAbs");
    if (audio == "0" || audio.empty())
        return;
    const std::string path = resolveBankFile(audio);
    if (!QFileInfo::exists(pathFromLocal(path)) || !mediaHeaderMatches(path))
        return;
    m_window.messages.playAudioFile(pathFromLocal(path));
}

void TestRun::saveAnswersOfPage()
{
    if (m_pageText.size() < 11 || m_currentQuestion < 0)
        return;
    m_pageText = m_page->pageTextWithAnswers(m_pageText);
    m_questionList = setTag(m_questionList, "questionFile" + std::to_string(m_currentQuestion), m_pageText);
}

void TestRun::leavePage()
{
    // The results page is a page too: its report goes with it.  A
    // question's sound does not outlive its page.
    m_window.reports.hideReports();
    m_window.messages.soundPlayer().stop();
    m_page->leavePage();
}

std::string TestRun::resolveBankFile(const std::string& storedName) const { return m_files.resolve(storedName); }

void TestRun::revealFeedback(const std::string& code, QWidget* parent) { m_page->revealFeedback(code, parent); }

void TestRun::hideFeedback(const std::string& code) { m_page->hideFeedback(code); }

void TestRun::MarkButClick() { m_page->markPage(m_testSettings); }

void TestRun::CheatButtonMouseDown()
{
    m_cheatHeld = true;
    m_page->showAnswers();
}

void TestRun::CheatButtonMouseUp()
{
    // Help shares the release; each answer object restores only what a
    // press before it changed, so a release without one changes nothing.
    m_page->restoreAnswers();
    m_cheatHeld = false;
}

void TestRun::ReadAloudClick() { m_window.reader.readAloud(m_page->readingTexts()); }

void TestRun::questionSliderScroll(int position) { goToQuestion(position); }

void TestRun::AutoPlayClick()
{
    // The window keeps the flag; the question audio reads the box.
}

void TestRun::fMouseMove() { m_page->pointerOverWindow(); }

void TestRun::refreshSubtitles()
{
    // Subtitle texts come and go with the option; other texts keep their
    // place in the stacking, and texts of a panel that is not revealed stay
    // hidden.
    for (int i = 0; i < PageBuilder::textCapacity; ++i) {
        zxText* text = m_page->text(i);
        if (text && getTagInt(text->record(), "TextIsSubtitle", 0) != 0 &&
            (text->label() || text->feedbackId() == "0"))
            text->showLayer(-1);
    }
}

void TestRun::paintPage(QWidget* area)
{
    QPainter painter(area);
    if (m_windowColour.isValid())
        painter.fillRect(area->rect(), m_windowColour);
    m_page->paintBackground(painter);
}

bool TestRun::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_window.page.pageArea()) {
        if (event->type() == QEvent::Paint) {
            paintPage(m_window.page.pageArea());
            return true;
        }
        if (event->type() == QEvent::MouseMove)
            fMouseMove();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zx
