// Messages: the numbered interface texts, the message spoken with Audio
// Messages on (and the current one, for Tell Me), the message window and
// the message boxes of the player.
#pragma once

#include "app/core/language_file.h"
#include "window/user_prompts.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

class QWidget;

namespace zx {

class SoundBackend;
class SoundPlayer;
class TMessageForm;

class Messages : public QObject {
    Q_OBJECT
public:
    // The message window is owned by `mainWindow` and a click into that
    // window hides it.  Sounds "<key>.mp3" or "<key>.wav" come from
    // `soundFolder`; `audioMessagesOn` tells whether to speak.  A null
    // `device` gives the Qt Multimedia one.
    Messages(QWidget* mainWindow, QString soundFolder, std::unique_ptr<SoundBackend> device,
             std::function<bool()> audioMessagesOn);
    ~Messages() override;

    // ---- numbered texts
    QString message(int number) const;
    const LanguageTexts& texts() const { return m_texts; }
    // The texts a language file is loaded into.
    LanguageTexts& textsToLoad() { return m_texts; }

    // ---- spoken messages
    QString currentMessageKey() const { return m_currentKey; }
    // Makes message `number` (key "x" + number) the current one and speaks
    // it when Audio Messages is on.
    void announceMessage(int number);
    void announceMessage(const QString& key);
    // Plays "<key>.mp3" or "<key>.wav" of the sound folder when its header
    // is a sound's.
    void playMessageAudio(const QString& key);
    // Plays a file; "0" stops what plays.
    void playAudioFile(const QString& path);
    // Help/Tell Me: the current message spoken again.
    void tellMeAudio();
    // The application's hint changed (pointer over a control or menu item):
    // a hint the language file names becomes the current message.
    void hintChanged(const QString& hint);
    SoundPlayer& soundPlayer() { return *m_sound; }
    const QString& soundFolder() const { return m_soundFolder; }

    // ---- the message window and the boxes
    void showMessageWindow(const QString& caption, const QString& text);
    TMessageForm* messageForm() const { return m_messageForm; }
    UserPrompts& prompts() { return m_prompts; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QWidget* m_mainWindow;
    QString m_soundFolder;
    std::unique_ptr<SoundPlayer> m_sound;
    std::function<bool()> m_audioMessagesOn;
    LanguageTexts m_texts;
    QString m_currentKey;
    TMessageForm* m_messageForm;
    UserPrompts m_prompts;
};

} // namespace zx
