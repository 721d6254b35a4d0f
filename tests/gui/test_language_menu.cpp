// The language menu: no language file, choosing and reloading, one
// language without a menu, garbage files.
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

TEST_F(ShellFixture, NoLanguageFileWarnsAndEnds)
{
    startForm();
    ASSERT_EQ(m_warnings.size(), 1);
    EXPECT_EQ(m_warnings[0].toStdString(), std::string(missingLanguageWarning));
    EXPECT_EQ(m_exits, 1);
    EXPECT_FALSE(m_form->startup().startupDone());
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
