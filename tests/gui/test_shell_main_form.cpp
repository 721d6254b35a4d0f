// The main window itself: the close question, the hints under the pointer
// and the auxiliary windows (the parts have test files of their own).
#include "shell_fixture.h"

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

// ---------------------------------------------------------------- start-up

// ---------------------------------------------------------------- settings

// ---------------------------------------------------------------- closing

TEST_F(ShellFixture, CloseQueryFollowsTheTestState)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    const QString leftOver = touchFile(m_form->pageWindow().workingFolder().path() + QStringLiteral("/page1.jpg"));

    m_form->setTestState(TestState::RunningExam);
    EXPECT_FALSE(m_form->close());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x16"));
    EXPECT_TRUE(m_form->messages().messageForm()->isVisible());
    EXPECT_EQ(m_form->messages().messageForm()->windowTitle(), QStringLiteral("Exam in progress"));
    EXPECT_EQ(m_form->messages().messageForm()->messageText(), QStringLiteral("You cannot close the program during an exam."));
    EXPECT_TRUE(m_questions.isEmpty());

    m_form->setTestState(TestState::Running);
    m_answerYes = false;
    EXPECT_FALSE(m_form->close());
    EXPECT_EQ(m_questions, QStringList{QStringLiteral("Stop the test?")});
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x17"));

    // Finished without saving allowed: closes without a question.
    m_form->setTestState(TestState::Finished);
    EXPECT_TRUE(m_form->close());
    EXPECT_EQ(m_questions.size(), 1);
    EXPECT_FALSE(QFile::exists(leftOver));
    touchFile(leftOver);

    m_questions.clear();
    m_form->show();
    m_form->pageWindow().setBankRules(BankSettings::parse("<allowSaving>1</allowSaving>"));
    EXPECT_FALSE(m_form->close());
    EXPECT_EQ(m_questions, QStringList{QStringLiteral("Your results are not saved. Close anyway?")});
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x18"));
    EXPECT_TRUE(QFile::exists(leftOver));

    m_answerYes = true;
    int pagesLeft = 0;
    QObject::connect(&m_form->pageWindow(), &PageWindow::FormClosing, [&] { ++pagesLeft; });
    EXPECT_TRUE(m_form->close());
    EXPECT_EQ(pagesLeft, 1);
    EXPECT_FALSE(QFile::exists(leftOver));
    EXPECT_TRUE(QDir(m_form->pageWindow().workingFolder().path()).exists());
}

TEST_F(ShellFixture, QuestionPreviewClosesEvenDuringAnExam)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    m_form->setTestState(TestState::RunningExam);
    m_form->pageWindow().setBankRules(BankSettings::parse("<questionPreview>1</questionPreview>"));
    EXPECT_TRUE(m_form->close());
    EXPECT_TRUE(m_questions.isEmpty());
    EXPECT_FALSE(m_form->messages().messageForm()->isVisible());
}

// ---------------------------------------------------------------- spoken messages

// ---------------------------------------------------------------- language menu

TEST_F(ShellFixture, HintsShowOnlyAfterStartUpAndStaySevenSeconds)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    makeForm();
    QPushButton* finish = panelButton(*m_form, "FinishButton");
    finish->setToolTip(QStringLiteral("Finish|Ends the test"));
    QHelpEvent early(QEvent::ToolTip, QPoint(2, 2), finish->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(finish, &early);
    EXPECT_TRUE(m_hints.isEmpty());

    startForm();
    finish->setToolTip(QStringLiteral("Finish"));
    QHelpEvent hint(QEvent::ToolTip, QPoint(2, 2), finish->mapToGlobal(QPoint(2, 2)));
    QCoreApplication::sendEvent(finish, &hint);
    ASSERT_EQ(m_hints.size(), 1);
    EXPECT_EQ(m_hints[0].first, QStringLiteral("Finish"));
    EXPECT_EQ(m_hints[0].second, TMainForm::hintHidePauseMs);
    EXPECT_EQ(TMainForm::hintHidePauseMs, 7000);
}

// ---------------------------------------------------------------- auxiliary windows

TEST_F(ShellFixture, HelpWindowAnnouncesItsPages)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    const QString xh2 = writeSound(QStringLiteral("xh2"));
    presetSetting(QStringLiteral("AudioMessages"), QStringLiteral("1"));
    startForm();

    QTest::mouseClick(panelButton(*m_form, "HelpButton"), Qt::LeftButton);
    THelp* help = m_form->helpWindow();
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("xh0"));
    help->pages()->setCurrentIndex(2);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("xh2"));
    EXPECT_EQ(m_sound->playingPath(), xh2);

    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(help, &deactivate);
    EXPECT_TRUE(m_sound->playingPath().isEmpty());
    help->hide();
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("0"));
}

TEST_F(ShellFixture, AboutBoxClickShowsCreditsThenCloses)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    TAboutBox* about = m_form->aboutBox();
    for (int round = 0; round < 2; ++round) {
        about->show();
        EXPECT_EQ(about->activePage(), 0);
        QTest::mouseClick(about->coverShape(0), Qt::LeftButton);
        EXPECT_EQ(about->activePage(), 1);
        EXPECT_TRUE(about->isVisible());
        QTest::mouseClick(about->coverShape(1), Qt::LeftButton);
        EXPECT_FALSE(about->isVisible());
        EXPECT_EQ(about->activePage(), 0);
    }

    // Closed on the credits page with Esc or the window's close: it opens
    // on its first page again.
    for (const bool escape : {true, false}) {
        about->show();
        QTest::mouseClick(about->coverShape(0), Qt::LeftButton);
        ASSERT_EQ(about->activePage(), 1);
        if (escape)
            QTest::keyClick(about, Qt::Key_Escape);
        else
            about->close();
        ASSERT_FALSE(about->isVisible());
        about->show();
        EXPECT_EQ(about->activePage(), 0) << (escape ? "Esc" : "close");
        about->hide();
    }
}

