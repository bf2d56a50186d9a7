// CDBFFileReader: opening, the field list, the record cache, finding and
// reading the memo file, and the display text of every field type.
//
// Every number read from the table or the memo file is treated as a claim to
// be checked: a field that does not fit the record shows empty text, a memo
// length is compared with the memo file's length before anything is
// allocated, and every read loop is bounded by the length of the file.
#include "viewer/reader/dbf_file_reader.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <optional>

#include "platform/core/byte_order.h"
#include "platform/core/file_names.h"
#include "platform/core/ole_date.h"
#include "platform/core/string_table.h"
#include "platform/core/value_coercion.h"

namespace {

const platform::StringEntry kReaderStrings[] = {
    {idsReaderErrorCaption, "Error"},
    {idsCantOpenFile, "Can't open file:\n%s"},
    {idsCantFindFile, "Can't find file:\n%s"},
    {idsDbfHeadReadError, "DBF head read error !"},
    {idsMemoHeadReadError, "Memo head read error !"},
    {idsMemoReadError, "Memo read error !"},
    {idsDatePattern, "%m/%d/%Y"},
    {idsDateTimePattern, "%m/%d/%Y  %H:%M:%S"},
};

constexpr unsigned kOpenFlags = platform::modeRead | platform::shareDenyNone | platform::typeBinary;  // 64 | 0x8000

// The descriptor area lies inside the header, whose length is a 16-bit
// number, so no real table has a descriptor that ends past this offset. A
// file without a terminator would otherwise be read as thousands of fields.
constexpr uint64_t kDescriptorAreaEnd = 0xFFFF;

// The first 512 bytes of an .FPT/.DCT file are its header, never a memo.
constexpr uint64_t kFptHeaderSize = 512;

// Replaces the first "%s" of a message with its argument. The message texts
// come from the string table and are never used as a printf format.
std::string FormatMessage(const std::string& strFormat, const std::string& strArg) {
    size_t nAt = strFormat.find("%s");
    if (nAt == std::string::npos) return strFormat;
    return strFormat.substr(0, nAt) + strArg + strFormat.substr(nAt + 2);
}


// The block number of a dBASE memo field: decimal digits, optionally padded
// with spaces on either side. Anything else is a damaged reference.
std::optional<uint32_t> ParseBlockNumber(const std::string& strRaw) {
    size_t i = 0;
    while (i < strRaw.size() && strRaw[i] == ' ') ++i;
    size_t nDigitsFrom = i;
    uint64_t nValue = 0;
    for (; i < strRaw.size() && strRaw[i] >= '0' && strRaw[i] <= '9'; ++i) {
        nValue = nValue * 10 + uint64_t(strRaw[i] - '0');
        if (nValue > UINT32_MAX) return std::nullopt;
    }
    if (i == nDigitsFrom) return std::nullopt;
    while (i < strRaw.size() && strRaw[i] == ' ') ++i;
    if (i != strRaw.size()) return std::nullopt;
    return uint32_t(nValue);
}


std::string PatternOf(unsigned nId, const char* pszFallback) {
    const char* psz = platform::FindString(nId);
    return psz ? psz : pszFallback;
}

// The number in a run of decimal digits; -1 when a character is not a digit.
int DigitsValue(const std::string& str, size_t nFrom, size_t nCount) {
    int nValue = 0;
    for (size_t i = nFrom; i < nFrom + nCount; ++i) {
        if (str[i] < '0' || str[i] > '9') return -1;
        nValue = nValue * 10 + (str[i] - '0');
    }
    return nValue;
}

// A D field: eight digits, year, month and day, naming a day of the
// calendar of the years 1 to 9999. Spaces, zeros, letters and days that are
// not in the calendar (30 February) are no date.
bool DateFieldParts(const std::string& strRaw, platform::DateTimeParts& parts) {
    if (strRaw.size() < 8) return false;
    int nYear = DigitsValue(strRaw, 0, 4), nMonth = DigitsValue(strRaw, 4, 2), nDay = DigitsValue(strRaw, 6, 2);
    double dDate = 0;
    return platform::MakeOleDate(nYear, nMonth, nDay, 0, 0, 0, dDate) && platform::SplitOleDate(dDate, parts);
}

std::string DateText(const std::string& strRaw) {
    platform::DateTimeParts parts;
    if (!DateFieldParts(strRaw, parts)) return std::string();
    return platform::FormatDateParts(parts, PatternOf(idsDatePattern, "%d.%m.%Y"));
}

// A T field: a Julian day number and milliseconds since midnight. Hours past
// 23 (a damaged time) carry into the next days, as adding a time span to the
// date would; before 1 January of year 1 or after 9999 there is no date.
bool DateTimeFieldParts(int32_t nJulianDay, uint32_t nMilliseconds, platform::DateTimeParts& parts) {
    if (nJulianDay < platform::kJulianDayOfYearOne) return false;
    uint32_t nHours = nMilliseconds / 3600000;
    uint32_t nMinutes = (nMilliseconds % 3600000) / 60000;
    uint32_t nSeconds = (nMilliseconds % 3600000 - nMinutes * 60000) / 1000;
    double dDate = 0;
    return platform::OleDateFromDaysAndSeconds(int64_t(nJulianDay) - platform::kJulianDayOfOleZero,
                                               int64_t(nHours) * 3600 + nMinutes * 60 + nSeconds, dDate) &&
           platform::SplitOleDate(dDate, parts);
}

std::string DateTimeText(int32_t nJulianDay, uint32_t nMilliseconds) {
    platform::DateTimeParts parts;
    if (!DateTimeFieldParts(nJulianDay, nMilliseconds, parts)) return std::string();
    return platform::FormatDateParts(parts, PatternOf(idsDateTimePattern, "%d.%m.%Y  %H:%M:%S"));
}

// The number an N or F field's digits say: optional spaces, a sign, digits
// with a decimal point (a comma is taken for one too, as some programs wrote
// it), an exponent, then nothing but spaces. Blank fields, and the stars a
// program writes for a number too wide for its field, hold no number.
bool ParseNumberText(const std::string& strRaw, double& dValue) {
    std::string str;
    str.reserve(strRaw.size());
    size_t i = 0;
    while (i < strRaw.size() && strRaw[i] == ' ') ++i;
    if (i < strRaw.size() && strRaw[i] == '+') ++i;
    for (; i < strRaw.size() && strRaw[i] != ' '; ++i) str += strRaw[i] == ',' ? '.' : strRaw[i];
    for (; i < strRaw.size(); ++i)
        if (strRaw[i] != ' ') return false;
    if (str.empty()) return false;
    // Only digits, one point, a sign and an exponent: no "inf" or "nan" spelt out.
    for (char c : str)
        if (!((c >= '0' && c <= '9') || c == '.' || c == '-' || c == '+' || c == 'e' || c == 'E')) return false;
    double d = 0;
    auto [pEnd, ec] = std::from_chars(str.data(), str.data() + str.size(), d);
    if (ec != std::errc() || pEnd != str.data() + str.size()) return false;
    dValue = d;
    return true;
}

double CurrencyValue(const uint8_t* pField, unsigned nDecimals) {
    double dScale = 1.0;
    for (unsigned i = 0; i < nDecimals; ++i) dScale *= 10.0;
    return double(int64_t(platform::GetLE64(pField))) / dScale;
}

}  // namespace

