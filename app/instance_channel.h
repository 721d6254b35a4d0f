// One player per user.  The first start holds a lock file in the private
// runtime folder and listens on a local socket beside it; a second start
// leaves its command line in the hand-off file "filespec.pab" (only with
// two or more parameters), tells the first one over the socket and waits
// for its answer, then ends.
#pragma once

#include "app/core/handoff_file.h"

#include <QObject>
#include <QString>

#include <memory>
#include <optional>
#include <string>
#include <vector>

class QLocalServer;
class QLockFile;

namespace zx {

class InstanceChannel : public QObject {
    Q_OBJECT
public:
    explicit InstanceChannel(const QString& runtimeFolder, QObject* parent = nullptr);
    ~InstanceChannel() override;

    // Takes the per-user lock; true for the first instance.  Needs no
    // application object.
    bool tryBecomeFirst();
    // First instance: listens for later starts.  Needs the application.
    bool listen();

    // Second instance: writes the hand-off file when args has two or more
    // parameters, then sends the already-running message and waits up to
    // timeoutMs for the first instance to take it.  True when it did.
    // Extra time given on this start goes with the parameters.
    bool notifyFirst(const std::vector<std::string>& args, int timeoutMs = 5000, int extraTimePercent = 0);

    // First instance: reads and deletes the hand-off file.  Nothing when it
    // is missing, not a plain file, or larger than any hand-off can be.
    std::optional<Handoff> takeHandoff();

    QString handoffPath() const;
    QString socketPath() const;

    static const char* const alreadyRunningMessage;

signals:
    // A later start asked the first instance to come to the front.
    void alreadyRunning();

private:
    void acceptConnections();

    QString m_folder;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};

} // namespace zx
