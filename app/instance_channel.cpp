#include "app/instance_channel.h"

#include <QDeadlineTimer>
#include <QFile>
#include <QLocalServer>
#include <QLocalSocket>
#include <QLockFile>
#include <QPointer>
#include <QSaveFile>
#include <QThread>

#include <sys/stat.h>

namespace zx {

const char* const InstanceChannel::alreadyRunningMessage = "zxExamAlreadyRunning";

InstanceChannel::InstanceChannel(const QString& runtimeFolder, QObject* parent)
    : QObject(parent)
    , m_folder(runtimeFolder)
{
}

InstanceChannel::~InstanceChannel()
{
    if (m_server)
        m_server->close();
}

QString InstanceChannel::handoffPath() const
{
    return m_folder + QLatin1Char('/') + QString::fromLatin1(handoffFileName.data(), int(handoffFileName.size()));
}

QString InstanceChannel::socketPath() const
{
    return m_folder + QStringLiteral("/instance.sock");
}

bool InstanceChannel::tryBecomeFirst()
{
    m_lock = std::make_unique<QLockFile>(m_folder + QStringLiteral("/instance.lock"));
    m_lock->setStaleLockTime(0); // a lock of a process that is gone is taken over
    return m_lock->tryLock(0);
}

bool InstanceChannel::listen()
{
    if (!m_server) {
        m_server = new QLocalServer(this);
        m_server->setSocketOptions(QLocalServer::UserAccessOption);
        connect(m_server, &QLocalServer::newConnection, this, &InstanceChannel::acceptConnections);
    }
    QLocalServer::removeServer(socketPath());
    return m_server->listen(socketPath());
}

void InstanceChannel::acceptConnections()
{
    while (QLocalSocket* socket = m_server->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) {
                if (socket->bytesAvailable() > 256)
                    socket->abort();
                return;
            }
            const QByteArray line = socket->readLine(256).trimmed();
            if (line == alreadyRunningMessage) {
                QPointer<QLocalSocket> guard(socket);
                emit alreadyRunning();
                if (guard) {
                    guard->write("handled\n");
                    guard->flush();
                    guard->disconnectFromServer();
                }
            } else {
                socket->abort();
            }
        });
    }
}

bool InstanceChannel::notifyFirst(const std::vector<std::string>& args, int timeoutMs, int extraTimePercent)
{
    if (needsHandoffFile(args)) {
        // Written whole before the message is sent, so the first instance
        // always reads a complete file.
        QSaveFile file(handoffPath());
        const std::string content = handoffContent(args[0], args[1], extraTimePercent);
        if (file.open(QIODevice::WriteOnly)) {
            file.write(content.data(), qint64(content.size()));
            file.commit();
        }
    }
    QDeadlineTimer deadline(timeoutMs);
    QLocalSocket socket;
    // The first instance may still be starting: try again until the deadline.
    for (;;) {
        socket.connectToServer(socketPath());
        if (socket.waitForConnected(int(std::max<qint64>(1, deadline.remainingTime()))))
            break;
        if (deadline.hasExpired())
            return false;
        QThread::msleep(50);
    }
    socket.write(alreadyRunningMessage);
    socket.write("\n");
    if (!socket.waitForBytesWritten(int(std::max<qint64>(1, deadline.remainingTime()))))
        return false;
    while (!socket.canReadLine()) {
        if (deadline.hasExpired() || !socket.waitForReadyRead(int(std::max<qint64>(1, deadline.remainingTime()))))
            return false;
    }
    return socket.readLine().trimmed() == "handled";
}

std::optional<Handoff> InstanceChannel::takeHandoff()
{
    const QString path = handoffPath();
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0)
        return std::nullopt;
    if (!S_ISREG(st.st_mode) || st.st_size < 0 || std::size_t(st.st_size) > handoffFileLimit) {
        QFile::remove(path);
        return std::nullopt;
    }
    QFile file(path);
    std::optional<Handoff> out;
    if (file.open(QIODevice::ReadOnly)) {
        const QByteArray content = file.read(qint64(handoffFileLimit));
        out = parseHandoff(std::string_view(content.constData(), std::size_t(content.size())));
    }
    file.close();
    QFile::remove(path);
    return out;
}

} // namespace zx
