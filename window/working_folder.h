// Private per-user folders: the player's runtime folder (hand-off file,
// instance channel) and the working folder inside it that holds a bank's
// unpacked files.  A folder is used only when it is a real directory (not a
// link), owned by the user and closed to everybody else (mode 0700);
// anything else found at that place is left alone and a fresh private
// folder is made instead.
#pragma once

#include <QString>

namespace zx {

class WorkingFolder {
public:
    // Uses `path` when it is (or can be made) a private folder, otherwise a
    // fresh private folder beside it.
    explicit WorkingFolder(const QString& path);

    QString path() const { return m_path; }
    // The path with a trailing "/".
    QString pathWithSlash() const { return m_path + QLatin1Char('/'); }

    // Deletes everything inside the folder; the folder itself stays.
    // Links are removed, never followed.  When the folder is no longer a
    // private folder (replaced behind our back) it is left alone and a
    // fresh private folder is used from now on.
    void clear();

    // True when path is a directory (not a link) owned by this user with no
    // access for group or others.
    static bool isPrivateFolder(const QString& path);
    // The private folder at path: made (mode 0700) when missing; an empty
    // text when something else is there.
    static QString ensurePrivateFolder(const QString& path);
    // A new private folder "<base>/<prefix>XXXXXX"; empty on failure.
    static QString makeFreshPrivateFolder(const QString& base, const QString& prefix);

private:
    QString m_path;
    QString m_requested;
};

} // namespace zx
