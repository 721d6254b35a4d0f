#include "app/file_association.h"

#include "app/core/command_verbs.h"

#include <QDir>
#include <QFile>
#include <QMimeDatabase>
#include <QStandardPaths>

#include <string>
#include <vector>

namespace zx {

namespace {

std::string fileBytes(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > 1024 * 1024)
        return {};
    return file.readAll().toStdString();
}

// The mimeapps.list files, most important first, as the desktop looks them up.
std::vector<std::string> mimeappsFiles()
{
    QStringList paths;
    const QStringList desktops = qEnvironmentVariable("XDG_CURRENT_DESKTOP").toLower().split(QLatin1Char(':'), Qt::SkipEmptyParts);
    auto add = [&](const QStringList& folders) {
        for (const QString& folder : folders) {
            for (const QString& desktop : desktops)
                paths << folder + QLatin1Char('/') + desktop + QStringLiteral("-mimeapps.list");
            paths << folder + QStringLiteral("/mimeapps.list");
        }
    };
    add(QStandardPaths::standardLocations(QStandardPaths::GenericConfigLocation));
    add(QStandardPaths::standardLocations(QStandardPaths::ApplicationsLocation));
    std::vector<std::string> files;
    for (const QString& path : paths)
        if (QFile::exists(path))
            files.push_back(fileBytes(path));
    return files;
}

bool entryClaimsBanks(const QString& path)
{
    const QString entry = QString::fromStdString(fileBytes(path));
    for (const QString& line : entry.split(QLatin1Char('\n'))) {
        if (line.startsWith(QStringLiteral("MimeType=")))
            return line.mid(9).trimmed().split(QLatin1Char(';')).contains(QString::fromLatin1(bankMimeType));
    }
    return false;
}

} // namespace

bool playerOpensBanks()
{
    const QMimeDatabase types;
    if (types.mimeTypeForFile(QStringLiteral("bank.zxb"), QMimeDatabase::MatchExtension).name()
        != QLatin1String(bankMimeType))
        return false;
    if (const auto chosen = defaultApplication(bankMimeType, mimeappsFiles()))
        return *chosen == playerDesktopEntry;
    const QString entry = QStandardPaths::locate(QStandardPaths::ApplicationsLocation,
                                                 QString::fromLatin1(playerDesktopEntry));
    return !entry.isEmpty() && entryClaimsBanks(entry);
}

} // namespace zx
