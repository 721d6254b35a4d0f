#include "window/settings_store.h"

#include "objects/qt_text.h"

#include "app/core/typed_setting.h"

#include <QSettings>
#include <QVariant>

namespace zx {

namespace {

const QString recentGroup = QStringLiteral("RecentFiles");

} // namespace

SettingsStore::SettingsStore(const QString& file)
    : m_settings(std::make_unique<QSettings>(file.isEmpty() ? defaultFile() : file, QSettings::IniFormat))
{
}

SettingsStore::~SettingsStore() = default;

QString SettingsStore::defaultFile()
{
    const QSettings settings(QSettings::IniFormat, QSettings::UserScope, QStringLiteral("OrvelTallyworksEx"),
                             QStringLiteral("zxexam"));
    return settings.fileName();
}

QString SettingsStore::file() const
{
    return m_settings->fileName();
}

bool SettingsStore::readBoolean(const QString& name, bool defaultValue) const
{
    const QVariant value = m_settings->value(name);
    if (!value.isValid() || value.typeId() == QMetaType::QStringList)
        return settingBoolean(std::nullopt, defaultValue);
    return settingBoolean(value.toString().toStdString(), defaultValue);
}

void SettingsStore::writeBoolean(const QString& name, bool value)
{
    m_settings->setValue(name, value ? 1 : 0);
    m_settings->sync();
}

std::optional<QString> SettingsStore::readString(const QString& name) const
{
    const QVariant value = m_settings->value(name);
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

void SettingsStore::writeString(const QString& name, const QString& value)
{
    m_settings->setValue(name, value);
    m_settings->sync();
}

RecentBanksAndResults SettingsStore::readRecentFiles() const
{
    RecentBanksAndResults lists;
    m_settings->beginGroup(recentGroup);
    for (int i = 0; i < recentFileCount; ++i) {
        const QVariant bank = m_settings->value(QString::fromStdString(recentBankValueName(i)));
        if (bank.typeId() == QMetaType::QString)
            lists.banks[i] = localPath(bank.toString());
        const QVariant result = m_settings->value(QString::fromStdString(recentResultValueName(i)));
        if (result.typeId() == QMetaType::QString)
            lists.results[i] = localPath(result.toString());
    }
    m_settings->endGroup();
    return lists;
}

void SettingsStore::writeRecentFiles(const RecentBanksAndResults& lists)
{
    m_settings->beginGroup(recentGroup);
    for (int i = 0; i < recentFileCount; ++i) {
        m_settings->setValue(QString::fromStdString(recentBankValueName(i)), pathFromLocal(lists.banks[i]));
        m_settings->setValue(QString::fromStdString(recentResultValueName(i)),
                             pathFromLocal(lists.results[i]));
    }
    m_settings->endGroup();
    m_settings->sync();
}

void SettingsStore::sync()
{
    m_settings->sync();
}

} // namespace zx
