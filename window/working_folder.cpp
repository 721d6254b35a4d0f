#include "window/working_folder.h"

#include "objects/qt_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <cerrno>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

namespace zx {

namespace {

QString freshBesides(const QString& path)
{
    const QFileInfo info(path);
    QString fresh = WorkingFolder::makeFreshPrivateFolder(info.absolutePath(), info.fileName() + QLatin1Char('-'));
    if (fresh.isEmpty())
        fresh = WorkingFolder::makeFreshPrivateFolder(QDir::tempPath(), QStringLiteral("zxexam-work-"));
    return fresh;
}

} // namespace

WorkingFolder::WorkingFolder(const QString& path)
    : m_requested(path)
{
    m_path = ensurePrivateFolder(path);
    if (m_path.isEmpty())
        m_path = freshBesides(path);
}

bool WorkingFolder::isPrivateFolder(const QString& path)
{
    struct stat st {};
    if (::lstat(QFile::encodeName(path).constData(), &st) != 0)
        return false;
    return S_ISDIR(st.st_mode) && st.st_uid == ::geteuid() && (st.st_mode & 077) == 0;
}

QString WorkingFolder::ensurePrivateFolder(const QString& path)
{
    if (path.isEmpty())
        return {};
    const QByteArray native = QFile::encodeName(path);
    struct stat st {};
    if (::lstat(native.constData(), &st) != 0) {
        if (errno != ENOENT || ::mkdir(native.constData(), 0700) != 0)
            return {};
    }
    return isPrivateFolder(path) ? QDir::cleanPath(path) : QString();
}

QString WorkingFolder::makeFreshPrivateFolder(const QString& base, const QString& prefix)
{
    QByteArray templ = QFile::encodeName(base + QLatin1Char('/') + prefix + QStringLiteral("XXXXXX"));
    if (::mkdtemp(templ.data()) == nullptr)
        return {};
    return QFile::decodeName(templ);
}

void WorkingFolder::clear()
{
    if (!isPrivateFolder(m_path)) {
        const QString again = ensurePrivateFolder(m_path);
        m_path = again.isEmpty() ? freshBesides(m_requested) : again;
        return;
    }
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path folder(localPath(m_path));
    // directory_iterator does not enter linked folders; symlink_status
    // looks at the entry itself, so a link is removed and its target kept.
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code entryError;
        const fs::file_status status = it->symlink_status(entryError);
        if (entryError)
            continue;
        if (fs::is_directory(status))
            fs::remove_all(it->path(), entryError); // never follows links inside
        else
            fs::remove(it->path(), entryError);
    }
}

} // namespace zx
