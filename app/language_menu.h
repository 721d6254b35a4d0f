// The interface language: the language files in "ExLang" beside the
// program, the Language menu that chooses among them (the choice kept in
// the settings), and loading the chosen file into the messages and the
// program's windows.
#pragma once

#include "app/core/language_choice.h"
#include "app/language_applier.h"

#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <vector>

class QMenu;

namespace zx {

class Messages;
class SettingsStore;

class LanguageMenu : public QObject {
    Q_OBJECT
public:
    // `windows` are reached by the files' form-text lines (the bank's
    // dialogs are added by setBankDialogs).  `giveUp` ends the program
    // after the missing-language warning.
    LanguageMenu(QMenu* menu, const QString& programFolder, SettingsStore& settings, Messages& messages,
                 LanguageWindows windows, std::function<void()> giveUp);

    // Finds the language files, decides the language, builds the menu and
    // loads it.  False when there is none (warned; the program ends).
    bool chooseLanguage();
    void languageChosen(const QString& name);
    void loadLanguage();
    QString currentLanguage() const { return m_current; }
    // The bank's password and details dialogs, reached after the main and
    // help windows.
    void setBankDialogs(QWidget* userDetails, QWidget* password);

signals:
    // A language file was loaded into the messages and the windows.
    void languageLoaded();

private:
    QString folder() const;

    QMenu* m_menu;
    QString m_programFolder;
    SettingsStore& m_settings;
    Messages& m_messages;
    LanguageWindows m_windows;
    QPointer<QWidget> m_userDetails;
    QPointer<QWidget> m_password;
    std::function<void()> m_giveUp;
    std::vector<LanguageFileEntry> m_files;
    QString m_current;
};

} // namespace zx
