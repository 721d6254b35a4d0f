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

// "<base>/zxexam-<uid>/zxexam": the same folder on every start, so a
// second start finds the first player; a fresh folder only when another
// user holds that place.
QString fallbackRuntimeFolder(const QString& base)
{
    const QString perUser =
        WorkingFolder::ensurePrivateFolder(base + QStringLiteral("/zxexam-") + QString::number(::geteuid()));
    const QString inside =
        perUser.isEmpty() ? QString() : WorkingFolder::ensurePrivateFolder(perUser + QStringLiteral("/zxexam"));
    return inside.isEmpty() ? WorkingFolder::makeFreshPrivateFolder(base, QStringLiteral("zxexam-")) : inside;
}

} // namespace

ShellPaths ShellPaths::inFolders(const QString& programFolder, const QString& runtimeBase, const QString& settingsFile,
                                 const QString& fallbackBase)
{
    ShellPaths paths;
    paths.programFolder = QDir::cleanPath(programFolder);
    const QString wanted = runtimeBase + QStringLiteral("/zxexam");
    paths.runtimeFolder = WorkingFolder::ensurePrivateFolder(wanted);
    if (paths.runtimeFolder.isEmpty())
        paths.runtimeFolder = fallbackRuntimeFolder(fallbackBase.isEmpty() ? QDir::tempPath() : fallbackBase);
    paths.workingFolder = paths.runtimeFolder + QStringLiteral("/res376zx");
    paths.settingsFile = settingsFile;
    return paths;
}

ShellPaths ShellPaths::fromEnvironment(const QString& programFolder)
{
    return inFolders(programFolder, privateRuntimeBase(), SettingsStore::defaultFile());
}

} // namespace zx
