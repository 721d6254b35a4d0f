// The audio device behind SoundPlayer: one opened file at a time.  The
// real one plays through Qt Multimedia; tests use FakeSoundBackend.
#pragma once

#include <QString>

namespace zx {

// Modes a device reports; None also stands for "the query failed".
enum class SoundMode { None = 0, Stopped = 525, Playing = 526, Open = 530 };

class SoundBackend {
public:
    virtual ~SoundBackend() = default;

    // Each operation returns true on success, otherwise false with a
    // readable reason in `error`.
    virtual bool open(const QString& path, const QString& alias, QString& error) = 0;
    virtual bool close(QString& error) = 0;
    virtual bool play(QString& error) = 0; // from the current position, without waiting
    virtual bool stop(QString& error) = 0;
    virtual bool seekToStart(QString& error) = 0;
    // The mode of the open device; None when nothing is open or it failed.
    virtual SoundMode mode() const = 0;
};

} // namespace zx
