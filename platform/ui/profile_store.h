// Where a program keeps what it remembers between runs (the recent files,
// window placements, its settings): Tabulon in its settings file, Peekrow in
// the user's configuration through QSettings. The framework reads and writes
// through this interface and never knows which.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include <QString>

class QSettings;

namespace platform {

class CProfileStore {
public:
    virtual ~CProfileStore() = default;
    virtual std::string GetString(const std::string& strSection, const std::string& strKey,
                                  const std::string& strDefault) = 0;
    // False when the value could not be stored.
    virtual bool WriteString(const std::string& strSection, const std::string& strKey,
                             const std::string& strValue) = 0;
    // Several keys of one section at once (an empty value removes its key);
    // a store over a file writes it once. False when any was not stored.
    using KeyValues = std::vector<std::pair<std::string, std::string>>;
    virtual bool WriteStrings(const std::string& strSection, const KeyValues& values);
    // A raw byte value; false when there is none.
    virtual bool GetBinary(const std::string& strSection, const std::string& strKey, std::vector<uint8_t>& value);
    virtual bool WriteBinary(const std::string& strSection, const std::string& strKey,
                             const std::vector<uint8_t>& value);
};

// The store over QSettings (an INI file in the user's configuration folder on
// Linux): sections are groups, binary values byte arrays.
class CQSettingsProfileStore : public CProfileStore {
public:
    CQSettingsProfileStore(const QString& strOrganization, const QString& strApplication);
    ~CQSettingsProfileStore() override;
    std::string GetString(const std::string& strSection, const std::string& strKey,
                          const std::string& strDefault) override;
    bool WriteString(const std::string& strSection, const std::string& strKey, const std::string& strValue) override;
    bool GetBinary(const std::string& strSection, const std::string& strKey, std::vector<uint8_t>& value) override;
    bool WriteBinary(const std::string& strSection, const std::string& strKey,
                     const std::vector<uint8_t>& value) override;

private:
    QSettings* m_pSettings;
};

}  // namespace platform
