// A main window in temporary folders: the program folder with its
// language and sound files, a private runtime folder and a settings file.
// The sound device is a fake, the delays and the message boxes only
// record what they were asked.
#pragma once

#include "app/language_menu.h"
#include "app/main_form.h"
#include "app/startup_sequence.h"
#include "window/control_panel.h"
#include "window/exam_lock.h"
#include "window/file_menu.h"
#include "window/keyboard_navigation.h"
#include "window/messages.h"
#include "window/options_menu.h"
#include "window/page_window.h"
#include "window/read_aloud.h"
#include "window/report_area.h"
#include "tests/support/fake_sound_backend.h"

#include <QStringList>

class QAction;
class QCheckBox;
class QFrame;
class QPushButton;
class QScrollBar;
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <string>

// Readable QString values in test failures.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

namespace zx::test {

class ShellFixture : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A language file "<name>.zxc" in ExLang with these lines (CR LF added).
    void writeLanguage(const QString& name, const std::string& lines);
    // A sound "<key>.<ext>" in ExSounds with a valid header.
    QString writeSound(const QString& key, const QString& ext = QStringLiteral("wav"));
    void makeSoundFolder();
    // A settings value written before the window reads it.
    void presetSetting(const QString& name, const QString& value);

    TMainForm& makeForm();
    // Shows the window, paints it and runs the start-up sequence.
    void startForm();
    void processEvents();

    QTemporaryDir m_dir;
    QString m_program;
    QString m_runtime;
    QString m_settingsFile;
    std::unique_ptr<TMainForm> m_form;
    FakeSoundBackend* m_sound = nullptr;
    QStringList m_warnings;
    QStringList m_informs;
    QStringList m_questions;
    bool m_answerYes = true;
    int m_exits = 0;
    QList<int> m_delays;
    // Other programs' window titles, as the desktop would list them.
    QStringList m_otherWindows;
    // The hints shown, with how long each stays.
    QList<QPair<QString, int>> m_hints;
};

// Makes an empty file at `path` and gives the path back.
QString touchFile(const QString& path);

// The lines of the standard test language.
std::string englishLines();

// The window's controls, found by their object names as a language file
// finds them: tests act on them as the user does.
QPushButton* panelButton(const QWidget& form, const char* name);
QScrollBar* questionSlider(const QWidget& form);
QCheckBox* autoPlayBox(const QWidget& form);
QFrame* controlPanel(const QWidget& form);
QAction* menuItem(const QWidget& form, const QString& name);

} // namespace zx::test
