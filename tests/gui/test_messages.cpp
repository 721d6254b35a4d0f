// Messages: spoken messages with Audio Messages on, sound headers, Tell
// Me under the pointer, the message window.
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
