// The private folders: the working folder is never a foreign folder and
// clearing it never follows a link out of it; the hand-off file is read
// only when it is a plain file.
#include "app/instance_channel.h"
#include "app/shell_paths.h"
#include "window/working_folder.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

using namespace zx;

namespace {

void writeFile(const QString& path, const QByteArray& content = "x")
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(content);
}

mode_t modeOf(const QString& path)
{
    struct stat st {};
    ::lstat(QFile::encodeName(path).constData(), &st);
    return st.st_mode & 0777;
}

} // namespace

TEST(ShellFolders, ClearingRemovesLinksButNotWhatTheyPointAt)
{
    QTemporaryDir dir;
    const QString outside = dir.path() + QStringLiteral("/outside");
    ASSERT_TRUE(QDir().mkpath(outside + QStringLiteral("/deep")));
    writeFile(outside + QStringLiteral("/precious.txt"));
    writeFile(outside + QStringLiteral("/deep/also.txt"));

    WorkingFolder folder(dir.path() + QStringLiteral("/work"));
    EXPECT_EQ(folder.path(), dir.path() + QStringLiteral("/work"));
    EXPECT_EQ(modeOf(folder.path()), 0700u);
    const QString work = folder.path();
    writeFile(work + QStringLiteral("/page.jpg"));
    writeFile(work + QStringLiteral("/.hidden"));
    ASSERT_TRUE(QDir().mkpath(work + QStringLiteral("/sub")));
    writeFile(work + QStringLiteral("/sub/inner.wav"));
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(work + "/linkdir").constData()), 0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside + "/precious.txt").constData(),
                        QFile::encodeName(work + "/linkfile").constData()),
              0);
    ASSERT_EQ(::symlink(QFile::encodeName(outside).constData(), QFile::encodeName(work + "/sub/nested").constData()),
              0);

    folder.clear();
    EXPECT_TRUE(QDir(work).exists());
    EXPECT_TRUE(QDir(work).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(QFile::exists(outside + QStringLiteral("/precious.txt")));
    EXPECT_TRUE(QFile::exists(outside + QStringLiteral("/deep/also.txt")));
}

TEST(ShellFolders, ALinkInPlaceOfTheFolderIsRefused)
{
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/target");
    ASSERT_TRUE(QDir().mkpath(target));
    QFile::setPermissions(target, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    writeFile(target + QStringLiteral("/keep.txt"));
    const QString planted = dir.path() + QStringLiteral("/work");
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(planted).constData()), 0);

    WorkingFolder folder(planted);
    EXPECT_NE(folder.path(), planted);
    EXPECT_TRUE(WorkingFolder::isPrivateFolder(folder.path()));
    folder.clear();
    EXPECT_TRUE(QFile::exists(target + QStringLiteral("/keep.txt")));
}

TEST(ShellFolders, AnOpenFolderIsRefusedAndLeftAlone)
{
    QTemporaryDir dir;
    const QString open = dir.path() + QStringLiteral("/work");
    ASSERT_TRUE(QDir().mkpath(open));
    ::chmod(QFile::encodeName(open).constData(), 0755);
    writeFile(open + QStringLiteral("/someone.txt"));

    WorkingFolder folder(open);
    EXPECT_NE(folder.path(), open);
    EXPECT_EQ(modeOf(open), 0755u);
    EXPECT_TRUE(QFile::exists(open + QStringLiteral("/someone.txt")));
    EXPECT_FALSE(WorkingFolder::isPrivateFolder(open));
}

TEST(ShellFolders, AFolderSwappedForALinkLaterIsNotCleared)
{
    QTemporaryDir dir;
    const QString target = dir.path() + QStringLiteral("/target");
    ASSERT_TRUE(QDir().mkpath(target));
    writeFile(target + QStringLiteral("/keep.txt"));
    const QString work = dir.path() + QStringLiteral("/work");
    WorkingFolder folder(work);
    ASSERT_EQ(folder.path(), work);
    ASSERT_TRUE(QDir(work).removeRecursively());
    ASSERT_EQ(::symlink(QFile::encodeName(target).constData(), QFile::encodeName(work).constData()), 0);

    folder.clear();
    EXPECT_TRUE(QFile::exists(target + QStringLiteral("/keep.txt")));
    EXPECT_NE(folder.path(), work);
    EXPECT_TRUE(WorkingFolder::isPrivateFolder(folder.path()));
}

TEST(ShellFolders, RuntimeFolderIsPrivate)
{
    QTemporaryDir dir;
    const ShellPaths paths = ShellPaths::inFolders(QStringLiteral("/opt/prog"), dir.path(), QStringLiteral("/x.ini"));
    EXPECT_EQ(paths.runtimeFolder, dir.path() + QStringLiteral("/zxexam"));
    EXPECT_EQ(paths.workingFolder, paths.runtimeFolder + QStringLiteral("/res376zx"));
    EXPECT_TRUE(WorkingFolder::isPrivateFolder(paths.runtimeFolder));
}

TEST(ShellFolders, ARuntimeFolderThatIsNotPrivateGivesWayToTheSameFolderOnEveryStart)
{
    QTemporaryDir dir;
    const QString base = dir.path() + QStringLiteral("/base");
    const QString temp = dir.path() + QStringLiteral("/temp");
    ASSERT_TRUE(QDir().mkpath(base + QStringLiteral("/elsewhere")));
    ASSERT_TRUE(QDir().mkpath(temp));
    ASSERT_TRUE(QFile::link(base + QStringLiteral("/elsewhere"), base + QStringLiteral("/zxexam")));
    const ShellPaths first = ShellPaths::inFolders(QStringLiteral("/opt/prog"), base, QStringLiteral("/x.ini"), temp);
    const ShellPaths second = ShellPaths::inFolders(QStringLiteral("/opt/prog"), base, QStringLiteral("/x.ini"), temp);
    EXPECT_EQ(first.runtimeFolder,
              temp + QStringLiteral("/zxexam-") + QString::number(::geteuid()) + QStringLiteral("/zxexam"));
    EXPECT_EQ(second.runtimeFolder, first.runtimeFolder);
    EXPECT_TRUE(WorkingFolder::isPrivateFolder(first.runtimeFolder));
    EXPECT_TRUE(QDir(base + QStringLiteral("/elsewhere")).isEmpty());
}

TEST(ShellFolders, HandoffIsReadOnlyFromAPlainFile)
{
    QTemporaryDir dir;
    InstanceChannel channel(dir.path());

    EXPECT_FALSE(channel.takeHandoff().has_value());

    writeFile(channel.handoffPath(), "<p1>openShellCall</p1><p2>/b/x.zxb</p2>");
    auto handoff = channel.takeHandoff();
    ASSERT_TRUE(handoff.has_value());
    EXPECT_EQ(handoff->verb, "openShellCall");
    EXPECT_EQ(handoff->path, "/b/x.zxb");
    EXPECT_FALSE(QFile::exists(channel.handoffPath()));

    const QString secret = dir.path() + QStringLiteral("/secret.txt");
    writeFile(secret, "<p1>printShellCall</p1><p2>/etc/passwd</p2>");
    ASSERT_EQ(::symlink(QFile::encodeName(secret).constData(), QFile::encodeName(channel.handoffPath()).constData()), 0);
    EXPECT_FALSE(channel.takeHandoff().has_value());
    EXPECT_TRUE(QFile::exists(secret));

    writeFile(channel.handoffPath(), QByteArray(int(handoffFileLimit) + 1, 'a'));
    EXPECT_FALSE(channel.takeHandoff().has_value());
    EXPECT_FALSE(QFile::exists(channel.handoffPath()));
}
