// The main window: start-up, settings, recent files, closing, spoken
// messages, the Language menu and the auxiliary windows.
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

namespace {

QStringList menuCaptions(const QMenu* menu)
{
    QStringList out;
    for (const QAction* item : menu->actions())
        out << (item->isSeparator() ? QStringLiteral("-") : item->text());
    return out;
}

QString touch(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

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

// ---------------------------------------------------------------- start-up

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
    EXPECT_EQ(m_form->aboutBox()->versionText(), QStringLiteral("Version nine"));
    EXPECT_FALSE(m_form->aboutBox()->isVisible()); // the splash is closed again
    EXPECT_FALSE(m_form->startup().flashAvailable());
    EXPECT_TRUE(m_form->startup().hintsShown());
    EXPECT_EQ(QApplication::style()->styleHint(QStyle::SH_ToolTip_WakeUpDelay), StartupSequence::hintPauseMs);
    EXPECT_EQ(menuItem(*m_form, QStringLiteral("FileOpenItem"))->text(), QStringLiteral("&Open a bank"));
    EXPECT_TRUE(m_warnings.isEmpty());
}

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

TEST_F(ShellFixture, NoLanguageFileWarnsAndEnds)
{
    startForm();
    ASSERT_EQ(m_warnings.size(), 1);
    EXPECT_EQ(m_warnings[0].toStdString(), std::string(missingLanguageWarning));
    EXPECT_EQ(m_exits, 1);
    EXPECT_FALSE(m_form->startup().startupDone());
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
}

// ---------------------------------------------------------------- settings

TEST_F(ShellFixture, BooleansCountOnlyWhenStoredAsIntegers)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    makeSoundFolder();
    presetSetting(QStringLiteral("Subtitles"), QStringLiteral("true"));
    presetSetting(QStringLiteral("AudioMessages"), QStringLiteral("1"));
    startForm();
    EXPECT_FALSE(m_form->optionsMenu().subtitlesOn());
    EXPECT_TRUE(m_form->optionsMenu().audioMessagesOn());

    menuItem(*m_form, QStringLiteral("Subtitles"))->trigger();
    menuItem(*m_form, QStringLiteral("AudioMessages"))->trigger();
    EXPECT_TRUE(m_form->optionsMenu().subtitlesOn());
    EXPECT_FALSE(m_form->optionsMenu().audioMessagesOn());
    QSettings stored(m_settingsFile, QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("Subtitles")).toString(), QStringLiteral("1"));
    EXPECT_EQ(stored.value(QStringLiteral("AudioMessages")).toString(), QStringLiteral("0"));
    EXPECT_TRUE(m_form->settings().readBoolean(QStringLiteral("registryWarningNeeded"), true));
}

TEST_F(ShellFixture, RecentFilesAreCleanedShownAndSaved)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    const QString algebra = touch(m_dir.path() + QStringLiteral("/Algebra.zxb"));
    const QString gone = m_dir.path() + QStringLiteral("/Gone.zxb");
    const QString marks = touch(m_dir.path() + QStringLiteral("/Algebra.zxr"));
    presetSetting(QStringLiteral("RecentFiles/lastQBank0"), gone);
    presetSetting(QStringLiteral("RecentFiles/lastQBank1"), algebra);
    presetSetting(QStringLiteral("RecentFiles/lastQResult0"), marks);
    startForm();

    EXPECT_TRUE(m_form->fileMenu().recentFiles().banks[0].empty());
    EXPECT_EQ(menuCaptions(m_form->fileMenu().reopenMenu()),
              (QStringList{QStringLiteral("Algebra"), QStringLiteral("-"), QStringLiteral("Algebra")}));

    QStringList banksOpened;
    QStringList resultsOpened;
    QObject::connect(&m_form->fileMenu(), &FileMenu::openBankRequested, [&](const QString& p) { banksOpened << p; });
    QObject::connect(&m_form->fileMenu(), &FileMenu::openResultsRequested, [&](const QString& p) { resultsOpened << p; });
    const QList<QAction*> items = m_form->fileMenu().reopenMenu()->actions();
    items[0]->trigger();
    items[2]->trigger();
    EXPECT_EQ(banksOpened, QStringList{algebra});
    EXPECT_EQ(resultsOpened, QStringList{marks});

    const QString physics = m_dir.path() + QStringLiteral("/R&D Physics.zxb");
    m_form->fileMenu().rememberRecentFile(physics);
    m_form->fileMenu().rememberRecentFile(m_dir.path() + QStringLiteral("/notes.txt"));
    EXPECT_EQ(menuCaptions(m_form->fileMenu().reopenMenu()),
              (QStringList{QStringLiteral("R&&D Physics"), QStringLiteral("Algebra"), QStringLiteral("-"),
                           QStringLiteral("Algebra")}));
    QSettings stored(m_settingsFile, QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("RecentFiles/lastQBank0")).toString(), physics);
    EXPECT_EQ(stored.value(QStringLiteral("RecentFiles/lastQBank1")).toString(), algebra);
    EXPECT_TRUE(stored.contains(QStringLiteral("RecentFiles/lastQBank29")));
    EXPECT_TRUE(stored.contains(QStringLiteral("RecentFiles/lastQResult29")));

    m_form->fileMenu().openChosenFile(m_dir.path() + QStringLiteral("/X.ZXR"));
    m_form->fileMenu().openChosenFile(m_dir.path() + QStringLiteral("/X.doc"));
    EXPECT_EQ(resultsOpened.size(), 2);
    EXPECT_EQ(banksOpened.size(), 1);
}

