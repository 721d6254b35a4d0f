// A sound device that only records what it is asked to do, for tests and
// for runs without audio.  Playing lasts until stop() or finish().
#pragma once

#include "media/sound_backend.h"

#include <QSet>
#include <QString>
#include <QStringList>

namespace zx {

class FakeSoundBackend : public SoundBackend {
public:
    bool open(const QString& path, const QString& alias, QString& error) override;
    bool close(QString& error) override;
    bool play(QString& error) override;
    bool stop(QString& error) override;
    bool seekToStart(QString& error) override;
    SoundMode mode() const override;

    // Opens of these paths fail.
    void failOpenOf(const QString& path) { m_failing.insert(path); }
    // The sound played to its end.
    void finish() { m_playing = false; }

    // "open <path>", "close", "play", "stop", "seek" in call order.
    const QStringList& calls() const { return m_calls; }
    QString openPath() const { return m_open ? m_path : QString(); }
    QString lastAlias() const { return m_alias; }
    // Most sounds ever open at the same time.
    int mostOpenAtOnce() const { return m_mostOpen; }
    // The path that was playing most recently (empty when none).
    QString playingPath() const { return m_playing ? m_path : QString(); }
    void clearCalls() { m_calls.clear(); }

private:
    QSet<QString> m_failing;
    QStringList m_calls;
    QString m_path;
    QString m_alias;
    bool m_open = false;
    bool m_playing = false;
    int m_openCount = 0;
    int m_mostOpen = 0;
};

} // namespace zx
