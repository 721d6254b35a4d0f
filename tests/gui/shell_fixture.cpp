#include "shell_fixture.h"

#include "tagtext/stored_file.h"

#include <QAction>
#include <QCheckBox>
#include <QCoreApplication>
#include <QFrame>
#include <QPushButton>
#include <QScrollBar>
#include <QDir>
#include <QFile>
#include <QSettings>

namespace zx::test {

std::string englishLines()
{
    return "MainForm FormCaption Exam player\r\n"
           "0009 Version nine\r\n"
           "0011 Second line\r\n"
           "0014 Preview window\r\n"
           "0015 Exam in progress\r\n"
           "0016 You cannot close the program during an exam.\r\n"
           "0017 Stop the test?\r\n"
           "0018 Your results are not saved. Close anyway?\r\n"
           "0020 Banks cannot be printed.\r\n"
           "HelpButton Hint3 Shows the help pages\r\n"
           "FileOpenItem Caption &Open a bank\r\n";
}

QString touchFile(const QString& path)
{
    QFile file(path);
    file.open(QIODevice::WriteOnly);
    return path;
}

QPushButton* panelButton(const QWidget& form, const char* name)
{
    auto* button = form.findChild<QPushButton*>(QString::fromLatin1(name));
    EXPECT_NE(button, nullptr) << name;
    return button;
}

QScrollBar* questionSlider(const QWidget& form)
{
    return form.findChild<QScrollBar*>(QStringLiteral("questionSlider"));
}

QCheckBox* autoPlayBox(const QWidget& form) { return form.findChild<QCheckBox*>(QStringLiteral("AutoPlay")); }

QFrame* controlPanel(const QWidget& form) { return form.findChild<QFrame*>(QStringLiteral("ControlPanel")); }

QAction* menuItem(const QWidget& form, const QString& name)
{
    auto* item = form.findChild<QAction*>(name);
    EXPECT_NE(item, nullptr) << name.toStdString();
    return item;
}

void ShellFixture::SetUp()
{
    ASSERT_TRUE(m_dir.isValid());
    m_program = m_dir.path() + QStringLiteral("/program");
    m_runtime = m_dir.path() + QStringLiteral("/run");
    m_settingsFile = m_dir.path() + QStringLiteral("/config/zxexam.ini");
    ASSERT_TRUE(QDir().mkpath(m_program));
    ASSERT_TRUE(QDir().mkpath(m_runtime));
    QFile::setPermissions(m_runtime, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
}

void ShellFixture::TearDown()
{
    if (m_form) {
        m_form->disconnect();
        m_form->setTestState(TestState::NoTest);
        m_form->pageWindow().setBankRules({});
        m_form->close();
        m_form.reset();
    }
}

void ShellFixture::writeLanguage(const QString& name, const std::string& lines)
{
    ASSERT_TRUE(QDir().mkpath(m_program + QStringLiteral("/ExLang")));
    const QString path = m_program + QStringLiteral("/ExLang/") + name + QStringLiteral(".zxc");
    ASSERT_TRUE(writeStoredFile(lines, QFile::encodeName(path).toStdString()));
}

void ShellFixture::makeSoundFolder()
{
    ASSERT_TRUE(QDir().mkpath(m_program + QStringLiteral("/ExSounds")));
}

QString ShellFixture::writeSound(const QString& key, const QString& ext)
{
    makeSoundFolder();
    const QString path = m_program + QStringLiteral("/ExSounds/") + key + QLatin1Char('.') + ext;
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::WriteOnly));
    if (ext == QLatin1String("mp3"))
        file.write(QByteArray::fromHex("fff39064000000000000"));
    else
        file.write(QByteArray("RIFF\x24\x00\x00\x00WAVEfmt ", 16));
    return path;
}

void ShellFixture::presetSetting(const QString& name, const QString& value)
{
    QSettings settings(m_settingsFile, QSettings::IniFormat);
    settings.setValue(name, value);
    settings.sync();
}

TMainForm& ShellFixture::makeForm()
{
    ShellOptions options;
    options.paths = ShellPaths::inFolders(m_program, m_runtime, m_settingsFile);
    auto sound = std::make_unique<FakeSoundBackend>();
    m_sound = sound.get();
    options.soundBackend = std::move(sound);
    options.delay = [this](int ms) { m_delays << ms; };
    options.exitApplication = [this] { ++m_exits; };
    options.inhibitScreenSaver = false;
    options.desktopWindowTitles = [this] { return m_otherWindows; };
    options.showHint = [this](const QPoint&, const QString& hint, QWidget*, int ms) { m_hints.append({hint, ms}); };
    m_form = std::make_unique<TMainForm>(std::move(options));
    m_form->messages().prompts().warn = [this](const QString& text) { m_warnings << text; };
    m_form->messages().prompts().inform = [this](const QString& text) { m_informs << text; };
    m_form->messages().prompts().askYesNo = [this](const QString& text) {
        m_questions << text;
        return m_answerYes;
    };
    return *m_form;
}

void ShellFixture::startForm()
{
    if (!m_form)
        makeForm();
    m_form->show();
    m_form->repaint();
    processEvents();
}

void ShellFixture::processEvents()
{
    for (int i = 0; i < 5; ++i)
        QCoreApplication::processEvents();
}

} // namespace zx::test
