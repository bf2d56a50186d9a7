// The private-profile reader and writer. The file is kept as its lines, each
// with its own bytes and ending, chained in file order so that inserting a
// key never moves another line's index; the indexes of sections and keys
// then stay valid through any number of edits before one Save.
#include "platform/core/private_profile.h"

#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

#include "platform/core/file.h"

namespace platform {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view Trim(std::string_view str) {
    while (!str.empty() && IsBlank(str.front())) str.remove_prefix(1);
    while (!str.empty() && IsBlank(str.back())) str.remove_suffix(1);
    return str;
}

bool IsQuote(char c) { return c == '"' || c == '\''; }

// What reading would make of the raw text after "=": blanks go, then one pair
// of matching enclosing quotes.
std::string Unquote(std::string_view strRaw) {
    strRaw = Trim(strRaw);
    if (strRaw.size() >= 2 && IsQuote(strRaw.front()) && strRaw.back() == strRaw.front())
        strRaw = strRaw.substr(1, strRaw.size() - 2);
    return std::string(strRaw);
}

// A value fit for one line: a line break inside it would end the line there.
std::string OneLine(std::string_view strValue) {
    std::string str(strValue);
    for (char& c : str)
        if (c == '\r' || c == '\n') c = ' ';
    return str;
}

// The text written after "=", which reads back as strValue (already one line).
std::string Encode(const std::string& strValue) {
    bool bQuote = !strValue.empty() && (IsBlank(strValue.front()) || IsBlank(strValue.back()));
    if (strValue.size() >= 2 && IsQuote(strValue.front()) && strValue.back() == strValue.front()) bQuote = true;
    return bQuote ? '"' + strValue + '"' : strValue;
}

bool HasLineBreak(std::string_view str) { return str.find_first_of("\r\n") != std::string_view::npos; }

bool IsStorableSection(std::string_view str) {
    return !str.empty() && Trim(str).size() == str.size() && !HasLineBreak(str) && str.find(']') == str.npos;
}

bool IsStorableKey(std::string_view str) {
    return !str.empty() && Trim(str).size() == str.size() && !HasLineBreak(str) && str.find('=') == str.npos &&
           str.front() != '[' && str.front() != ';' && str.front() != '#';
}

// Reading of a decimal integer as the settings files always had it, without
// the overflow: the value saturates instead of wrapping.
int ParseInt(std::string_view str) {
    size_t i = 0;
    while (i < str.size() && IsBlank(str[i])) ++i;
    bool bNegative = false;
    if (i < str.size() && (str[i] == '-' || str[i] == '+')) bNegative = str[i++] == '-';
    long long n = 0;
    for (; i < str.size() && str[i] >= '0' && str[i] <= '9'; ++i) {
        n = n * 10 + (str[i] - '0');
        if (n > 1LL + INT_MAX) n = 1LL + INT_MAX;  // stays far from overflowing long long
    }
    if (bNegative) n = -n;
    if (n > INT_MAX) return INT_MAX;
    if (n < INT_MIN) return INT_MIN;
    return int(n);
}

std::string FolderOf(const std::string& strPath) {
    size_t nSlash = strPath.rfind('/');
    if (nSlash == std::string::npos) return ".";
    if (nSlash == 0) return "/";
    return strPath.substr(0, nSlash);
}

// The file a rename must replace: a settings file reached through a symbolic
// link stays a link, and the file it names gets the new contents.
std::string ReplaceTarget(const std::string& strPath) {
    struct stat st {};
    if (::lstat(strPath.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return strPath;
    char* pszReal = ::realpath(strPath.c_str(), nullptr);
    if (!pszReal) return strPath;
    std::string strReal(pszReal);
    ::free(pszReal);
    return strReal;
}

// A name beside the target that no other writer (in this or another
// process) picks at the same time.
std::string TemporaryName(const std::string& strTarget) {
    static std::atomic<unsigned> s_nCounter{0};
    std::string strFolder = FolderOf(strTarget);
    size_t nSlash = strTarget.rfind('/');
    std::string strName = nSlash == std::string::npos ? strTarget : strTarget.substr(nSlash + 1);
    for (;;) {
        char szSuffix[48];
        std::snprintf(szSuffix, sizeof szSuffix, ".%ld-%u.tmp", long(::getpid()), s_nCounter++);
        std::string strTemp = (strFolder == "/" ? "" : strFolder) + "/." + strName + szSuffix;
        if (!CFile::Exists(strTemp)) return strTemp;
    }
}

}  // namespace

CPrivateProfile::CPrivateProfile(std::string strPath) : m_strPath(std::move(strPath)) {}

CPrivateProfile CPrivateProfile::Read(const std::string& strPath) {
    CPrivateProfile profile(strPath);
    profile.Load();
    return profile;
}

bool CPrivateProfile::Load() {
    m_bExists = false;
    m_bReadable = true;
    m_nLastErrno = 0;
    m_strLoaded.clear();
    Parse(m_strLoaded);

    CFile file;
    int nErr = 0;
    if (!file.Open(m_strPath, modeRead | shareDenyNone | typeBinary, &nErr)) {
        if (nErr == ENOENT || nErr == ENOTDIR) return true;
        m_bExists = CFile::Exists(m_strPath);
        m_bReadable = false;
        m_nLastErrno = nErr;
        return false;
    }
    m_bExists = true;
    try {
        uint64_t nLength = file.GetLength();
        if (nLength > kMaxFileSize) {
            m_bReadable = false;
            m_nLastErrno = EFBIG;
            return false;
        }
        std::string strBytes(size_t(nLength), '\0');
        strBytes.resize(file.Read(strBytes.data(), strBytes.size()));
        m_strLoaded = std::move(strBytes);
    } catch (const CFileException& e) {
        m_bReadable = false;
        m_nLastErrno = e.GetErrno();
        return false;
    }
    Parse(m_strLoaded);
    return true;
}

void CPrivateProfile::Parse(const std::string& strBytes) {
    m_lines.clear();
    m_sections.clear();
    m_entries.clear();
    m_nHead = kNone;
    m_strEnding = "\n";
    bool bEndingSeen = false;
    SectionInfo* pFirstOccurrence = nullptr;  // the section being read, when this is its first occurrence
    std::string strSection;
    bool bInSection = false;
    size_t nPrev = kNone;

    for (size_t nPos = 0; nPos < strBytes.size();) {
        Line line;
        size_t nBreak = strBytes.find('\n', nPos);
        if (nBreak == std::string::npos) {
            line.strText = strBytes.substr(nPos);
            nPos = strBytes.size();
        } else {
            size_t nEnd = nBreak;
            if (nEnd > nPos && strBytes[nEnd - 1] == '\r') --nEnd;
            line.strText = strBytes.substr(nPos, nEnd - nPos);
            line.strEnding = strBytes.substr(nEnd, nBreak + 1 - nEnd);
            nPos = nBreak + 1;
            if (!bEndingSeen) m_strEnding = line.strEnding;
            bEndingSeen = true;
        }
        ParseLine(line, m_lines.empty());
        size_t nIndex = m_lines.size();
        if (line.eKind == Kind::section) {
            strSection = line.strName;
            bInSection = true;
            auto [it, bNew] = m_sections.try_emplace(Fold(strSection), SectionInfo{nIndex});
            pFirstOccurrence = bNew ? &it->second : nullptr;
        } else if (line.eKind == Kind::entry) {
            if (!bInSection) {
                line.eKind = Kind::other;  // keys above every section belong to none
            } else {
                m_entries[EntryKey(strSection, line.strName)].push_back(nIndex);
                if (pFirstOccurrence) pFirstOccurrence->nAnchor = nIndex;
            }
        }
        m_lines.push_back(std::move(line));
        if (nPrev == kNone)
            m_nHead = nIndex;
        else
            m_lines[nPrev].nNext = nIndex;
        nPrev = nIndex;
    }
}

void CPrivateProfile::ParseLine(Line& line, bool bFirst) const {
    std::string_view text = line.strText;
    size_t i = 0;
    if (bFirst && text.substr(0, 3) == "\xEF\xBB\xBF") i = 3;  // a byte-order mark from an editor
    while (i < text.size() && IsBlank(text[i])) ++i;
    if (i == text.size()) return;
    if (text[i] == '[') {
        size_t nClose = text.find(']', i + 1);
        if (nClose == std::string_view::npos) return;
        line.eKind = Kind::section;
        line.strName = std::string(Trim(text.substr(i + 1, nClose - i - 1)));
        return;
    }
    if (text[i] == ';' || text[i] == '#') return;
    size_t nEquals = text.find('=', i);
    if (nEquals == std::string_view::npos) return;
    std::string_view key = Trim(text.substr(i, nEquals - i));
    if (key.empty()) return;
    line.eKind = Kind::entry;
    line.strName = std::string(key);
    size_t nValue = nEquals + 1;
    while (nValue < text.size() && IsBlank(text[nValue])) ++nValue;
    line.nValuePos = nValue;
}

std::string CPrivateProfile::ValueOf(const Line& line) {
    return Unquote(std::string_view(line.strText).substr(line.nValuePos));
}

std::string CPrivateProfile::Fold(std::string_view str) {
    std::string strFolded(str);
    for (char& c : strFolded)
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    return strFolded;
}

std::string CPrivateProfile::EntryKey(std::string_view strSection, std::string_view strKey) {
    // A line break never occurs inside a name, so it cannot make two pairs alike.
    return Fold(strSection) + '\n' + Fold(strKey);
}

std::optional<std::string> CPrivateProfile::Find(std::string_view strSection, std::string_view strKey) const {
    auto it = m_entries.find(EntryKey(Trim(strSection), Trim(strKey)));
    if (it == m_entries.end() || it->second.empty()) return std::nullopt;
    return ValueOf(m_lines[it->second.front()]);
}

std::string CPrivateProfile::GetString(std::string_view strSection, std::string_view strKey,
                                       std::string_view strDefault, size_t nMaxLength) const {
    std::optional<std::string> value = Find(strSection, strKey);
    std::string str = value ? std::move(*value) : std::string(strDefault);
    if (str.size() > nMaxLength) str.resize(nMaxLength);
    return str;
}

int CPrivateProfile::GetInt(std::string_view strSection, std::string_view strKey, int nDefault) const {
    std::optional<std::string> value = Find(strSection, strKey);
    return value ? ParseInt(*value) : nDefault;
}

std::vector<std::pair<std::string, std::string>> CPrivateProfile::GetSection(std::string_view strSection) const {
    std::vector<std::pair<std::string, std::string>> result;
    std::string strWanted = Fold(Trim(strSection));
    bool bInside = false;
    std::unordered_set<std::string> seen;
    for (size_t i = m_nHead; i != kNone; i = m_lines[i].nNext) {
        const Line& line = m_lines[i];
        if (line.bDeleted) continue;
        if (line.eKind == Kind::section) bInside = Fold(line.strName) == strWanted;
        if (line.eKind != Kind::entry || !bInside) continue;
        if (!seen.insert(Fold(line.strName)).second) continue;
        result.emplace_back(line.strName, ValueOf(line));
    }
    return result;
}

size_t CPrivateProfile::InsertAfter(size_t nAfter, Line line) {
    size_t nIndex = m_lines.size();
    if (nAfter == kNone) {
        line.nNext = m_nHead;
        m_nHead = nIndex;
    } else {
        line.nNext = m_lines[nAfter].nNext;
        m_lines[nAfter].nNext = nIndex;
    }
    m_lines.push_back(std::move(line));
    return nIndex;
}

CPrivateProfile::Line CPrivateProfile::MakeLine(std::string strText, Kind eKind, std::string_view strName) const {
    Line line;
    line.strText = std::move(strText);
    line.strEnding = m_strEnding;
    line.eKind = eKind;
    line.strName = std::string(strName);
    return line;
}

bool CPrivateProfile::SetString(std::string_view strSection, std::string_view strKey, std::string_view strValue) {
    if (!IsStorableSection(strSection) || !IsStorableKey(strKey)) {
        m_nLastErrno = EINVAL;
        return false;
    }
    std::string strOneLine = OneLine(strValue);
    std::string strEntry = EntryKey(strSection, strKey);
    auto it = m_entries.find(strEntry);
    if (it != m_entries.end() && !it->second.empty()) {
        Line& line = m_lines[it->second.front()];
        // A value that already reads the same keeps its line as written.
        if (ValueOf(line) != strOneLine) line.strText = line.strText.substr(0, line.nValuePos) + Encode(strOneLine);
        return true;
    }

    auto section = m_sections.find(Fold(strSection));
    if (section == m_sections.end()) {
        // A new section goes at the end, after a blank line unless one is there.
        size_t nTail = kNone, nLastShown = kNone;
        for (size_t i = m_nHead; i != kNone; i = m_lines[i].nNext) {
            nTail = i;
            if (!m_lines[i].bDeleted) nLastShown = i;
        }
        if (nLastShown != kNone && !Trim(m_lines[nLastShown].strText).empty())
            nTail = InsertAfter(nTail, MakeLine("", Kind::other, ""));
        size_t nHeader = InsertAfter(nTail, MakeLine('[' + std::string(strSection) + ']', Kind::section, strSection));
        section = m_sections.emplace(Fold(strSection), SectionInfo{nHeader}).first;
    }
    Line line = MakeLine(std::string(strKey) + '=' + Encode(strOneLine), Kind::entry, strKey);
    line.nValuePos = strKey.size() + 1;
    size_t nIndex = InsertAfter(section->second.nAnchor, std::move(line));
    section->second.nAnchor = nIndex;
    m_entries[strEntry].push_back(nIndex);
    return true;
}

bool CPrivateProfile::SetInt(std::string_view strSection, std::string_view strKey, int nValue) {
    char szValue[16];
    std::snprintf(szValue, sizeof szValue, "%d", nValue);
    return SetString(strSection, strKey, szValue);
}

bool CPrivateProfile::DeleteKey(std::string_view strSection, std::string_view strKey) {
    auto it = m_entries.find(EntryKey(Trim(strSection), Trim(strKey)));
    if (it == m_entries.end()) return false;
    for (size_t nIndex : it->second) m_lines[nIndex].bDeleted = true;
    m_entries.erase(it);
    return true;
}

std::string CPrivateProfile::GetBytes() const {
    std::string strBytes;
    strBytes.reserve(m_strLoaded.size() + 256);
    const Line* pPrevious = nullptr;
    for (size_t i = m_nHead; i != kNone; i = m_lines[i].nNext) {
        const Line& line = m_lines[i];
        if (line.bDeleted) continue;
        // A last line without an ending gets one when something follows it.
        if (pPrevious) strBytes += pPrevious->strEnding.empty() ? m_strEnding : pPrevious->strEnding;
        strBytes += line.strText;
        pPrevious = &line;
    }
    if (pPrevious) strBytes += pPrevious->strEnding;
    return strBytes;
}

bool CPrivateProfile::Save() {
    if (!m_bReadable) {
        if (m_nLastErrno == 0) m_nLastErrno = EIO;
        return false;
    }
    m_nLastErrno = 0;
    std::string strBytes = GetBytes();
    if (strBytes == m_strLoaded) return true;  // nothing changed: the file is not touched

    std::string strTarget = ReplaceTarget(m_strPath);
    std::string strTemp = TemporaryName(strTarget);
    CFile temp;
    int nErr = 0;
    if (!temp.Open(strTemp, modeCreate | modeReadWrite | shareExclusive | typeBinary, &nErr)) {
        m_nLastErrno = nErr;
        return false;
    }
    try {
        temp.Write(strBytes.data(), strBytes.size());
        temp.Flush();
        temp.Close();
        struct stat st {};
        if (::stat(strTarget.c_str(), &st) == 0) ::chmod(strTemp.c_str(), st.st_mode & 07777);
        CFile::Replace(strTemp, strTarget);
    } catch (const CFileException& e) {
        m_nLastErrno = e.GetErrno();
        temp.Close();
        try {
            CFile::Remove(strTemp);
        } catch (const CFileException&) {
            // Only a stray temporary file is left; the settings file is whole.
        }
        return false;
    }
    try {
        CFile::SyncFolderOf(strTarget);
    } catch (const CFileException&) {
        // Best effort: the rename is done either way.
    }
    m_bExists = true;
    m_strLoaded = std::move(strBytes);
    Parse(m_strLoaded);
    return true;
}

std::string CPrivateProfile::ReadString(const std::string& strPath, std::string_view strSection,
                                        std::string_view strKey, std::string_view strDefault, size_t nMaxLength) {
    return Read(strPath).GetString(strSection, strKey, strDefault, nMaxLength);
}

bool CPrivateProfile::WriteString(const std::string& strPath, std::string_view strSection,
                                  std::string_view strKey, std::string_view strValue) {
    CPrivateProfile profile = Read(strPath);
    return profile.SetString(strSection, strKey, strValue) && profile.Save();
}

}  // namespace platform
