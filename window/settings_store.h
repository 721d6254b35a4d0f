// The per-user settings: an INI file with the values of
// "Software\OrvelTallyworksEx" at its top level and the recent lists in
// the group "RecentFiles".  Booleans are written as 0/1 and read only when
// the stored text is an integer.  Failures of the store are silent.
#pragma once

#include "app/core/recent_files.h"

#include <QString>

#include <memory>
#include <optional>

class QSettings;

namespace zx {

class SettingsStore {
public:
    // An empty file name means the default per-user file.
    explicit SettingsStore(const QString& file = {});
    ~SettingsStore();

    // "<XDG_CONFIG_HOME or ~/.config>/OrvelTallyworksEx/zxexam.ini".
    static QString defaultFile();
    QString file() const;

    bool readBoolean(const QString& name, bool defaultValue) const;
    void writeBoolean(const QString& name, bool value);
    std::optional<QString> readString(const QString& name) const;
    void writeString(const QString& name, const QString& value);

    RecentBanksAndResults readRecentFiles() const;
    // All 60 values, empty ones included.
    void writeRecentFiles(const RecentBanksAndResults& lists);

    void sync();

private:
    std::unique_ptr<QSettings> m_settings;
};

} // namespace zx
