// The table settings file: its name, the open settings, the code page and the
// column layout it keeps.
#include "editor/settings/table_settings.h"

#include <algorithm>
#include <cerrno>
#include <string_view>

#include "platform/core/file.h"
#include "platform/core/file_names.h"
#include "platform/core/value_coercion.h"


namespace tabulon {

namespace {

// Field names compare without the blanks (or padding) a descriptor may carry after them.
std::string_view TrimRight(std::string_view str) {
    while (!str.empty() && (str.back() == ' ' || str.back() == '\t' || str.back() == '\0')) str.remove_suffix(1);
    return str;
}

std::string ColumnKey(const char* pszStem, size_t nColumn) { return pszStem + std::to_string(nColumn); }

const char* const kColumnStems[] = {"ColField", "ColVisibl", "ColWidth", "ColHead"};

// Whether a key of [Grid] belongs to a column beyond nColumns: a column
// stem and a decimal number written the way this program writes it.
bool IsColumnKeyBeyond(std::string_view strKey, size_t nColumns) {
    for (const char* pszStem : kColumnStems) {
        std::string_view stem(pszStem);
        if (strKey.size() <= stem.size() || !platform::EqualsNoCase(strKey.substr(0, stem.size()), stem)) continue;
        std::string_view digits = strKey.substr(stem.size());
        if (digits.front() == '0' || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; }))
            return false;
        if (digits.size() > 9) return true;
        return size_t(std::stoul(std::string(digits))) > nColumns;
    }
    return false;
}

}  // namespace

std::string TableSettingsPath(const std::string& strTablePath) {
    std::string strExact = platform::ReplaceExtension(strTablePath, ".ini");
    std::string strFound = platform::FindFileIgnoringCase(strExact);
    return strFound.empty() ? strExact : strFound;
}

CTableSettings::CTableSettings(CProgramSettings program, const std::string& strTablePath)
    : m_program(std::move(program)), m_strPath(TableSettingsPath(strTablePath)) {}

bool CTableSettings::Exists() const { return platform::CFile::Exists(m_strPath); }

std::string CTableSettings::Get(const platform::CPrivateProfile& profile, const char* pszSection, const char* pszKey,
                                const std::string& strDefault) const {
    return profile.GetString(pszSection, pszKey, strDefault, kTableValueLimit);
}

bool CTableSettings::Write(const char* pszSection, const char* pszKey, const std::string& strValue) {
    platform::CPrivateProfile profile = Read();
    if (profile.SetString(pszSection, pszKey, strValue) && profile.Save()) return true;
    m_nLastErrno = profile.GetLastErrno();
    return false;
}

OpenSettings CTableSettings::LoadOpenSettings() const {
    platform::CPrivateProfile table = Read();
    OpenSettings settings;
    settings.nOpenMode = OpenModeFromValue(Get(table, "File", "TypeFileOpen", m_program.GetTypeFileOpenValue()));
    settings.bShowDeleted = IsTrue(Get(table, "Records", "ShowDeleded", m_program.GetShowDeletedValue()));
    settings.eDateFormat = DateFormatFromValue(Get(table, "Fields", "DateFormat", m_program.GetDateFormatValue()));
    settings.strDatePattern = DateFormatPattern(settings.eDateFormat);
    return settings;
}

bool CTableSettings::IsDosCodePage(bool bAutomaticIsDos) const {
    platform::CPrivateProfile table = Read();
    CodePageSetting eTable = CodePageFromValue(Get(table, "Grid", "CodePage", ""));
    if (table.Exists() && eTable != CodePageSetting::automatic) return eTable == CodePageSetting::dos;
    switch (m_program.GetCodePage()) {
    case CodePageSetting::dos: return true;
    case CodePageSetting::win: return false;
    default: return bAutomaticIsDos;
    }
}