void RegisterReaderStrings() {
    static const bool bDone = (platform::RegisterStrings(kReaderStrings), true);
    (void)bDone;
}

uint8_t ReaderField::GetDecimals() const {
    switch (desc.type) {
    case 'B': case 'F': case 'I': case 'N': case 'Y': return desc.decimals;
    default: return 0;
    }
}

CDBFFileReader::CDBFFileReader() : m_record(1, 0) { RegisterReaderStrings(); }

CDBFFileReader::~CDBFFileReader() { Close(); }

int32_t CDBFFileReader::GetRecordCount() const {
    int32_t n = m_header.GetRecordCount();
    return n < 0 ? 0 : n;
}

int32_t CDBFFileReader::GetRecordsInFile() const {
    const uint64_t nLength = GetRecordLength();
    if (!m_bOpen || nLength == 0) return 0;
    uint64_t nFile = 0;
    try {
        nFile = m_file.GetLength();
    } catch (const platform::CFileException&) {
        return GetRecordCount();  // reading says what is wrong, record by record
    }
    const uint64_t nHeader = m_header.GetHeaderLength();
    const uint64_t nData = nFile > nHeader ? nFile - nHeader : 0;
    // A last piece of one byte is the end-of-file mark, not a cut record.
    const uint64_t nHeld = nData / nLength + (nData % nLength > 1 ? 1 : 0);
    return int32_t(std::min<uint64_t>(nHeld, uint64_t(GetRecordCount())));
}

