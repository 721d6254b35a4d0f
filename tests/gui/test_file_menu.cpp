// The File and Options menus: the recent lists and the stored options.
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

} // namespace

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
    const QString algebra = touchFile(m_dir.path() + QStringLiteral("/Algebra.zxb"));
    const QString gone = m_dir.path() + QStringLiteral("/Gone.zxb");
    const QString marks = touchFile(m_dir.path() + QStringLiteral("/Algebra.zxr"));
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

TEST_F(ShellFixture, OpenChoosesByExtensionAndLocalBankModeHidesTheOpeningItems)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    startForm();
    FileMenu& files = m_form->fileMenu();
    QStringList banks;
    QStringList results;
    QObject::connect(&files, &FileMenu::openBankRequested, [&](const QString& p) { banks << p; });
    QObject::connect(&files, &FileMenu::openResultsRequested, [&](const QString& p) { results << p; });
    files.openChosenFile(QStringLiteral("/exams/a.zxb"));
    files.openChosenFile(QStringLiteral("/exams/b.ZXR"));
    files.openChosenFile(QStringLiteral("/exams/c.txt"));
    EXPECT_EQ(banks, QStringList{QStringLiteral("/exams/a.zxb")});
    EXPECT_EQ(results, QStringList{QStringLiteral("/exams/b.ZXR")});

    files.enableResultsCommands(true, false);
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("SaveResults1"))->isEnabled());
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("PrintSetup1"))->isEnabled());
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("Print1"))->isEnabled());
    files.enableResultsCommands(false, true);
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("SaveResults1"))->isEnabled());
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("Print1"))->isEnabled());

    m_form->enterLocalBankMode(false);
    for (const char* name : {"FileOpenItem", "ReopenItem", "zxWebJump1", "zxWebJump4"})
        EXPECT_FALSE(menuItem(*m_form, QString::fromLatin1(name))->isVisible()) << name;
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("SaveResults1"))->isVisible());
    m_form->enterLocalBankMode(true);
    EXPECT_FALSE(menuItem(*m_form, QStringLiteral("SaveResults1"))->isVisible());
    EXPECT_TRUE(menuItem(*m_form, QStringLiteral("FileExitItem"))->isVisible());
}

TEST_F(ShellFixture, OptionsAreStoredAndTurningAudioOffSilencesIt)
{
    writeLanguage(QStringLiteral("English (UK)"), englishLines());
    const QString x16 = writeSound(QStringLiteral("x16"));
    startForm();
    OptionsMenu& options = m_form->optionsMenu();
    int subtitleClicks = 0;
    QObject::connect(&options, &OptionsMenu::SubtitlesClick, [&] { ++subtitleClicks; });
    menuItem(*m_form, QStringLiteral("Subtitles"))->trigger();
    EXPECT_EQ(subtitleClicks, 1);
    EXPECT_TRUE(options.subtitlesOn());
    EXPECT_TRUE(m_form->settings().readBoolean(QStringLiteral("Subtitles"), false));

    menuItem(*m_form, QStringLiteral("AudioMessages"))->trigger();
    EXPECT_TRUE(options.audioMessagesOn());
    m_form->messages().announceMessage(16);
    EXPECT_EQ(m_sound->playingPath(), x16);
    menuItem(*m_form, QStringLiteral("AudioMessages"))->trigger();
    EXPECT_FALSE(options.audioMessagesOn());
    EXPECT_FALSE(m_form->settings().readBoolean(QStringLiteral("AudioMessages"), true));
    EXPECT_TRUE(m_sound->playingPath().isEmpty()) << "what played is stopped";
}
