#include "app/shell_paths.h"

#include "window/settings_store.h"
#include "window/working_folder.h"

#include <QDir>

#include <unistd.h>

namespace zx {

namespace {

QString privateRuntimeBase()
{
    const QString xdg = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!xdg.isEmpty() && WorkingFolder::isPrivateFolder(xdg))
        return xdg;
    const QString perUser = QDir::tempPath() + QStringLiteral("/zxexam-") + QString::number(::geteuid());
    const QString ensured = WorkingFolder::ensurePrivateFolder(perUser);
    if (!ensured.isEmpty())
        return ensured;
    return WorkingFolder::makeFreshPrivateFolder(QDir::tempPath(), QStringLiteral("zxexam-"));
}

} // namespace

ShellPaths ShellPaths::inFolders(const QString& programFolder, const QString& runtimeBase, const QString& settingsFile)
{
    ShellPaths paths;
    paths.programFolder = QDir::cleanPath(programFolder);
    const QString wanted = runtimeBase + QStringLiteral("/zxexam");
    paths.runtimeFolder = WorkingFolder::ensurePrivateFolder(wanted);
    if (paths.runtimeFolder.isEmpty())
        paths.runtimeFolder = WorkingFolder::makeFreshPrivateFolder(QDir::tempPath(), QStringLiteral("zxexam-"));
    paths.workingFolder = paths.runtimeFolder + QStringLiteral("/res376zx");
    paths.settingsFile = settingsFile;
    return paths;
}

ShellPaths ShellPaths::fromEnvironment(const QString& programFolder)
{
    return inFolders(programFolder, privateRuntimeBase(), SettingsStore::defaultFile());
}

} // namespace zx