// ---------------------------------------------------------------- closing

TEST_F(ShellFixture, CloseQueryFollowsTheTestState)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    const QString leftOver = touch(m_form->pageWindow().workingFolder().path() + QStringLiteral("/page1.jpg"));

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
    touch(leftOver);

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

// ---------------------------------------------------------------- spoken messages

TEST_F(ShellFixture, AnnouncedMessagesSpeakOnlyWithAudioMessagesOn)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    const QString x16 = writeSound(QStringLiteral("x16"));
    const QString x17mp3 = writeSound(QStringLiteral("x17"), QStringLiteral("mp3"));
    writeSound(QStringLiteral("x17"));
    startForm();

    m_form->messages().announceMessage(QStringLiteral("x16"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x16"));
    EXPECT_TRUE(m_sound->calls().isEmpty());

    // Tell Me speaks the current message whatever the option.
    menuItem(*m_form, QStringLiteral("TellMeAudio1"))->trigger();
    EXPECT_EQ(m_sound->playingPath(), x16);

    menuItem(*m_form, QStringLiteral("AudioMessages"))->trigger();
    ASSERT_TRUE(m_form->optionsMenu().audioMessagesOn());
    m_form->messages().announceMessage(QStringLiteral("x17"));
    EXPECT_EQ(m_sound->playingPath(), x17mp3); // mp3 before wav
    EXPECT_EQ(m_sound->mostOpenAtOnce(), 1);

    // No sound file: nothing plays, the current sound goes on.
    m_form->messages().announceMessage(QStringLiteral("x99"));
    EXPECT_EQ(m_sound->playingPath(), x17mp3);
    m_form->messages().announceMessage(QStringLiteral("../x16"));
    EXPECT_EQ(m_sound->playingPath(), x17mp3);

    // Turning the option off silences whatever plays.
    menuItem(*m_form, QStringLiteral("AudioMessages"))->trigger();
    EXPECT_TRUE(m_sound->playingPath().isEmpty());
}

TEST_F(ShellFixture, BadSoundHeaderIsNotPlayed)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    makeSoundFolder();
    QFile bad(m_program + QStringLiteral("/ExSounds/x20.wav"));
    ASSERT_TRUE(bad.open(QIODevice::WriteOnly));
    bad.write("not a wave file");
    bad.close();
    startForm();
    m_form->messages().playMessageAudio(QStringLiteral("x20"));
    EXPECT_TRUE(m_sound->calls().isEmpty());
}

TEST_F(ShellFixture, F2SpeaksTheHintUnderThePointer)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    const QString hint3 = writeSound(QStringLiteral("Hint3"));
    startForm();
    QApplication::setActiveWindow(m_form.get());
    m_form->activateWindow();

    QEvent enter(QEvent::Enter);
    QCoreApplication::sendEvent(panelButton(*m_form, "HelpButton"), &enter);
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("Hint3"));
    QTest::keyClick(m_form.get(), Qt::Key_F2);
    EXPECT_EQ(m_sound->playingPath(), hint3);

    // Hints that match no entry, or too short ones, change nothing.
    m_form->messages().announceMessage(QStringLiteral("x16"));
    m_form->messages().hintChanged(QStringLiteral("Something else"));
    m_form->messages().hintChanged(QStringLiteral("x"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("x16"));
    m_form->messages().hintChanged(QStringLiteral("Short|Shows the help pages"));
    EXPECT_EQ(m_form->currentMessageKey(), QStringLiteral("Hint3"));
}

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

