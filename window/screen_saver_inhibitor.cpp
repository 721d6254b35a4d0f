#include "window/screen_saver_inhibitor.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace zx {

namespace {

const QString service = QStringLiteral("org.freedesktop.ScreenSaver");
const QString objectPath = QStringLiteral("/org/freedesktop/ScreenSaver");

} // namespace

ScreenSaverInhibitor::~ScreenSaverInhibitor()
{
    setInhibited(false);
}

void ScreenSaverInhibitor::setInhibited(bool inhibited)
{
    if (inhibited == m_wanted)
        return;
    m_wanted = inhibited;
    if (!m_useBus)
        return;
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return;
    QDBusInterface screenSaver(service, objectPath, service, bus);
    if (!screenSaver.isValid())
        return;
    screenSaver.setTimeout(2000);
    if (inhibited) {
        const QDBusReply<unsigned> reply =
            screenSaver.call(QStringLiteral("Inhibit"), QStringLiteral("zxexam"), QStringLiteral("A test is open"));
        if (reply.isValid())
            m_cookie = reply.value();
    } else if (m_cookie != 0) {
        screenSaver.call(QStringLiteral("UnInhibit"), m_cookie);
        m_cookie = 0;
    }
}

} // namespace zx
