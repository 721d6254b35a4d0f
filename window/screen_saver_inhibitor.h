// Keeps the desktop's screen saver away while a test is open, through the
// session bus service org.freedesktop.ScreenSaver.  Without a session bus
// or that service nothing happens.
#pragma once

#include <QString>

namespace zx {

class ScreenSaverInhibitor {
public:
    // Without `useBus` only the wish is kept (tests, a desktop without the
    // service).
    explicit ScreenSaverInhibitor(bool useBus = true)
        : m_useBus(useBus)
    {
    }
    ~ScreenSaverInhibitor();
    ScreenSaverInhibitor(const ScreenSaverInhibitor&) = delete;
    ScreenSaverInhibitor& operator=(const ScreenSaverInhibitor&) = delete;

    // Inhibits on the first true, releases on the first false after it.
    void setInhibited(bool inhibited);
    bool wantsInhibit() const { return m_wanted; }
    // True when the desktop accepted the inhibition.
    bool isInhibited() const { return m_cookie != 0; }

private:
    bool m_useBus = true;
    bool m_wanted = false;
    unsigned m_cookie = 0;
};

} // namespace zx
