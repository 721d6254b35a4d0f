#include "media/media_video_player.h"

#include <QAudioOutput>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QMediaPlayer>
#include <QSlider>
#include <QStyle>
#include <QToolButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QVideoWidget>

#include <algorithm>
#include <climits>

namespace zx {

namespace {
constexpr int barHeight = 24;
}

MediaVideoPlayer::MediaVideoPlayer()
    : m_guard(std::make_unique<QObject>())
{
}

MediaVideoPlayer::~MediaVideoPlayer()
{
    // Queued failure reports die with the guard.
    m_guard.reset();
    if (m_player) {
        m_player->stop();
        m_player->setVideoOutput(nullptr);
        m_player.reset();
    }
    m_output.reset();
    delete m_window.data();
}

QWidget* MediaVideoPlayer::widget(QWidget* parent)
{
    if (m_window) {
        if (m_window->parentWidget() != parent)
            m_window->setParent(parent);
        return m_window.data();
    }
    m_window = new QWidget(parent);
    m_window->setObjectName(QStringLiteral("videoWindow"));
    auto* layout = new QVBoxLayout(m_window);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    m_video = new QVideoWidget(m_window);
    layout->addWidget(m_video, 1);

    m_bar = new QWidget(m_window);
    m_bar->setFixedHeight(barHeight);
    auto* barLayout = new QHBoxLayout(m_bar);
    barLayout->setContentsMargins(2, 0, 2, 0);
    m_playButton = new QToolButton(m_bar);
    m_playButton->setObjectName(QStringLiteral("videoPlayButton"));
    m_playButton->setAutoRaise(true);
    m_position = new QSlider(Qt::Horizontal, m_bar);
    m_position->setObjectName(QStringLiteral("videoPosition"));
    m_position->setRange(0, 0);
    barLayout->addWidget(m_playButton);
    barLayout->addWidget(m_position, 1);
    layout->addWidget(m_bar);
    m_bar->setVisible(m_controls);

    QObject::connect(m_playButton, &QToolButton::clicked, m_guard.get(), [this] {
        if (!m_player)
            return;
        if (m_player->playbackState() == QMediaPlayer::PlayingState) {
            m_player->pause();
        } else {
            if (m_player->mediaStatus() == QMediaPlayer::EndOfMedia)
                m_player->setPosition(0);
            m_player->play();
        }
    });
    QObject::connect(m_position, &QSlider::sliderMoved, m_guard.get(), [this](int value) {
        if (m_player)
            m_player->setPosition(value);
    });
    if (m_player)
        m_player->setVideoOutput(m_video.data());
    updateControls();
    return m_window.data();
}

void MediaVideoPlayer::makePlayer()
{
    if (m_player)
        return;
    m_output = std::make_unique<QAudioOutput>();
    m_player = std::make_unique<QMediaPlayer>();
    m_player->setAudioOutput(m_output.get());
    if (m_video)
        m_player->setVideoOutput(m_video.data());

    QObject::connect(m_player.get(), &QMediaPlayer::errorOccurred, m_guard.get(),
                     [this](QMediaPlayer::Error error, const QString&) {
                         if (error != QMediaPlayer::NoError)
                             reportFailure();
                     });
    QObject::connect(m_player.get(), &QMediaPlayer::mediaStatusChanged, m_guard.get(),
                     [this](QMediaPlayer::MediaStatus status) {
                         if (status == QMediaPlayer::InvalidMedia)
                             reportFailure();
                     });
    QObject::connect(m_player.get(), &QMediaPlayer::playbackStateChanged, m_guard.get(),
                     [this] { updateControls(); });
    QObject::connect(m_player.get(), &QMediaPlayer::durationChanged, m_guard.get(), [this](qint64 duration) {
        if (m_position)
            m_position->setRange(0, static_cast<int>(std::min<qint64>(duration, INT_MAX)));
    });
    QObject::connect(m_player.get(), &QMediaPlayer::positionChanged, m_guard.get(), [this](qint64 position) {
        if (m_position && !m_position->isSliderDown())
            m_position->setValue(static_cast<int>(std::min<qint64>(position, INT_MAX)));
    });
}

bool MediaVideoPlayer::open(const QString& path)
{
    const QFileInfo info(path);
    if (!info.isFile() || !info.isReadable())
        return false;
    makePlayer();
    m_failed = false;
    m_player->setSource(QUrl::fromLocalFile(info.absoluteFilePath()));
    if (m_player->error() != QMediaPlayer::NoError || m_player->mediaStatus() == QMediaPlayer::InvalidMedia) {
        m_player->setSource(QUrl());
        m_failed = true;
        return false;
    }
    return true;
}

void MediaVideoPlayer::reportFailure()
{
    if (m_failed)
        return;
    m_failed = true;
    // Told from the event loop, never from inside the media player's own
    // signal, because the handler may destroy this player.
    QMetaObject::invokeMethod(
        m_guard.get(),
        [this] {
            // A copy: the handler may destroy this player.
            const std::function<void()> handler = m_onFailure;
            if (handler)
                handler();
        },
        Qt::QueuedConnection);
}

void MediaVideoPlayer::seekToStart()
{
    if (m_player)
        m_player->setPosition(0);
}

void MediaVideoPlayer::play()
{
    if (m_player && !m_failed)
        m_player->play();
}

void MediaVideoPlayer::stop()
{
    if (m_player)
        m_player->stop();
}

void MediaVideoPlayer::showControls(bool on)
{
    m_controls = on;
    if (m_bar)
        m_bar->setVisible(on);
}

void MediaVideoPlayer::updateControls()
{
    if (!m_playButton)
        return;
    const bool playing = m_player && m_player->playbackState() == QMediaPlayer::PlayingState;
    m_playButton->setIcon(m_playButton->style()->standardIcon(playing ? QStyle::SP_MediaPause
                                                                       : QStyle::SP_MediaPlay));
}

} // namespace zx
