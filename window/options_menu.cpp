#include "window/options_menu.h"

#include "app/core/keyboard_map.h"
#include "window/settings_store.h"

#include <QAction>
#include <QMenu>

namespace zx {

OptionsMenu::OptionsMenu(QMenu* menu, SettingsStore& settings, std::function<void()> stopAudio)
    : QObject(menu)
    , m_settings(settings)
    , m_stopAudio(std::move(stopAudio))
{
    auto addItem = [menu](const char* name, const QString& caption) {
        QAction* item = menu->addAction(caption);
        item->setObjectName(QString::fromLatin1(name));
        return item;
    };
    m_subtitles = addItem("Subtitles", QStringLiteral("Subtitles"));
    m_subtitles->setCheckable(true);
    connect(m_subtitles, &QAction::triggered, this, [this](bool checked) {
        m_settings.writeBoolean(QStringLiteral("Subtitles"), checked);
        emit SubtitlesClick();
    });
    m_audioMessages = addItem("AudioMessages", QStringLiteral("Audio Messages"));
    m_audioMessages->setCheckable(true);
    connect(m_audioMessages, &QAction::triggered, this, [this](bool checked) {
        // Turning the messages off also silences whatever plays now.
        if (!checked && m_stopAudio)
            m_stopAudio();
        m_settings.writeBoolean(QStringLiteral("AudioMessages"), checked);
    });
    // Reading aloud stays with the candidate in an exam too.
    m_readAloud = addItem("ReadAloud", QStringLiteral("Read Page Aloud"));
    m_readAloud->setShortcut(QKeySequence::fromString(QString::fromStdString(keyBinding(KeyCommand::ReadAloud).keys.front()),
                                                      QKeySequence::PortableText));
    m_readAloud->setShortcutContext(Qt::ApplicationShortcut);
}

bool OptionsMenu::subtitlesOn() const { return m_subtitles->isChecked(); }

bool OptionsMenu::audioMessagesOn() const { return m_audioMessages->isChecked(); }

void OptionsMenu::readSettings()
{
    m_subtitles->setChecked(m_settings.readBoolean(QStringLiteral("Subtitles"), false));
    m_audioMessages->setChecked(m_settings.readBoolean(QStringLiteral("AudioMessages"), false));
}

void OptionsMenu::disableAudioMessages() { m_audioMessages->setEnabled(false); }

} // namespace zx
