#include "app/language_menu.h"

#include "app/core/language_file.h"
#include "objects/qt_text.h"
#include "window/file_menu.h"
#include "window/messages.h"
#include "window/settings_store.h"

#include <QAction>
#include <QMenu>

namespace zx {

LanguageMenu::LanguageMenu(QMenu* menu, const QString& programFolder, SettingsStore& settings, Messages& messages,
                           LanguageWindows windows, std::function<void()> giveUp)
    : QObject(menu)
    , m_menu(menu)
    , m_programFolder(programFolder)
    , m_settings(settings)
    , m_messages(messages)
    , m_windows(windows)
    , m_giveUp(std::move(giveUp))
    , m_current(pathFromLocal(defaultLanguageName))
{
    m_menu->menuAction()->setVisible(false);
}

QString LanguageMenu::folder() const { return m_programFolder + QStringLiteral("/ExLang"); }

bool LanguageMenu::chooseLanguage()
{
    m_files = listLanguageFiles(localPath(folder()));
    std::optional<std::string> stored;
    if (const auto choice = m_settings.readString(QStringLiteral("langchoice")))
        stored = localPath(*choice);
    const LanguageDecision decision = decideLanguage(m_files, stored);
    if (decision.missing) {
        m_messages.prompts().warn(
            QString::fromUtf8(missingLanguageWarning.data(), static_cast<qsizetype>(missingLanguageWarning.size())));
        if (m_giveUp)
            m_giveUp();
        return false;
    }
    m_current = pathFromLocal(decision.current);
    m_menu->clear();
    m_menu->menuAction()->setVisible(decision.showMenu);
    if (decision.showMenu) {
        for (const LanguageFileEntry& entry : m_files) {
            const QString name = pathFromLocal(entry.name);
            QAction* item = m_menu->addAction(literalCaption(name));
            item->setCheckable(true);
            item->setChecked(name == m_current);
            item->setData(name);
            connect(item, &QAction::triggered, this, [this, name] { languageChosen(name); });
        }
    }
    loadLanguage();
    return true;
}

void LanguageMenu::languageChosen(const QString& name)
{
    m_settings.writeString(QStringLiteral("langchoice"), name);
    for (QAction* item : m_menu->actions())
        item->setChecked(item->data().toString() == name);
    m_current = name;
    loadLanguage();
}

void LanguageMenu::loadLanguage()
{
    const auto path = languageFilePath(localPath(folder()), m_files, localPath(m_current));
    if (!loadLanguageFile(path, m_messages.textsToLoad()))
        return;
    LanguageWindows windows = m_windows;
    windows.userDetails = m_userDetails;
    windows.password = m_password;
    applyLanguage(m_messages.texts(), windows);
    emit languageLoaded();
}

void LanguageMenu::setBankDialogs(QWidget* userDetails, QWidget* password)
{
    m_userDetails = userDetails;
    m_password = password;
}

} // namespace zx
