#include "window/messages.h"

#include "app/core/message_keys.h"
#include "media/sound_player.h"
#include "objects/qt_text.h"
#include "tagtext/stored_file.h"
#include "window/message_form.h"

#include <QApplication>
#include <QEvent>
#include <QFileInfo>

namespace zx {

Messages::Messages(QWidget* mainWindow, QString soundFolder, std::unique_ptr<SoundBackend> device,
                   std::function<bool()> audioMessagesOn)
    : QObject(mainWindow)
    , m_mainWindow(mainWindow)
    , m_soundFolder(std::move(soundFolder))
    , m_sound(std::make_unique<SoundPlayer>(std::move(device), false))
    , m_audioMessagesOn(std::move(audioMessagesOn))
    , m_messageForm(new TMessageForm(mainWindow))
    , m_prompts(UserPrompts::messageBoxes(mainWindow))
{
    qApp->installEventFilter(this);
}

Messages::~Messages()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QString Messages::message(int number) const { return widgetText(m_texts.message(number)); }

void Messages::announceMessage(int number) { announceMessage(QString::fromStdString(messageKey(number))); }

void Messages::announceMessage(const QString& key)
{
    m_currentKey = key;
    if (m_audioMessagesOn && m_audioMessagesOn())
        playMessageAudio(key);
}

void Messages::playMessageAudio(const QString& key)
{
    if (!isPlainSoundKey(key.toStdString()))
        return;
    const QString base = m_soundFolder + QLatin1Char('/') + key;
    QString file;
    if (QFileInfo(base + QStringLiteral(".mp3")).isFile())
        file = base + QStringLiteral(".mp3");
    else if (QFileInfo(base + QStringLiteral(".wav")).isFile())
        file = base + QStringLiteral(".wav");
    else
        return;
    if (mediaHeaderMatches(localPath(file)))
        playAudioFile(file);
}

void Messages::playAudioFile(const QString& path)
{
    if (path == QLatin1String("0")) {
        m_sound->stop();
        return;
    }
    m_sound->open(path);
    m_sound->play();
}

void Messages::tellMeAudio() { playMessageAudio(m_currentKey); }

void Messages::hintChanged(const QString& hint)
{
    const std::string key = hintMessageKey(m_texts.hints, qStringToCp1252(hint));
    if (!key.empty())
        m_currentKey = QString::fromStdString(key);
}

void Messages::showMessageWindow(const QString& caption, const QString& text)
{
    m_messageForm->showMessage(caption, text);
}

bool Messages::eventFilter(QObject* watched, QEvent* event)
{
    // The message window is shown without the focus, so a click into the
    // main window does not deactivate it: the click hides it.
    if (event->type() == QEvent::MouseButtonPress && m_messageForm->isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget && widget->window() == m_mainWindow)
            m_messageForm->hide();
    }
    return QObject::eventFilter(watched, event);
}

} // namespace zx
