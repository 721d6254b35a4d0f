// The program's sound player.  It holds one open sound at a time: opening
// a new one always closes the one before, so starting any sound stops the
// previous sound.  The main window's player keeps errors silent.
#pragma once

#include "media/sound_backend.h"

#include <QString>

#include <functional>
#include <memory>

namespace zx {

// The state query: Open holds in the modes open, playing and stopped;
// Playing in playing and stopped; Stopped in stopped only.
enum class SoundQuery { Open, Playing, Stopped };

class SoundPlayer {
public:
    // A null backend gives the Qt Multimedia player.
    explicit SoundPlayer(std::unique_ptr<SoundBackend> backend = nullptr, bool showErrors = false);
    ~SoundPlayer();
    SoundPlayer(const SoundPlayer&) = delete;
    SoundPlayer& operator=(const SoundPlayer&) = delete;

    // Closes the current sound, then opens the file under a fresh alias.
    void open(const QString& path);
    // If a sound is open: stop it when playing, seek to the start, play
    // to the end without waiting.
    void play();
    // Stops a playing sound.
    void stop();
    // Closes the open sound; the state query then fails until the next
    // successful open.
    void close();

    bool query(SoundQuery kind) const;
    SoundMode mode() const;
    bool isPlaying() const { return query(SoundQuery::Playing) && !query(SoundQuery::Stopped); }
    bool hasOpenSound() const { return m_open; }
    // Number of successful opens so far (0 = nothing was ever opened).
    unsigned deviceId() const { return m_deviceId; }

    bool showErrors() const { return m_showErrors; }
    // Where errors go when showErrors is on; by default a message box
    // captioned "MCI Error".
    void setErrorSink(std::function<void(const QString&)> sink) { m_errorSink = std::move(sink); }

    SoundBackend& backend() { return *m_backend; }

private:
    bool check(bool ok, const QString& error);

    std::unique_ptr<SoundBackend> m_backend;
    bool m_showErrors = false;
    unsigned m_deviceId = 0;
    bool m_open = false;
    std::function<void(const QString&)> m_errorSink;
};

} // namespace zx
