// The window around the page: on its own, and in the main window (the
// page area above the panel, the screen saver held while a test is open).
#include "shell_fixture.h"

#include "app/core/control_panel_plan.h"
#include "window/progress_window.h"
#include <QMainWindow>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <gtest/gtest.h>
#include "app/about_box.h"
#include "app/core/language_choice.h"
#include "app/help_window.h"
#include "window/message_form.h"

#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QHelpEvent>
#include <QLabel>
#include <QScrollBar>
#include <QMenu>
#include <QPushButton>
#include <QSettings>
#include <QStyle>
#include <QStackedWidget>
#include <QTabWidget>
#include <QTest>
#include <QTextEdit>

using namespace zx;
using namespace zx::test;

TEST_F(ShellFixture, PageAreaLiesAboveTheControlPanel)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    m_form->pageWindow().setPageSize(800, 600);
    EXPECT_EQ(m_form->pageWindow().pageArea()->geometry(), QRect(0, 0, 800, 573));
    EXPECT_EQ(controlPanel(*m_form)->geometry(), QRect(0, 573, 800, 27));
    EXPECT_EQ(m_form->centralWidget()->size(), QSize(800, 600));
    for (QWidget* control : {static_cast<QWidget*>(questionSlider(*m_form)),
                             static_cast<QWidget*>(panelButton(*m_form, "FinishButton")),
                             static_cast<QWidget*>(panelButton(*m_form, "HelpButton"))})
        EXPECT_TRUE(controlPanel(*m_form)->rect().contains(control->geometry())) << control->objectName().toStdString();
    EXPECT_TRUE(m_form->controlPanel().autoPlayOn());
    EXPECT_FALSE(panelButton(*m_form, "StartButton")->isVisible());
}

TEST_F(ShellFixture, ScreenSaverIsHeldOffWhileATestIsOpen)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    makeForm();
    // The fixture turns the bus calls off; the wish still follows the state:
    // a bank's pre-test pages, a practice test and an exam hold it.
    const bool held[] = {false, true, true, true, false, false};
    for (int s = 0; s <= 5; ++s) {
        m_form->setTestState(static_cast<TestState>(s));
        EXPECT_EQ(m_form->testState(), static_cast<TestState>(s));
        EXPECT_EQ(m_form->pageWindow().screenSaverInhibitWanted(), held[s]) << "state " << s;
    }
    m_form->setTestState(TestState::Running);
    m_form->close();
    EXPECT_FALSE(m_form->pageWindow().screenSaverInhibitWanted());

    ScreenSaverInhibitor inhibitor(false);
    inhibitor.setInhibited(true);
    EXPECT_TRUE(inhibitor.wantsInhibit());
    EXPECT_FALSE(inhibitor.isInhibited());
    inhibitor.setInhibited(false);
    EXPECT_FALSE(inhibitor.wantsInhibit());
    EXPECT_FALSE(inhibitor.isInhibited());
}

namespace zx::test {
namespace {

class PageWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_page = new PageWindow(&m_window, m_dir.filePath(QStringLiteral("work")), false);
        m_window.show();
    }

    QTemporaryDir m_dir;
    QMainWindow m_window;
    PageWindow* m_page = nullptr;
};

TEST_F(PageWindowTest, ThePageAreaLeavesThePanelItsRoomAndTheWindowWrapsIt)
{
    QSignalSpy resized(m_page, &PageWindow::pageResized);
    m_page->setPageSize(PageSize{1024, 768});
    EXPECT_EQ(m_page->central()->size(), QSize(1024, 768));
    EXPECT_EQ(m_page->pageArea()->geometry(), QRect(0, 0, 1024, 768 - controlPanelHeight));
    ASSERT_EQ(resized.count(), 1);
    EXPECT_EQ(resized[0][0].toInt(), 1024);
    EXPECT_EQ(resized[0][1].toInt(), 768 - controlPanelHeight);
    EXPECT_EQ(m_window.centralWidget(), m_page->central());
    EXPECT_EQ(m_window.size(), m_window.sizeHint());

    m_page->centreOn(QRect(100, 50, 2000, 1000));
    EXPECT_LE((m_window.frameGeometry().center() - QPoint(1099, 549)).manhattanLength(), 1);
}

TEST_F(PageWindowTest, TheStateIsAnnouncedOncePerChangeAndHoldsTheScreenSaver)
{
    QSignalSpy changed(m_page, &PageWindow::testStateChanged);
    m_page->setTestState(TestState::Ready);
    m_page->setTestState(TestState::Ready);
    EXPECT_EQ(changed.count(), 1);
    EXPECT_TRUE(m_page->screenSaverInhibitWanted());
    m_page->setTestState(TestState::Finished);
    EXPECT_EQ(changed.count(), 2);
    EXPECT_EQ(m_page->testState(), TestState::Finished);
    EXPECT_FALSE(m_page->screenSaverInhibitWanted());

    m_page->requestStart();
    EXPECT_TRUE(m_page->startRequested());
    m_page->clearStartRequest();
    EXPECT_FALSE(m_page->startRequested());
}

TEST_F(PageWindowTest, AClosedWindowLeavesAnEmptyWorkingFolder)
{
    const QString leftOver = m_page->workingFolder().path() + QStringLiteral("/page1.jpg");
    QFile file(leftOver);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    m_page->setTestState(TestState::Running);
    m_page->progressWindow()->show();
    QSignalSpy closing(m_page, &PageWindow::FormClosing);
    m_page->close();
    EXPECT_EQ(closing.count(), 1);
    EXPECT_TRUE(QFile::exists(leftOver)) << "the page is left first";
    m_page->closed();
    EXPECT_FALSE(QFile::exists(leftOver));
    EXPECT_TRUE(QDir(m_page->workingFolder().path()).exists());
    EXPECT_FALSE(m_page->progressWindow()->isVisible());
    EXPECT_FALSE(m_page->screenSaverInhibitWanted());
}

} // namespace
} // namespace zx::test