void CDBFFileReader::ShowError(unsigned nMessageId, const std::string& strArg) {
    if (!m_pErrorSink) return;
    m_pErrorSink->ShowError(nMessageId, FormatMessage(platform::LoadString(nMessageId), strArg));
}

// The platform's own words for a failed read, with the system's reason.
void CDBFFileReader::ShowFileError(const platform::CFileException& e) {
    if (!m_pErrorSink) return;
    m_pErrorSink->ShowError(kReaderFileErrorId, "An error occurred while reading from " + e.GetPath() + ".\n" +
                                                    std::strerror(e.GetErrno()));
}

void CDBFFileReader::ShowRecordError(const std::string& strText) {
    if (m_bRecordErrorShown) return;
    m_bRecordErrorShown = true;
    if (m_pErrorSink) m_pErrorSink->ShowError(kReaderFileErrorId, strText);
}

void CDBFFileReader::ShowMemoError(unsigned nMessageId) {
    if (m_bMemoErrorShown) return;
    m_bMemoErrorShown = true;
    ShowError(nMessageId);
}

bool CDBFFileReader::Open(const std::string& strPath) {
    Close();
    if (!m_file.Open(strPath, kOpenFlags)) {
        ShowError(idsCantOpenFile, strPath);
        return false;
    }
    m_strPath = strPath;
    bool bHasMemoFields = false;
    try {
        if (m_file.Read(&m_header, sizeof m_header) < sizeof m_header) {
            ShowError(idsDbfHeadReadError);
            Close();
            return false;
        }
        ReadFieldList();
    } catch (const platform::CFileException& e) {
        ShowFileError(e);
        Close();
        return false;
    }
    for (const ReaderField& field : m_fields)
        if (field.GetType() == 'M' || field.GetType() == 'G') bHasMemoFields = true;
    // A record length of 0 still gets a one-byte buffer, so that the deletion
    // flag can always be looked at; every field then lies past the record.
    m_record.assign(std::max<size_t>(GetRecordLength(), 1), 0);
    m_bOpen = true;
    if (bHasMemoFields) FindMemoFile();
    return true;
}

// Descriptors follow the header until a short read or a descriptor that
// starts with 0x0D. Displacements are counted here, not taken from the file.
bool CDBFFileReader::ReadFieldList() {
    uint32_t nDisplacement = 1;  // byte 0 of a record is the deletion flag
    for (uint64_t nOffset = sizeof(dbf::DBFHeader); nOffset + sizeof(dbf::DBFFieldDesc) <= kDescriptorAreaEnd;
         nOffset += sizeof(dbf::DBFFieldDesc)) {
        ReaderField field;
        if (m_file.Read(&field.desc, sizeof field.desc) < sizeof field.desc) break;
        if (uint8_t(field.desc.name[0]) == dbf::kHeaderTerminator) break;
        field.nDisplacement = nDisplacement;
        // At most 2046 fields of at most 65535 bytes: the sum fits 32 bits.
        nDisplacement += field.GetWidth();
        m_fields.push_back(field);
    }
    return true;
}

