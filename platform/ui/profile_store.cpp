// The profile store over QSettings.
#include "platform/ui/profile_store.h"

#include <QSettings>

namespace platform {

bool CProfileStore::GetBinary(const std::string&, const std::string&, std::vector<uint8_t>&) { return false; }

bool CProfileStore::WriteBinary(const std::string&, const std::string&, const std::vector<uint8_t>&) { return false; }

bool CProfileStore::WriteStrings(const std::string& strSection, const KeyValues& values) {
    bool bOk = true;
    for (const auto& [strKey, strValue] : values)
        bOk = WriteString(strSection, strKey, strValue) && bOk;
    return bOk;
}

namespace {

QString KeyOf(const std::string& strSection, const std::string& strKey) {
    return QString::fromUtf8(strSection) + QLatin1Char('/') + QString::fromUtf8(strKey);
}

}  // namespace

CQSettingsProfileStore::CQSettingsProfileStore(const QString& strOrganization, const QString& strApplication)
    : m_pSettings(new QSettings(QSettings::NativeFormat, QSettings::UserScope, strOrganization, strApplication)) {}

CQSettingsProfileStore::~CQSettingsProfileStore() { delete m_pSettings; }

std::string CQSettingsProfileStore::GetString(const std::string& strSection, const std::string& strKey,
                                              const std::string& strDefault) {
    QVariant value = m_pSettings->value(KeyOf(strSection, strKey));
    if (!value.isValid())
        return strDefault;
    return value.toString().toStdString();
}

bool CQSettingsProfileStore::WriteString(const std::string& strSection, const std::string& strKey,
                                         const std::string& strValue) {
    m_pSettings->setValue(KeyOf(strSection, strKey), QString::fromUtf8(strValue));
    m_pSettings->sync();
    return m_pSettings->status() == QSettings::NoError;
}

bool CQSettingsProfileStore::GetBinary(const std::string& strSection, const std::string& strKey,
                                       std::vector<uint8_t>& value) {
    QVariant stored = m_pSettings->value(KeyOf(strSection, strKey));
    if (!stored.isValid())
        return false;
    QByteArray bytes = stored.toByteArray();
    value.assign(bytes.begin(), bytes.end());
    return true;
}

bool CQSettingsProfileStore::WriteBinary(const std::string& strSection, const std::string& strKey,
                                         const std::vector<uint8_t>& value) {
    m_pSettings->setValue(KeyOf(strSection, strKey),
                          QByteArray(reinterpret_cast<const char*>(value.data()), qsizetype(value.size())));
    m_pSettings->sync();
    return m_pSettings->status() == QSettings::NoError;
}

}  // namespace platform
