// The Options menu: Subtitles and Audio Messages, kept in the settings, and
// Read Page Aloud.
#pragma once

#include <QObject>

#include <functional>

class QAction;
class QMenu;

namespace zx {

class SettingsStore;

class OptionsMenu : public QObject {
    Q_OBJECT
public:
    // Fills `menu`; the two options are kept in `settings`.  `stopAudio` is
    // called when Audio Messages is turned off.
    OptionsMenu(QMenu* menu, SettingsStore& settings, std::function<void()> stopAudio);

    bool subtitlesOn() const;
    bool audioMessagesOn() const;
    // Reads both options from the settings.
    void readSettings();
    // Without a sound folder Audio Messages cannot be chosen.
    void disableAudioMessages();
    QAction* readAloudItem() const { return m_readAloud; }

signals:
    // Subtitles was turned on or off.
    void SubtitlesClick();

private:
    SettingsStore& m_settings;
    std::function<void()> m_stopAudio;
    QAction* m_subtitles = nullptr;
    QAction* m_audioMessages = nullptr;
    QAction* m_readAloud = nullptr;
};

} // namespace zx
