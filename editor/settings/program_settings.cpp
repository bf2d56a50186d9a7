// The program settings file and where it lives.
#include "editor/settings/program_settings.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/core/code_page.h"
#include "platform/core/file.h"
#include "platform/core/value_coercion.h"

namespace tabulon {

namespace {

constexpr char kFileName[] = "tabulon.ini";

std::string FolderOf(const std::string& strPath) {
    size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) return ".";
    return nSlash == 0 ? "/" : strPath.substr(0, nSlash);
}

std::string HomeFolder(const char* pszHome) {
    if (pszHome && *pszHome) return pszHome;
    if (const passwd* pw = ::getpwuid(::getuid()); pw && pw->pw_dir) return pw->pw_dir;
    return std::string();
}

// Creates the missing folders of a path, private to the user as the
// configuration folders are meant to be.
bool CreateFolders(const std::string& strFolder) {
    if (strFolder.empty() || platform::CFile::Exists(strFolder)) return true;
    std::string strParent = FolderOf(strFolder);
    if (strParent != strFolder && !CreateFolders(strParent)) return false;
    return ::mkdir(strFolder.c_str(), 0700) == 0 || errno == EEXIST;
}

}  // namespace

std::string ExecutablePath() {
    std::string strPath(PATH_MAX, '\0');
    ssize_t n = ::readlink("/proc/self/exe", strPath.data(), strPath.size());
    if (n <= 0 || size_t(n) >= strPath.size()) return std::string();
    strPath.resize(size_t(n));
    return strPath;
}

std::string ProgramSettingsPath(const std::string& strExecutablePath, const char* pszXdgConfigHome,
                                const char* pszHome) {
    if (!strExecutablePath.empty()) {
        std::string strFolder = FolderOf(strExecutablePath);
        std::string strBeside = (strFolder == "/" ? "" : strFolder) + "/" + kFileName;
        if (platform::CFile::Exists(strBeside) && ::access(strFolder.c_str(), W_OK) == 0) return strBeside;
    }
    std::string strConfig;
    if (pszXdgConfigHome && pszXdgConfigHome[0] == '/')
        strConfig = pszXdgConfigHome;
    else
        strConfig = HomeFolder(pszHome) + "/.config";
    while (strConfig.size() > 1 && strConfig.back() == '/') strConfig.pop_back();
    return strConfig + "/tabulon/" + kFileName;
}

std::string ProgramSettingsPath() {
    return ProgramSettingsPath(ExecutablePath(), std::getenv("XDG_CONFIG_HOME"), std::getenv("HOME"));
}

template <class Edit>
bool CProgramSettings::Write(Edit edit) {
    platform::CPrivateProfile profile = Read();
    if (!edit(profile)) {
        m_nLastErrno = EINVAL;
        return false;
    }
    if (!profile.Exists() && !CreateFolders(FolderOf(m_strPath))) {
        m_nLastErrno = errno;
        return false;
    }
    if (profile.Save()) return true;
    m_nLastErrno = profile.GetLastErrno();
    return false;
}

bool CProgramSettings::GetAutoCreateIni() const { return IsTrue(Read().GetString("Setting", "AutoCreateIni", "FALSE")); }

bool CProgramSettings::SetAutoCreateIni(bool bOn) {
    return Write([&](platform::CPrivateProfile& p) { return p.SetString("Setting", "AutoCreateIni", TrueFalseValue(bOn)); });
}

std::string CProgramSettings::GetTypeFileOpenValue() const {
    return Read().GetString("Setting", "TypeFileOpen", "ReadWrite");
}

bool CProgramSettings::SetOpenMode(unsigned nMode) {
    return Write([&](platform::CPrivateProfile& p) { return p.SetString("Setting", "TypeFileOpen", OpenModeValue(nMode)); });
}

CodePageSetting CProgramSettings::GetCodePage() const {
    return CodePageFromValue(Read().GetString("View", "CodePage", "Auto"));
}

bool CProgramSettings::SetCodePage(CodePageSetting eCodePage) {
    return Write([&](platform::CPrivateProfile& p) { return p.SetString("View", "CodePage", CodePageValue(eCodePage)); });
}

std::string CProgramSettings::GetShowDeletedValue() const { return Read().GetString("Records", "ShowDeleded", "True"); }

bool CProgramSettings::SetShowDeleted(bool bShow) {
    return Write([&](platform::CPrivateProfile& p) { return p.SetString("Records", "ShowDeleded", TrueFalseValue(bShow)); });
}

std::string CProgramSettings::GetDateFormatValue() const { return Read().GetString("Fields", "DateFormat", "Euro"); }

bool CProgramSettings::SetDateFormat(DateFormat eFormat) {
    return Write([&](platform::CPrivateProfile& p) { return p.SetString("Fields", "DateFormat", DateFormatValue(eFormat)); });
}

int CProgramSettings::GetFontSize() const {
    int nSize = Read().GetInt("Font", "FontSize", kDefaultFontSize);
    return nSize <= -6 && nSize >= -96 ? nSize : kDefaultFontSize;
}

bool CProgramSettings::SetFontSize(int nFontSize) {
    return Write([&](platform::CPrivateProfile& p) { return p.SetInt("Font", "FontSize", nFontSize); });
}

std::string CProgramSettings::GetOemCodePage() const { return Read().GetString("View", "OemCodePage", ""); }

std::string CProgramSettings::GetAnsiCodePage() const { return Read().GetString("View", "AnsiCodePage", ""); }

bool CProgramSettings::SetCodePagePair(std::string_view strOem, std::string_view strAnsi) {
    return Write([&](platform::CPrivateProfile& p) {
        return p.SetString("View", "OemCodePage", strOem) && p.SetString("View", "AnsiCodePage", strAnsi);
    });
}

bool CProgramSettings::ApplyCodePagePair() const {
    platform::CPrivateProfile profile = Read();
    std::string strOem = profile.GetString("View", "OemCodePage", "");
    std::string strAnsi = profile.GetString("View", "AnsiCodePage", "");
    bool bKnown = true;
    for (std::string* pName : {&strOem, &strAnsi}) {
        if (!pName->empty() && !platform::CCodePage::Find(*pName)) {
            bKnown = false;
            pName->clear();
        }
    }
    if (strOem.empty() && strAnsi.empty()) {
        platform::ResetCodePages();
        return bKnown;
    }
    platform::CodePagePair pair = platform::CodePagePairFromEnvironment();
    if (strOem.empty()) strOem = std::to_string(pair.nOem);
    if (strAnsi.empty()) strAnsi = std::to_string(pair.nAnsi);
    return platform::SetCodePages(strOem, strAnsi) && bKnown;
}

}  // namespace tabulon
