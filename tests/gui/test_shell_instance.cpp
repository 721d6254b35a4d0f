// One player per user: later starts of the real program hand their
// command line over and end.
#include "app/instance_channel.h"
#include "window/working_folder.h"
#include "objects/qt_text.h"
#include "results/core/results_file.h"
#include "results/core/rtf_writer.h"
#include "tagtext/stored_file.h"

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
        env.insert(QStringLiteral("XDG_STATE_HOME"), m_dir.path() + QStringLiteral("/state"));
        env.insert(QStringLiteral("XDG_DATA_HOME"), m_dir.path() + QStringLiteral("/data"));
        env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        env.remove(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"));
        if (!m_printTo.isEmpty())
            env.insert(QStringLiteral("ZXEXAM_PRINT_PDF"), m_printTo);
        process.setProcessEnvironment(env);
        process.setProgram(QStringLiteral(ZX_ZXEXAM_PATH));
        if (!m_startIn.isEmpty())
            process.setWorkingDirectory(m_startIn);
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

    // A results file whose detailed report reads `line`.
    QString resultsFile(const QString& name, const std::string& line) const
    {
        ReportDocument report;
        report.paragraphs.push_back({Alignment::Centre, {{line, {}}}, {}});
        ResultsFileContent content;
        content.detailedRtf = writeRtf(report);
        content.testSettings = "<showResults>1</showResults><allowPrinting>1</allowPrinting>";
        const QString path = m_dir.path() + QLatin1Char('/') + name;
        EXPECT_TRUE(writeStoredFile(buildResultsContent(content), localPath(path)));
        return path;
    }
    static QString pdfText(const QString& pdf)
    {
        QProcess extract;
        extract.start(QStringLiteral("pdftotext"), {pdf, QStringLiteral("-")});
        extract.waitForFinished(30000);
        return QString::fromUtf8(extract.readAllStandardOutput());
    }
    static bool haveLanguageFiles()
    {
        return !QDir(QStringLiteral(ZX_BINARY_DIR "/ExLang")).entryList({QStringLiteral("*.zxc")}).isEmpty();
    }
    // Starts the first player and waits until it answers later starts.
    void startFirst(QProcess& first, const QStringList& args = {})
    {
        prepare(first);
        first.setArguments(args);
        QFileSystemWatcher watcher({m_runtime});
        QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
        first.start();
        ASSERT_TRUE(first.waitForStarted());
        const QString socket = m_runtime + QStringLiteral("/instance.sock");
        for (int round = 0; round < 20 && !QFile::exists(socket); ++round)
            changed.wait(1000);
        ASSERT_TRUE(QFile::exists(socket));
    }
    // Waits until `file` appears (the other process writes it).
    static bool appears(const QString& file)
    {
        QFileSystemWatcher watcher({QFileInfo(file).absolutePath()});
        QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
        for (int round = 0; round < 30 && !QFileInfo(file).size(); ++round)
            changed.wait(1000);
        return QFileInfo(file).size() > 0;
    }

    QTemporaryDir m_dir;
    QString m_runtimeBase;
    QString m_runtime;
    QString m_printTo;
    QString m_startIn; // the current folder of the programs started
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

    // A relative path is handed over as seen from the later start's folder.
    ASSERT_TRUE(QDir().mkpath(m_dir.path() + QStringLiteral("/elsewhere")));
    const QString elsewhere = QDir(m_dir.path() + QStringLiteral("/elsewhere")).canonicalPath();
    m_startIn = elsewhere;
    EXPECT_EQ(runSecond({QStringLiteral("openShellCall"), QStringLiteral("banks/sample.zxb")}), 0);
    m_startIn.clear();
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[1], "<p1>openShellCall</p1><p2>" + elsewhere.toUtf8() + "/banks/sample.zxb</p2>");
    seen.clear();

    // Without parameters the first instance is only called to the front.
    EXPECT_EQ(runSecond({}), 0);
    ASSERT_EQ(seen.size(), 1);
    EXPECT_EQ(seen[0], QByteArray("<none>"));
    // One parameter is not enough for a hand-off either.
    EXPECT_EQ(runSecond({QStringLiteral("openShellCall")}), 0);
    ASSERT_EQ(seen.size(), 2);
    EXPECT_EQ(seen[1], QByteArray("<none>"));
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

TEST_F(InstanceTest, PrintVerbAtStartPrintsAndEnds)
{
    if (!haveLanguageFiles())
        GTEST_SKIP() << "no language files beside the program";
    m_printTo = m_dir.path() + QStringLiteral("/start.pdf");
    const QString results = resultsFile(QStringLiteral("ann.zxr"), "Results of Ann");
    QProcess first;
    prepare(first);
    first.setArguments({QStringLiteral("printShellCall"), results});
    first.start();
    ASSERT_TRUE(first.waitForFinished(30000));
    EXPECT_EQ(first.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(pdfText(m_printTo).contains(QStringLiteral("Results of Ann")));
}

TEST_F(InstanceTest, HandedOverResultsAreOpenedOrPrintedAndTheWindowStays)
{
    if (!haveLanguageFiles())
        GTEST_SKIP() << "no language files beside the program";
    m_printTo = m_dir.path() + QStringLiteral("/handed.pdf");
    QProcess first;
    startFirst(first);

    const QString bob = resultsFile(QStringLiteral("bob.zxr"), "Results of Bob");
    EXPECT_EQ(runSecond({QStringLiteral("printShellCall"), bob}), 0);
    ASSERT_TRUE(appears(m_printTo));
    EXPECT_TRUE(pdfText(m_printTo).contains(QStringLiteral("Results of Bob")));
    EXPECT_EQ(first.state(), QProcess::Running);

    // Opened results join the recent list the settings keep.
    const QString cid = resultsFile(QStringLiteral("cid.zxr"), "Results of Cid");
    EXPECT_EQ(runSecond({QStringLiteral("openShellCall"), cid}), 0);
    const QString ini = m_dir.path() + QStringLiteral("/config/OrvelTallyworksEx/zxexam.ini");
    QFileSystemWatcher watcher({m_dir.path() + QStringLiteral("/config/OrvelTallyworksEx")});
    QSignalSpy changed(&watcher, &QFileSystemWatcher::directoryChanged);
    bool listed = false;
    for (int round = 0; round < 20 && !listed; ++round) {
        QFile settings(ini);
        listed = settings.open(QIODevice::ReadOnly) && settings.readAll().contains("cid.zxr");
        if (!listed)
            changed.wait(1000);
    }
    EXPECT_TRUE(listed);
    EXPECT_EQ(first.state(), QProcess::Running);
    first.kill();
    first.waitForFinished(10000);
}
