// The start-up sequence: run once after the first paint, the splash, the
// audio commands without a sound folder.
#include "shell_fixture.h"

#include "app/about_box.h"
#include "app/core/language_choice.h"
#include "app/core/program_version.h"
#include "app/desktop_windows.h"
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

namespace {

struct ShowCounter : QObject {
    int count = 0;
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::Show)
            ++count;
        return false;
    }
};

} // namespace

TEST_F(ShellFixture, StartupRunsOnceOnTheFirstPaint)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    int continued = 0;
    QObject::connect(&makeForm().startup(), &StartupSequence::startupFinished, [&](const std::vector<std::string>&) { ++continued; });
    EXPECT_TRUE(m_form->startup().firstPaintPending());
    startForm();
    EXPECT_TRUE(m_form->startup().startupDone());
    EXPECT_FALSE(m_form->startup().firstPaintPending());
    m_form->repaint();
    m_form->update();
    processEvents();
    m_form->startup().startCall();
    EXPECT_EQ(continued, 1);
    EXPECT_EQ(m_delays, QList<int>{StartupSequence::splashPauseMs});

    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Exam player"));
    EXPECT_EQ(m_form->aboutBox()->versionText(),
              QStringLiteral("Version nine ") + QString::fromStdString(std::string(programVersion())))
        << "the build's version joins a line without a number";
    m_form->aboutBox()->setVersionText(QStringLiteral("Exam Player\nVersion 1.0"));
    EXPECT_EQ(m_form->aboutBox()->versionText(),
              QStringLiteral("Exam Player\nVersion ") + QString::fromStdString(std::string(programVersion())));
    EXPECT_FALSE(m_form->aboutBox()->isVisible()); // the splash is closed again
    EXPECT_FALSE(m_form->startup().flashAvailable());
    EXPECT_TRUE(m_form->startup().hintsShown());
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), StartupSequence::hintPauseMs);
    EXPECT_EQ(menuItem(*m_form, QStringLiteral("FileOpenItem"))->text(), QStringLiteral("&Open a bank"));
    EXPECT_TRUE(m_warnings.isEmpty());
}

TEST_F(ShellFixture, AudioCommandsNeedTheSoundFolder)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("AudioMessages"))->isEnabled());
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("TellMeAudio1"))->isEnabled());
    m_form.reset();

    makeSoundFolder();
    startForm();
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("AudioMessages"))->isEnabled());
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("TellMeAudio1"))->isEnabled());
}

TEST_F(ShellFixture, NoSplashWhenAPreviewWindowIsOpen)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    QWidget preview;
    preview.setWindowTitle(QStringLiteral("Preview window"));
    preview.show();
    makeForm();
    ShowCounter shows;
    m_form->aboutBox()->installEventFilter(&shows);
    startForm();
    EXPECT_TRUE(m_form->startup().startupDone());
    EXPECT_EQ(shows.count, 0);

    // Without such a window the splash shows during the sequence.
    preview.hide();
    m_form.reset();
    makeForm();
    m_form->aboutBox()->installEventFilter(&shows);
    startForm();
    EXPECT_EQ(shows.count, 1);
    EXPECT_FALSE(m_form->aboutBox()->isVisible());

    // Another program's window with either title counts as well.
    for (const QString& title : {QStringLiteral("Preview window"), QStringLiteral("Question preview")}) {
        m_otherWindows = {QStringLiteral("Terminal"), title};
        m_form.reset();
        makeForm();
        shows.count = 0;
        m_form->aboutBox()->installEventFilter(&shows);
        writeLanguage(QStringLiteral("English (UK)"), englishLines() + "0019 Question preview\r\n");
        startForm();
        EXPECT_TRUE(m_form->startup().startupDone());
        EXPECT_EQ(shows.count, 0) << title.toStdString();
    }
    // Titles that merely resemble them, or an empty text, do not.
    m_otherWindows = {QStringLiteral("Preview window 2"), QString()};
    m_form.reset();
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    makeForm();
    shows.count = 0;
    m_form->aboutBox()->installEventFilter(&shows);
    startForm();
    EXPECT_EQ(shows.count, 1);
    // Without a window system's list (offscreen) there is nothing to see.
    EXPECT_TRUE(desktopWindowTitles().isEmpty());
}

TEST_F(ShellFixture, LogoBesideTheProgramReplacesTheSplash)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    QImage logo(120, 80, QImage::Format_RGB32);
    logo.fill(Qt::red);
    ASSERT_TRUE(logo.save(m_program + QStringLiteral("/logoX.jpg"), "JPEG"));
    makeForm();
    EXPECT_EQ(m_form->aboutBox()->splashImage()->size(), QSize(120, 80));
    m_form.reset();

    QFile broken(m_program + QStringLiteral("/logoX.jpg"));
    ASSERT_TRUE(broken.open(QIODevice::WriteOnly | QIODevice::Truncate));
    broken.write("\xff\xd8\xff garbage");
    broken.close();
    makeForm();
    EXPECT_EQ(m_form->aboutBox()->splashImage()->size(), QSize(300, 400));
}
