// A table's own settings file beside it: how the table opens, its code page,
// date format, whether deleted records show, and the column layout of its
// window. The document calls these when it opens and closes a table; the
// table settings sheet reads and writes single values.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "editor/settings/program_settings.h"
#include "editor/settings/settings_values.h"
#include "platform/core/column_layout.h"

namespace tabulon {

// Values of a table settings file are read as at most 254 bytes (the old
// 255-byte buffer): a longer header text would come back cut, so the
// header's edit is limited to this length and longer ones are stored cut.
constexpr size_t kTableValueLimit = 254;
constexpr size_t kMaxHeadLength = kTableValueLimit;
// Stored column widths above this are cut to it.
constexpr int kMaxColumnWidth = 1000;

// The table settings file of a table: its path with the extension of the
// file name (from its last ".") replaced by ".ini", or ".ini" appended when
// the file name has none; a "." in a folder name never counts. When that file
// does not exist but one differing only in letter case does, that one is used.
std::string TableSettingsPath(const std::string& strTablePath);

// What is needed before the table opens.
struct OpenSettings {
    unsigned nOpenMode = kOpenReadWrite;  // 64, 66 or 18
    bool bShowDeleted = true;
    DateFormat eDateFormat = DateFormat::euro;
    std::string strDatePattern;           // "%d.%m.%Y" and the like
};

class CTableSettings {
public:
    // The settings of the table at strTablePath, with program's values as the defaults.
    CTableSettings(CProgramSettings program, const std::string& strTablePath);

    const std::string& GetPath() const { return m_strPath; }
    // Whether the table settings file exists now.
    bool Exists() const;

    // Open mode, show-deleted and date format: each from the table file, with
    // the program file's value as its default.
    OpenSettings LoadOpenSettings() const;

    // The table's code page: the table file's [Grid] CodePage "DOS" or "WIN",
    // else the program's [View] CodePage "DOS" or "WIN", else bAutomaticIsDos
    // (the answer of the table's own marks). True means DOS (OEM) text.
    bool IsDosCodePage(bool bAutomaticIsDos) const;

    // The stored column layout for a table with these fields (names as the
    // table has them), or nothing when there is no usable one and the default
    // layout applies. Column i names its field in ColField<i>; each field is
    // taken at most once (the first not yet used with that name, trailing
    // blanks ignored); a name matching no unused field, or a layout with no
    // visible column, makes the whole stored layout unusable. Widths read
    // saturating and are cut to 1000; every nGridCol is -1.
    std::optional<platform::ColumnLayout> LoadColumnLayout(const std::vector<std::string>& fieldNames) const;

    // Writes, in this order, ColField, ColVisibl, ColWidth and ColHead of each
    // layout entry in display order to [Grid], then [Grid] CodePage and
    // [Records] ShowDeleded; keys of columns beyond the field count go. The
    // layout must have one entry per field, each field once; otherwise
    // nothing is written. Returns false when the file could not be written.
    bool SaveTableSettings(const platform::ColumnLayout& layout, const std::vector<std::string>& fieldNames,
                           bool bDosCodePage, bool bShowDeleted);

    // The closing rule: the table file exists or the program's AutoCreateIni
    // is on, and the table's AutoSaveChange is on (the document then calls
    // SaveTableSettings).
    bool ShouldSaveOnClose() const;

    // Single values for the table settings sheet.
    // [Setting] AutoSaveChange: "True"/"False", default "TRUE".
    bool GetAutoSaveChange() const;
    bool SetAutoSaveChange(bool bOn);
    // [File] TypeFileOpen, default the program's TypeFileOpen.
    unsigned GetOpenMode() const;
    bool SetOpenMode(unsigned nMode);
    // [Fields] DateFormat, default the program's DateFormat.
    DateFormat GetDateFormat() const;
    bool SetDateFormat(DateFormat eFormat);

    // The errno of the last failed write (EINVAL for a layout that does not fit the fields).
    int GetLastErrno() const { return m_nLastErrno; }

private:
    platform::CPrivateProfile Read() const { return platform::CPrivateProfile::Read(m_strPath); }
    std::string Get(const platform::CPrivateProfile& profile, const char* pszSection, const char* pszKey,
                    const std::string& strDefault) const;
    bool Write(const char* pszSection, const char* pszKey, const std::string& strValue);

    CProgramSettings m_program;
    std::string m_strPath;
    int m_nLastErrno = 0;
};

}  // namespace tabulon