TEST_F(ShellFixture, LanguageMenuChoosesAndReloads)
{
    writeLanguage(QStringLiteral("Deutsch"), "0016 Nicht waehrend der Pruefung.\r\nMainForm FormCaption Pruefung\r\n");
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    presetSetting(QStringLiteral("langchoice"), QStringLiteral("Klingon"));
    startForm();

    QMenu* menu = m_form->findChild<QMenu*>(QStringLiteral("LangChoices"));
    EXPECT_TRUE(menu->menuAction()->isVisible());
    ASSERT_EQ(menu->actions().size(), 2);
    EXPECT_TRUE(menu->actions()[0]->isChecked()); // first found: Deutsch
    EXPECT_FALSE(menu->actions()[1]->isChecked());
    EXPECT_EQ(m_form->language().currentLanguage(), QStringLiteral("Deutsch"));

    menu->actions()[1]->trigger();
    EXPECT_EQ(m_form->language().currentLanguage(), QStringLiteral("English (UK)"));
    EXPECT_EQ(m_form->windowTitle(), QStringLiteral("Exam player"));
    EXPECT_TRUE(menu->actions()[1]->isChecked());
    EXPECT_FALSE(menu->actions()[0]->isChecked());
    QSettings stored(m_settingsFile, QSettings::IniFormat);
    EXPECT_EQ(stored.value(QStringLiteral("langchoice")).toString(), QStringLiteral("English (UK)"));

    menu->actions()[0]->trigger();
    EXPECT_EQ(m_form->messages().message(16), QStringLiteral("Nicht waehrend der Pruefung."));
    EXPECT_EQ(m_form->messages().message(17), QStringLiteral("Stop the test?")); // kept from English
}

TEST_F(ShellFixture, OneLanguageHidesTheMenu)
{
    writeLanguage(QStringLiteral("Cymraeg"), englishLines());
    startForm();
    EXPECT_FALSE(m_form->findChild<QMenu*>(QStringLiteral("LangChoices"))->menuAction()->isVisible());
    EXPECT_EQ(m_form->language().currentLanguage(), QStringLiteral("Cymraeg"));
}

TEST_F(ShellFixture, GarbageLanguageFileNeverCrashes)
{
    std::string garbage;
    for (int i = 0; i < 20000; ++i)
        garbage += static_cast<char>((i * 7919) % 251 + 1);
    garbage += "\r\nnoseparators\r\n0119\r\n9999 x\r\n-001 minus\r\n";
    writeLanguage(QStringLiteral("Garbage"), garbage);
    startForm();
    EXPECT_TRUE(m_form->startup().startupDone());

    // A language file of a hostile size is not read at all.
    m_form.reset();
    QFile huge(m_program + QStringLiteral("/ExLang/Garbage.zxc"));
    ASSERT_TRUE(huge.open(QIODevice::WriteOnly));
    ASSERT_TRUE(huge.resize(qint64(maxLanguageFileBytes) + 1));
    huge.close();
    startForm();
    EXPECT_TRUE(m_form->startup().startupDone());
    EXPECT_TRUE(m_form->messages().message(16).isEmpty());
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

TEST_F(ShellFixture, MessageWindowShowsTheLatestMessageAndHidesWhenLeft)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    m_form->messages().showMessageWindow(QStringLiteral("First"), QStringLiteral("one"));
    m_form->messages().showMessageWindow(QStringLiteral("Second"), QStringLiteral("two"));
    TMessageForm* window = m_form->messages().messageForm();
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Second"));
    EXPECT_EQ(window->messageText(), QStringLiteral("two"));
    EXPECT_EQ(window->size(), QSize(294, 121));
    // Centred on the main window, wherever that stands.
    m_form->move(37, 59);
    m_form->messages().showMessageWindow(QStringLiteral("Third"), QStringLiteral("three"));
    EXPECT_LE((window->frameGeometry().center() - m_form->frameGeometry().center()).manhattanLength(), 1);
    QEvent deactivate(QEvent::WindowDeactivate);
    QCoreApplication::sendEvent(window, &deactivate);
    EXPECT_FALSE(window->isVisible());

    // It is shown without taking the focus, so a click into the main window
    // takes it away too; a click into it leaves it.
    m_form->messages().showMessageWindow(QStringLiteral("Fourth"), QStringLiteral("four"));
    QTest::mouseClick(window->memo()->viewport(), Qt::LeftButton);
    EXPECT_TRUE(window->isVisible());
    QTest::mouseClick(m_form->pageWindow().pageArea(), Qt::LeftButton, {}, QPoint(5, 5));
    EXPECT_FALSE(window->isVisible());
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