void CDBFFileReader::Close() {
    m_file.Close();
    m_memoFile.Close();
    m_memoKind = MemoKind::none;
    m_bOpen = false;
    m_strPath.clear();
    m_header = dbf::DBFHeader{};
    m_fields.clear();
    m_record.assign(1, 0);
    m_nRecord = -1;
    m_nRecordBytes = 0;
    m_ahead = std::vector<uint8_t>();
    m_nAheadCount = 0;
    m_nAheadBytes = 0;
    m_nMemoBlockSize = 0;
    m_strMemo = std::string();
    m_nMemoBlock = -1;
    m_bRecordErrorShown = false;
    m_bMemoErrorShown = false;
}

// The memo file is chosen by which file exists, not by the version byte: a
// database container (.dbc) has its .DCT; any other table its .FPT, or else
// its .DBT.
void CDBFFileReader::FindMemoFile() {
    if (platform::HasExtensionIgnoringCase(m_strPath, ".DBC")) {
        std::string strMemo = platform::ReplaceExtension(m_strPath, ".DCT");
        std::string strFound = platform::FindFileIgnoringCase(strMemo);
        if (strFound.empty())
            ShowError(idsCantFindFile, strMemo);
        else
            OpenFoxProMemo(strFound);
        return;
    }
    std::string strFound = platform::FindFileIgnoringCase(platform::ReplaceExtension(m_strPath, ".FPT"));
    if (!strFound.empty()) {
        OpenFoxProMemo(strFound);
        return;
    }
    std::string strDbt = platform::ReplaceExtension(m_strPath, ".DBT");
    strFound = platform::FindFileIgnoringCase(strDbt);
    if (!strFound.empty())
        OpenDBaseMemo(strFound);
    else
        ShowError(idsCantFindFile, strDbt);
}

void CDBFFileReader::OpenFoxProMemo(const std::string& strPath) {
    if (!m_memoFile.Open(strPath, kOpenFlags)) {
        ShowError(idsCantOpenFile, strPath);
        return;
    }
    try {
        uint8_t size[2];
        m_memoFile.Seek(6, platform::SeekFrom::begin);
        // A block size of 0 would put every block at the header: nothing in
        // such a file can be found, so it is as unreadable as a short header.
        if (m_memoFile.Read(size, 2) < 2 || platform::GetBE16(size) == 0) {
            ShowError(idsMemoHeadReadError);
            m_memoFile.Close();
            return;
        }
        m_nMemoBlockSize = platform::GetBE16(size);
        m_memoKind = MemoKind::foxPro;
    } catch (const platform::CFileException& e) {
        ShowFileError(e);
        m_memoFile.Close();
    }
}

void CDBFFileReader::OpenDBaseMemo(const std::string& strPath) {
    if (!m_memoFile.Open(strPath, kOpenFlags)) {
        ShowError(idsCantOpenFile, strPath);
        return;
    }
    m_nMemoBlockSize = 512;
    try {
        if (m_header.version == dbf::verDBase4Memo || m_header.version == dbf::verDBase4SqlMemo) {
            uint8_t size[2];
            m_memoFile.Seek(20, platform::SeekFrom::begin);
            if (m_memoFile.Read(size, 2) < 2) {
                ShowError(idsMemoHeadReadError);
                m_memoFile.Close();
                return;
            }
            if (uint16_t n = platform::GetLE16(size)) m_nMemoBlockSize = n;
        }
        m_memoKind = MemoKind::dBase;
    } catch (const platform::CFileException& e) {
        ShowFileError(e);
        m_memoFile.Close();
    }
}

CDBFFileReader::CReadAhead::CReadAhead(CDBFFileReader& reader, bool bBackward) : m_reader(reader) {
    if (m_reader.m_nAheadUsers++ == 0) {
        m_reader.m_bAheadBackward = bBackward;
        m_reader.m_nAheadCount = 0;
    }
}

