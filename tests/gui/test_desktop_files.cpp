// The desktop entry and file types the player installs.
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

TEST(DesktopFiles, EntryValidatesAndOpensFilesThroughTheVerb)
{
    QFile in(QStringLiteral(ZX_SOURCE_DIR "/app/desktop/zxexam.desktop.in"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray entry = in.readAll();
    EXPECT_TRUE(entry.contains("Exec=@ZXEXAM@ openShellCall %f\n"));
    EXPECT_TRUE(entry.contains("MimeType=application/x-zxexam-bank;application/x-zxexam-results;\n"));
    if (QStandardPaths::findExecutable(QStringLiteral("desktop-file-validate")).isEmpty())
        GTEST_SKIP() << "desktop-file-validate is not installed";
    QTemporaryDir dir;
    const QString path = dir.path() + QStringLiteral("/zxexam.desktop");
    QFile out(path);
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(entry.replace("@ZXEXAM@", "\"/opt/exam player/zxexam\""));
    out.close();
    QProcess validate;
    validate.start(QStringLiteral("desktop-file-validate"), {path});
    ASSERT_TRUE(validate.waitForFinished(30000));
    EXPECT_EQ(validate.exitCode(), 0) << validate.readAllStandardOutput().toStdString();
}