std::optional<platform::ColumnLayout> CTableSettings::LoadColumnLayout(const std::vector<std::string>& fieldNames) const {
    platform::CPrivateProfile table = Read();
    if (!table.Exists()) return std::nullopt;
    size_t nFields = fieldNames.size();
    std::vector<bool> used(nFields, false);
    platform::ColumnLayout layout;
    layout.reserve(nFields);
    for (size_t nColumn = 1; nColumn <= nFields; ++nColumn) {
        std::string strName(TrimRight(Get(table, "Grid", ColumnKey("ColField", nColumn).c_str(), "")));
        if (strName.empty()) return std::nullopt;
        size_t nField = 0;
        while (nField < nFields && (used[nField] || TrimRight(fieldNames[nField]) != strName)) ++nField;
        if (nField == nFields) return std::nullopt;
        used[nField] = true;

        platform::ColumnInfo info;
        info.nField = int(nField);
        info.bVisible = IsTrue(Get(table, "Grid", ColumnKey("ColVisibl", nColumn).c_str(), "TRUE"));
        info.nWidth = std::min(table.GetInt("Grid", ColumnKey("ColWidth", nColumn), -1), kMaxColumnWidth);
        info.strHead = Get(table, "Grid", ColumnKey("ColHead", nColumn).c_str(), "");
        info.nGridCol = -1;
        layout.push_back(std::move(info));
    }
    // A layout that shows nothing would leave the window without a column to click.
    if (!platform::HasVisibleColumn(layout)) return std::nullopt;
    return layout;
}

bool CTableSettings::SaveTableSettings(const platform::ColumnLayout& layout, const std::vector<std::string>& fieldNames,
                                       bool bDosCodePage, bool bShowDeleted) {
    size_t nFields = fieldNames.size();
    std::vector<bool> used(nFields, false);
    bool bFits = layout.size() == nFields;
    for (const platform::ColumnInfo& info : layout) {
        bFits = bFits && info.nField >= 0 && size_t(info.nField) < nFields && !used[size_t(info.nField)];
        if (bFits) used[size_t(info.nField)] = true;
    }
    if (!bFits) {
        m_nLastErrno = EINVAL;
        return false;
    }

    platform::CPrivateProfile table = Read();
    for (size_t i = 0; i < layout.size(); ++i) {
        const platform::ColumnInfo& info = layout[i];
        size_t nColumn = i + 1;
        table.SetString("Grid", ColumnKey("ColField", nColumn), TrimRight(fieldNames[size_t(info.nField)]));
        table.SetString("Grid", ColumnKey("ColVisibl", nColumn), info.bVisible ? "TRUE" : "FALSE");
        table.SetInt("Grid", ColumnKey("ColWidth", nColumn), std::min(info.nWidth, kMaxColumnWidth));
        table.SetString("Grid", ColumnKey("ColHead", nColumn), std::string_view(info.strHead).substr(0, kMaxHeadLength));
    }
    table.SetString("Grid", "CodePage", bDosCodePage ? "DOS" : "WIN");
    table.SetString("Records", "ShowDeleded", TrueFalseValue(bShowDeleted));
    for (const auto& entry : table.GetSection("Grid"))
        if (IsColumnKeyBeyond(entry.first, nFields)) table.DeleteKey("Grid", entry.first);
    if (table.Save()) return true;
    m_nLastErrno = table.GetLastErrno();
    return false;
}

bool CTableSettings::ShouldSaveOnClose() const {
    if (!Exists() && !m_program.GetAutoCreateIni()) return false;
    return GetAutoSaveChange();
}

bool CTableSettings::GetAutoSaveChange() const { return IsTrue(Get(Read(), "Setting", "AutoSaveChange", "TRUE")); }

bool CTableSettings::SetAutoSaveChange(bool bOn) { return Write("Setting", "AutoSaveChange", TrueFalseValue(bOn)); }

unsigned CTableSettings::GetOpenMode() const {
    return OpenModeFromValue(Get(Read(), "File", "TypeFileOpen", m_program.GetTypeFileOpenValue()));
}

bool CTableSettings::SetOpenMode(unsigned nMode) { return Write("File", "TypeFileOpen", OpenModeValue(nMode)); }

DateFormat CTableSettings::GetDateFormat() const {
    return DateFormatFromValue(Get(Read(), "Fields", "DateFormat", m_program.GetDateFormatValue()));
}

bool CTableSettings::SetDateFormat(DateFormat eFormat) { return Write("Fields", "DateFormat", DateFormatValue(eFormat)); }

}  // namespace tabulon