CDBFFileReader::CReadAhead::~CReadAhead() {
    if (--m_reader.m_nAheadUsers == 0) {
        m_reader.m_ahead = std::vector<uint8_t>();
        m_reader.m_nAheadCount = 0;
        m_reader.m_nAheadBytes = 0;
    }
}

bool CDBFFileReader::ReadAheadRecord(int32_t nRecord, size_t nLength) {
    if (nRecord < m_nAheadFirst || nRecord >= m_nAheadFirst + m_nAheadCount) {
        constexpr size_t kPieceBytes = 64 * 1024;
        const int64_t nCount = int64_t(std::max<size_t>(1, kPieceBytes / nLength));
        const int64_t nFirst = m_bAheadBackward ? std::max<int64_t>(1, int64_t(nRecord) - nCount + 1) : nRecord;
        m_nAheadCount = 0;
        m_ahead.resize(size_t(nCount) * nLength);
        try {
            m_file.Seek(int64_t(m_header.GetHeaderLength() + uint64_t(nFirst - 1) * nLength), platform::SeekFrom::begin);
            m_nAheadBytes = m_file.Read(m_ahead.data(), m_ahead.size());
        } catch (const platform::CFileException&) {
            return false;
        }
        m_nAheadFirst = nFirst;
        m_nAheadCount = nCount;
    }
    const size_t nOffset = size_t(nRecord - m_nAheadFirst) * nLength;
    const size_t nHeld = m_nAheadBytes > nOffset ? std::min(nLength, m_nAheadBytes - nOffset) : 0;
    std::memcpy(m_record.data(), m_ahead.data() + nOffset, nHeld);
    m_nRecordBytes = nHeld;
    m_nRecord = nRecord;
    if (nHeld < nLength && !m_bRecordErrorShown)
        ShowRecordError("An attempt was made to access " + m_strPath + " past its end.");
    return true;
}

const uint8_t* CDBFFileReader::ReadRecord(int32_t nRecord) {
    if (m_bOpen && m_nRecord >= 0 && nRecord == m_nRecord) return m_record.data();
    std::fill(m_record.begin(), m_record.end(), uint8_t(0));
    m_nRecord = -1;
    m_nRecordBytes = 0;
    if (!m_bOpen || nRecord < 1) return m_record.data();
    size_t nLength = GetRecordLength();
    if (m_nAheadUsers > 0 && nLength > 0 && ReadAheadRecord(nRecord, nLength)) return m_record.data();
    uint64_t nPos = m_header.GetHeaderLength() + uint64_t(nRecord - 1) * nLength;
    try {
        m_file.Seek(int64_t(nPos), platform::SeekFrom::begin);
        m_nRecordBytes = m_file.Read(m_record.data(), nLength);
        m_nRecord = nRecord;
        // A record count larger than the file (a truncated copy, a damaged
        // header): what is missing shows as empty text, and the user hears
        // of it once rather than once per cell.
        if (m_nRecordBytes < nLength && !m_bRecordErrorShown)
            ShowRecordError("An attempt was made to access " + m_strPath + " past its end.");
    } catch (const platform::CFileException& e) {
        std::fill(m_record.begin(), m_record.end(), uint8_t(0));
        m_nRecordBytes = 0;
        m_nRecord = -1;
        if (!m_bRecordErrorShown) ShowFileError(e);
        m_bRecordErrorShown = true;
    }
    return m_record.data();
}

const std::string* CDBFFileReader::GetMemo(uint32_t nBlock) {
    if (m_nMemoBlock >= 0 && uint32_t(m_nMemoBlock) == nBlock) return &m_strMemo;
    m_nMemoBlock = -1;
    m_strMemo = std::string();  // releases a large previous memo
    if (m_memoKind == MemoKind::none || nBlock == 0) return nullptr;
    bool bRead = false;
    try {
        bRead = m_memoKind == MemoKind::foxPro ? ReadFoxProMemo(nBlock) : ReadDBaseMemo(nBlock);
    } catch (const platform::CFileException& e) {
        if (!m_bMemoErrorShown) ShowFileError(e);
        m_bMemoErrorShown = true;
        bRead = false;
    }
    if (!bRead) {
        m_strMemo = std::string();
        return nullptr;
    }
    // The text is shown as a C string: it ends at its first NUL byte.
    m_strMemo.resize(strnlen(m_strMemo.data(), m_strMemo.size()));
    m_nMemoBlock = nBlock;
    return &m_strMemo;
}

