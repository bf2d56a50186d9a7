// Tabulon's program settings file: the defaults every table opens with, the
// grid's font size, the user's OEM/ANSI code-page pair and the recent-file
// list. Every read goes to the file at that moment, so hand edits count at
// once; every write replaces the file atomically and says whether it could.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "editor/settings/settings_values.h"
#include "platform/core/private_profile.h"

namespace tabulon {

// The grid font's height when the file has none or one outside 6 to 96 pixels.
constexpr int kDefaultFontSize = -11;

// "tabulon.ini" beside the executable when that file exists and its folder is
// writable (an installation kept on a stick, say), otherwise
// "$XDG_CONFIG_HOME/tabulon/tabulon.ini", with "~/.config" for an unset or
// relative XDG_CONFIG_HOME.
std::string ProgramSettingsPath();
// The same rule for a given executable and environment values (null = unset).
std::string ProgramSettingsPath(const std::string& strExecutablePath, const char* pszXdgConfigHome,
                                const char* pszHome);
// The running executable's path, from /proc/self/exe ("" when unknown).
std::string ExecutablePath();

class CProgramSettings {
public:
    explicit CProgramSettings(std::string strPath) : m_strPath(std::move(strPath)) {}
    const std::string& GetPath() const { return m_strPath; }

    // [Setting] AutoCreateIni: "True"/"False", default "FALSE".
    bool GetAutoCreateIni() const;
    bool SetAutoCreateIni(bool bOn);
    // [Setting] TypeFileOpen as stored (default "ReadWrite"), and as a mode.
    std::string GetTypeFileOpenValue() const;
    unsigned GetOpenMode() const { return OpenModeFromValue(GetTypeFileOpenValue()); }
    bool SetOpenMode(unsigned nMode);
    // [View] CodePage: "DOS"/"WIN"/"Auto", default "Auto".
    CodePageSetting GetCodePage() const;
    bool SetCodePage(CodePageSetting eCodePage);
    // [Records] ShowDeleded as stored (default "True"), and its meaning.
    std::string GetShowDeletedValue() const;
    bool GetShowDeleted() const { return IsTrue(GetShowDeletedValue()); }
    bool SetShowDeleted(bool bShow);
    // [Fields] DateFormat as stored (default "Euro"), and the format it selects.
    std::string GetDateFormatValue() const;
    DateFormat GetDateFormat() const { return DateFormatFromValue(GetDateFormatValue()); }
    bool SetDateFormat(DateFormat eFormat);
    // [Font] FontSize: a font height, negative for a character height. Read
    // saturating; anything but a character height of 6 to 96 pixels (-6 to
    // -96) gives -11, so a damaged file never yields an unusable font.
    int GetFontSize() const;
    bool SetFontSize(int nFontSize);

    // [View] OemCodePage and AnsiCodePage: the user's pair by name ("CP866",
    // "866"); empty or missing follows the locale.
    std::string GetOemCodePage() const;
    std::string GetAnsiCodePage() const;
    bool SetCodePagePair(std::string_view strOem, std::string_view strAnsi);
    // Makes the stored pair the program's current one, each empty or unknown
    // side from the locale; false when a stored name is not a known page.
    bool ApplyCodePagePair() const;

    // The errno of the last failed write.
    int GetLastErrno() const { return m_nLastErrno; }

private:
    platform::CPrivateProfile Read() const { return platform::CPrivateProfile::Read(m_strPath); }
    template <class Edit>
    bool Write(Edit edit);

    std::string m_strPath;
    int m_nLastErrno = 0;
};

}  // namespace tabulon
