// One player per user: later starts of the real program hand their
// command line over and end.
#include "app/instance_channel.h"
#include "app/working_folder.h"

#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QProcess>
#include <QSignalSpy>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace zx;

namespace {

class InstanceTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        m_runtimeBase = m_dir.path() + QStringLiteral("/run");
        ASSERT_TRUE(QDir().mkpath(m_runtimeBase));
        QFile::setPermissions(m_runtimeBase, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
        m_runtime = WorkingFolder::ensurePrivateFolder(m_runtimeBase + QStringLiteral("/zxexam"));
        ASSERT_FALSE(m_runtime.isEmpty());
    }

    // The program with its settings and runtime folders in the test's
    // temporary folder.
    void prepare(QProcess& process) const
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("XDG_RUNTIME_DIR"), m_runtimeBase);
        env.insert(QStringLiteral("XDG_CONFIG_HOME"), m_dir.path() + QStringLiteral("/config"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(ZX_ZXEXAM_PATH));
    }

    // Runs a later start to its end while this process keeps answering.
    int runSecond(const QStringList& args) const
    {
        QProcess second;
        prepare(second);
        second.setArguments(args);
        QSignalSpy finished(&second, &QProcess::finished);
        second.start();
        if (!finished.wait(20000)) {
            second.kill();
            second.waitForFinished();
            return -1;
        }
        return second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -2;
    }

    QTemporaryDir m_dir;
    QString m_runtimeBase;
    QString m_runtime;
};

} // namespace

TEST_F(InstanceTest, LaterStartHandsOverItsParametersByteForByte)
{
    InstanceChannel first(m_runtime);
    ASSERT_TRUE(first.tryBecomeFirst());
    ASSERT_TRUE(first.listen());
    QByteArrayList seen;
    QObject::connect(&first, &InstanceChannel::alreadyRunning, [&] {
        QFile file(first.handoffPath());
        seen << (file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("<none>"));
        first.takeHandoff();
    });

    const QString bank = QStringLiteral("/home/u/My Banks/Alg\u00e8bre.zxb");
    EXPECT_EQ(runSecond({QStringLiteral("openShellCall"), bank}), 0);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], QByteArray("<p1>openShellCall</p1><p2>") + bank.toUtf8() + QByteArray("</p2>"));
    EXPECT_FALSE(QFile::exists(first.handoffPath()));

    // Without parameters the first instance is only called to the front.
    EXPECT_EQ(runSecond({}), 0);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[1], QByteArray("<none>"));
    // One parameter is not enough for a hand-off either.
    EXPECT_EQ(runSecond({QStringLiteral("openShellCall")}), 0);
    ASSERT_EQ(seen.size(), 3);
    EXPECT_EQ(seen[2], QByteArray("<none>"));
}

TEST_F(InstanceTest, TwoProgramsHandOverAndTheFirstTakesTheFile)
{
    if (QDir(QStringLiteral(ZX_BINARY_DIR "/ExLang")).entryList({QStringLiteral("*.zxc")}).isEmpty())
        GTEST_SKIP() << "no language files beside the program";

    QProcess first;
    prepare(first);
    QFileSystemWatcher watcher({m_runtime});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
    first.start();
    ASSERT_TRUE(first.waitForStarted());
    const QString socket = m_runtime + QStringLiteral("/instance.sock");
    for (int round = 0; round < 20 && !QFile::exists(socket); ++round)
        changed.wait(1000);
    ASSERT_TRUE(QFile::exists(socket));

    const QString results = m_dir.path() + QStringLiteral("/old.zxr");
    EXPECT_EQ(runSecond({QStringLiteral("openShellCall"), results}), 0);
    // The first one read and deleted the file before it answered.
    EXPECT_FALSE(QFile::exists(m_runtime + QStringLiteral("/filespec.pab")));
    EXPECT_EQ(first.state(), QProcess::Running);

    first.kill();
    first.waitForFinished(10000);
}