// FoxPro block: 4-byte type, 4-byte big-endian length, then the text.
bool CDBFFileReader::ReadFoxProMemo(uint32_t nBlock) {
    uint64_t nPos = uint64_t(nBlock) * m_nMemoBlockSize;
    if (nPos < kFptHeaderSize) return false;
    uint64_t nFileLength = m_memoFile.GetLength();
    uint8_t length[4];
    m_memoFile.Seek(int64_t(nPos + 4), platform::SeekFrom::begin);
    if (m_memoFile.Read(length, 4) < 4) {
        ShowMemoError(idsMemoReadError);
        return false;
    }
    uint64_t nLength = platform::GetBE32(length);
    if (nLength == 0) return false;
    if (nPos + 8 + nLength > nFileLength) {
        ShowMemoError(idsMemoReadError);
        return false;
    }
    m_strMemo.resize(size_t(nLength));
    if (m_memoFile.Read(m_strMemo.data(), size_t(nLength)) < nLength) {
        ShowMemoError(idsMemoReadError);
        return false;
    }
    return true;
}

// dBASE block: a dBASE IV block starts with FF FF 08 00 and a length that
// counts those 8 bytes; anything else is dBASE III text ending at 0x1A.
bool CDBFFileReader::ReadDBaseMemo(uint32_t nBlock) {
    uint64_t nPos = uint64_t(nBlock) * m_nMemoBlockSize;
    uint64_t nFileLength = m_memoFile.GetLength();
    if (nPos >= nFileLength) {
        ShowMemoError(idsMemoReadError);
        return false;
    }
    if (nFileLength - nPos >= 8) {
        uint8_t head[8];
        m_memoFile.Seek(int64_t(nPos), platform::SeekFrom::begin);
        if (m_memoFile.Read(head, 8) == 8 && head[0] == 0xFF && head[1] == 0xFF && head[2] == 0x08 && head[3] == 0x00) {
            uint32_t nLength = platform::GetLE32(head + 4);
            if (nLength <= 8) return false;
            uint64_t nText = nLength - 8;
            if (nPos + 8 + nText > nFileLength) {
                ShowMemoError(idsMemoReadError);
                return false;
            }
            m_strMemo.resize(size_t(nText));
            if (m_memoFile.Read(m_strMemo.data(), size_t(nText)) < nText) {
                ShowMemoError(idsMemoReadError);
                return false;
            }
            return true;
        }
    }
    return ReadDBase3Text(nPos, nFileLength);
}

// dBASE III text runs to the first 0x1A or to the end of the file. It is
// read in pieces of a fixed size (a damaged header may claim blocks of one
// byte) and never past the length the file had when the read began, so a
// file without its end byte cannot keep the loop going.
bool CDBFFileReader::ReadDBase3Text(uint64_t nPos, uint64_t nFileLength) {
    constexpr size_t kPiece = 8192;
    m_memoFile.Seek(int64_t(nPos), platform::SeekFrom::begin);
    std::string strChunk(kPiece, '\0');
    uint64_t nLeft = nFileLength - nPos;
    while (nLeft > 0) {
        size_t nWant = size_t(std::min<uint64_t>(nLeft, strChunk.size()));
        size_t nGot = m_memoFile.Read(strChunk.data(), nWant);
        if (nGot == 0) break;
        const char* pEnd = static_cast<const char*>(std::memchr(strChunk.data(), dbf::kEndOfFile, nGot));
        if (pEnd) {
            m_strMemo.append(strChunk.data(), size_t(pEnd - strChunk.data()));
            break;
        }
        m_strMemo.append(strChunk.data(), nGot);
        nLeft -= nGot;
    }
    return true;
}

