#include "tests/support/fake_video_player.h"

namespace zx {

FakeVideoPlayer::FakeVideoPlayer(std::shared_ptr<FakeVideoLog> log)
    : m_log(log ? std::move(log) : std::make_shared<FakeVideoLog>())
{
    ++m_log->made;
    ++m_log->alive;
    m_log->current = this;
}

FakeVideoPlayer::~FakeVideoPlayer()
{
    m_log->calls << QStringLiteral("close");
    --m_log->alive;
    if (m_log->current == this)
        m_log->current = nullptr;
    delete m_window.data();
}

std::function<std::unique_ptr<VideoPlayer>()> FakeVideoPlayer::factory(std::shared_ptr<FakeVideoLog> log)
{
    return [log] { return std::make_unique<FakeVideoPlayer>(log); };
}

QWidget* FakeVideoPlayer::widget(QWidget* parent)
{
    if (!m_window) {
        m_log->calls << QStringLiteral("widget");
        m_window = new QWidget(parent);
        m_window->setObjectName(QStringLiteral("fakeVideoWindow"));
    } else if (m_window->parentWidget() != parent) {
        m_window->setParent(parent);
    }
    return m_window.data();
}

bool FakeVideoPlayer::open(const QString& path)
{
    m_log->calls << QStringLiteral("open ") + path;
    return !m_log->failingOpens.contains(path);
}

void FakeVideoPlayer::seekToStart() { m_log->calls << QStringLiteral("seek"); }

void FakeVideoPlayer::play()
{
    m_log->calls << QStringLiteral("play");
    m_playing = true;
}

void FakeVideoPlayer::stop()
{
    m_log->calls << QStringLiteral("stop");
    m_playing = false;
}

void FakeVideoPlayer::showControls(bool on)
{
    m_log->calls << (on ? QStringLiteral("controls on") : QStringLiteral("controls off"));
    m_controls = on;
}

void FakeVideoPlayer::failLater()
{
    // A copy: the handler may destroy this player.
    const std::function<void()> handler = m_onFailure;
    if (handler)
        handler();
}

} // namespace zx
