// CDBFException, its message lookup and the engine's string table.
#include "engine/dbf_exception.h"

#include <cstdio>
#include <cstring>

#include "platform/core/string_table.h"

namespace dbf {

namespace {
const platform::StringEntry kEngineStrings[] = {
    {3001, "Can't create file."},
    {3002, "Can't open file."},
    {3003, "Can't load file."},
    {3004, "Read head file error."},
    {3005, "Write head file error."},
    {3006, "File destruct or not .dbf file. "},
    {3007, "Not fields."},
    {3008, "File size error."},
    {3009, "Record read error."},
    {3010, "Can't open memo file."},
    {3011, "File head error. This format not support."},
    {3012, "Memo head block size error."},
    {3013, "Invalid ref from memo."},
    {3015, "Read error from memo file."},
    {3017, "Out of range."},
    {3018, "Read record error."},
    {3019, "Save record error."},
    {3020, "Field not found."},
    {3021, "The table was changed by another program since it was loaded."},
    {3022, "The table is open for reading only."},
    {3023, "A value does not fit its new field."},
    {3024, "Writing the table failed. The table as it was before is kept in its backup file:"},
    {3025, "The table structure cannot be written."},
    // Field-type display names.
    {59400, "Character"},
    {59401, "Numeric"},
    {59402, "Float"},
    {59403, "Logical"},
    {59404, "Date"},
    {59405, "DateTime"},
    {59406, "Integer"},
    {59407, "Double"},
    {59408, "Currency"},
    {59409, "Memo"},
    {59410, "Picture"},
    {59411, "General"},
    {59412, "Unknow"},
};
}  // namespace

void RegisterEngineStrings() {
    static const bool bDone = (platform::RegisterStrings(kEngineStrings), true);
    (void)bDone;
}

std::string ErrorMessageText(int nCode) {
    RegisterEngineStrings();
    if (const char* psz = platform::FindString(unsigned(nCode))) return psz;
    char szDigits[32];
    std::snprintf(szDigits, sizeof szDigits, "00000000%X", unsigned(nCode));
    size_t nLen = std::strlen(szDigits);
    return std::string("Error number 0x") + (szDigits + nLen - 8) + ".";
}

CDBFException::CDBFException(int nCode) : m_nCode(nCode), m_strMessage(ErrorMessageText(nCode)) {}

CDBFException::CDBFException(int nCode, std::string strDetail)
    : m_nCode(nCode), m_strMessage(ErrorMessageText(nCode)), m_strDetail(std::move(strDetail)) {
    if (!m_strDetail.empty()) m_strMessage += " " + m_strDetail;
}

std::string CDBFException::GetErrorMessage() const { return m_strMessage; }

bool CDBFException::GetErrorMessage(char* pszBuffer, unsigned nMaxChars, unsigned* pnHelpContext) const {
    if (pnHelpContext) *pnHelpContext = 0;
    if (!pszBuffer || nMaxChars == 0) return true;
    size_t nCopy = nMaxChars >= 2 ? std::min<size_t>(m_strMessage.size(), nMaxChars - 2) : 0;
    std::memcpy(pszBuffer, m_strMessage.data(), nCopy);
    pszBuffer[nCopy] = '\0';
    pszBuffer[nMaxChars - 1] = '\0';
    return true;
}

void ThrowError(int nCode) { throw CDBFException(nCode); }

void ThrowError(int nCode, std::string strDetail) { throw CDBFException(nCode, std::move(strDetail)); }

}  // namespace dbf