const std::string* CDBFFileReader::FieldMemo(const ReaderField& field, const uint8_t* pField,
                                             const char*& pszPlaceholder) {
    bool bMemo = field.GetType() == 'M';
    size_t nWidth = field.GetWidth();
    // No memo: a field ending in a space, or a reference to block 0 (which
    // is the memo file's header in every layout).
    const char* pszNone = bMemo ? "memo" : "general";
    const char* pszUnreadable = bMemo ? "Memo" : "General";
    if (nWidth == 0 || pField[nWidth - 1] == ' ') {
        pszPlaceholder = pszNone;
        return nullptr;
    }
    std::optional<uint32_t> nBlock;
    if (nWidth >= 10)
        nBlock = ParseBlockNumber(std::string(reinterpret_cast<const char*>(pField),
                                              strnlen(reinterpret_cast<const char*>(pField), nWidth)));
    else if (nWidth >= 4)
        nBlock = platform::GetLE32(pField);
    if (nBlock && *nBlock == 0) {
        pszPlaceholder = pszNone;
        return nullptr;
    }
    const std::string* pText = nBlock ? GetMemo(*nBlock) : nullptr;
    if (!pText)
        pszPlaceholder = pszUnreadable;
    return pText;
}

bool CDBFFileReader::MemoText(const ReaderField& field, const uint8_t* pField, std::string& strText) {
    const char* pszPlaceholder = "";
    const std::string* pText = FieldMemo(field, pField, pszPlaceholder);
    if (!pText) {
        strText = pszPlaceholder;
        return false;
    }
    strText = *pText;
    return true;
}

bool CDBFFileReader::HasFieldText(int nField, int32_t nRecord) {
    const uint8_t* pField = FieldBytes(nField, nRecord);
    if (!pField) return false;
    const ReaderField& field = m_fields[size_t(nField)];
    if (field.GetType() == 'M' || field.GetType() == 'G') {
        // A placeholder word is text too.
        const char* pszPlaceholder = "";
        const std::string* pText = FieldMemo(field, pField, pszPlaceholder);
        return !pText || !pText->empty();
    }
    std::string strText;
    bool bLogical = false;
    GetFieldText(nField, nRecord, strText, bLogical);
    return !strText.empty();
}

const uint8_t* CDBFFileReader::FieldBytes(int nField, int32_t nRecord) {
    if (!m_bOpen || nField < 0 || nField >= GetFieldCount()) return nullptr;
    const uint8_t* pRecord = ReadRecord(nRecord);
    const ReaderField& field = m_fields[size_t(nField)];
    // A field that runs past the record (or past what the file held of it)
    // has no bytes to show.
    if (uint64_t(field.nDisplacement) + field.GetWidth() > m_nRecordBytes) return nullptr;
    return pRecord + field.nDisplacement;
}

bool CDBFFileReader::GetFieldNumber(int nField, int32_t nRecord, double& dValue) {
    const uint8_t* pField = FieldBytes(nField, nRecord);
    if (!pField) return false;
    const ReaderField& field = m_fields[size_t(nField)];
    const size_t nWidth = field.GetWidth();
    switch (field.GetType()) {
    case 'N':
    case 'F': {
        const char* psz = reinterpret_cast<const char*>(pField);
        return ParseNumberText(std::string(psz, strnlen(psz, nWidth)), dValue);
    }
    case 'I':
        if (nWidth < 4) return false;
        dValue = int32_t(platform::GetLE32(pField));
        return true;
    case 'B': {
        if (nWidth < 8) return false;
        double d = platform::GetLEDouble(pField);
        if (d != d) return false;  // NaN is no number to compare
        dValue = d;
        return true;
    }
    case 'Y':
        if (nWidth < 8) return false;
        dValue = CurrencyValue(pField, field.desc.decimals);
        return true;
    default:
        return false;
    }
}

bool CDBFFileReader::GetFieldDate(int nField, int32_t nRecord, ReaderDate& date) {
    const uint8_t* pField = FieldBytes(nField, nRecord);
    if (!pField) return false;
    const ReaderField& field = m_fields[size_t(nField)];
    const size_t nWidth = field.GetWidth();
    platform::DateTimeParts parts;
    uint32_t nMilliseconds = 0;
    if (field.GetType() == 'D') {
        const char* psz = reinterpret_cast<const char*>(pField);
        if (!DateFieldParts(std::string(psz, strnlen(psz, nWidth)), parts)) return false;
    } else if (field.GetType() == 'T') {
        if (nWidth < 8) return false;
        nMilliseconds = platform::GetLE32(pField + 4);
        if (!DateTimeFieldParts(int32_t(platform::GetLE32(pField)), nMilliseconds, parts)) return false;
    } else {
        return false;
    }
    // The day of the parts, as the text shows it (a time past midnight has
    // already carried into the next days).
    date.nJulianDay =
        int32_t(platform::DaysFromCivil(parts.nYear, parts.nMonth, parts.nDay) + platform::kJulianDayOfOleZero);
    date.nMilliseconds = nMilliseconds % 86400000u;
    return true;
}

bool CDBFFileReader::GetFieldByte(int nField, int32_t nRecord, uint8_t& nByte) {
    const uint8_t* pField = FieldBytes(nField, nRecord);
    if (!pField || m_fields[size_t(nField)].GetWidth() == 0) return false;
    nByte = pField[0];
    return true;
}

bool CDBFFileReader::GetFieldText(int nField, int32_t nRecord, std::string& strText, bool& bLogical) {
    strText.clear();
    bLogical = false;
    const uint8_t* pField = FieldBytes(nField, nRecord);
    if (!pField) return true;
    const ReaderField& field = m_fields[size_t(nField)];
    size_t nWidth = field.GetWidth();
    const char* pszField = reinterpret_cast<const char*>(pField);
    std::string strRaw(pszField, strnlen(pszField, nWidth));

    switch (field.GetType()) {
    case 'D':
        strText = DateText(strRaw);
        return true;
    case 'T':
        if (nWidth >= 8) strText = DateTimeText(int32_t(platform::GetLE32(pField)), platform::GetLE32(pField + 4));
        return true;
    case 'I': {
        if (nWidth < 4) return true;
        char sz[16];
        std::snprintf(sz, sizeof sz, "%d", int32_t(platform::GetLE32(pField)));
        strText = sz;
        return true;
    }
    case 'B':
        if (nWidth >= 8) strText = platform::FormatFixed(platform::GetLEDouble(pField), field.desc.decimals);
        return true;
    case 'Y':
        if (nWidth >= 8) strText = platform::FormatFixed(CurrencyValue(pField, field.desc.decimals), field.desc.decimals);
        return true;
    case 'L':
        strText = strRaw.substr(0, 1);
        bLogical = !strRaw.empty() && (strRaw[0] == 'T' || strRaw[0] == 'Y');
        return true;
    case 'M':
    case 'G':
        return MemoText(field, pField, strText);
    case '0': {
        uint64_t nValue = 0;
        int nDigits = 0;
        switch (nWidth) {
        case 2: nValue = platform::GetLE16(pField), nDigits = 4; break;
        case 4: nValue = platform::GetLE32(pField), nDigits = 8; break;
        case 8: nValue = platform::GetLE64(pField), nDigits = 16; break;
        default: return true;
        }
        if (nValue != 0) {
            char sz[24];
            std::snprintf(sz, sizeof sz, "0x%0*llX", nDigits, static_cast<unsigned long long>(nValue));
            strText = sz;
        }
        return true;
    }
    default:  // C, F, N and every other letter: the bytes as they are
        strText = std::move(strRaw);
        return true;
    }
}
