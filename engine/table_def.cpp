// Opening, validating and closing a table file, its memo file and its
// record and header I/O.
//
// Every number in a table header or descriptor comes from a file that may be
// damaged or not a table at all. Open therefore proves, before it keeps a
// table open, that the file is exactly as long as its header says, that at
// least one field exists and that every field lies inside the record. Code
// above this file relies on that: it reads a field at its displacement for
// its width without checking again.
#include "engine/table_def.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "engine/dbf_exception.h"
#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/smt_memo_file.h"

namespace fs = std::filesystem;

namespace dbf {

namespace {

constexpr uint16_t kVfpMinHeaderLength = 328;  // header, one descriptor, terminator, backlink
constexpr uint16_t kVfpHeaderOverhead = 296;   // header, terminator, backlink
constexpr uint16_t kHeaderOverhead = 33;       // header and terminator

// ASCII-only case folding: memo extensions and the names tables carry are
// plain ASCII, and a locale must not change which file a table finds.
char AsciiUpper(char c) { return c >= 'a' && c <= 'z' ? char(c - 'a' + 'A') : c; }
char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

bool EqualsIgnoringCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (AsciiUpper(a[i]) != AsciiUpper(b[i])) return false;
    return true;
}

// Position of the extension's '.' inside the file name part of a path, or
// npos. A '.' in a folder name is not an extension.
size_t ExtensionDot(const std::string& strPath) {
    size_t nSlash = strPath.rfind('/');
    size_t nDot = strPath.rfind('.');
    if (nDot == std::string::npos || (nSlash != std::string::npos && nDot < nSlash)) return std::string::npos;
    return nDot;
}

// The memo extension a table's version byte (and, for Visual FoxPro, its
// table flags and own extension) calls for, as its programs write it (upper
// case); null when the table has no memo file. A Visual FoxPro table whose
// memo flag is clear may still have one: bMemoFields asks for it.
const char* MemoExtension(const DBFHeader& header, const std::string& strTablePath, bool bMemoFields) {
    switch (header.version) {
    case verVisualFoxPro: {
        if (!(header.tableFlags & kTableFlagHasMemo) && !bMemoFields) return nullptr;
        size_t nDot = ExtensionDot(strTablePath);
        bool bContainer = nDot != std::string::npos && EqualsIgnoringCase(strTablePath.substr(nDot), ".DBC");
        return bContainer ? ".DCT" : ".FPT";
    }
    case verDBase3Memo:
    case verDBase4Table:
    case verDBase4Memo:
    case verDBase4SqlMemo: return ".DBT";
    case verSmtMemo: return ".SMT";
    case verFoxProMemo: return ".FPT";
    default: return nullptr;
    }
}

// The memo file object of a version that has one.
std::unique_ptr<CMemoFile> CreateMemoFile(uint8_t nVersion) {
    switch (nVersion) {
    case verDBase3Memo: return std::make_unique<CMemoFile>();
    case verDBase4Table:
    case verDBase4Memo:
    case verDBase4SqlMemo: return std::make_unique<CDBTMemoFile>();
    case verSmtMemo: return std::make_unique<CSMTMemoFile>();
    default: return std::make_unique<CFPTMemoFile>();  // FoxPro and Visual FoxPro
    }
}

// Tables copied from case-insensitive systems often carry "x.fpt" or
// "X.FPT" beside "x.dbf". The exact name wins; otherwise a file whose name
// differs only in letter case: the one with the table's base name and a
// lower-case extension first, then the first in byte order, so the choice
// never depends on the order the folder lists its files in.
std::string FindIgnoringCase(const std::string& strExact) {
    if (platform::CFile::Exists(strExact)) return strExact;
    fs::path path(strExact);
    std::string strName = path.filename().string();
    fs::path folder = path.parent_path();
    if (folder.empty()) folder = ".";

    std::string strLowerExt = strName;
    size_t nDot = strLowerExt.rfind('.');
    for (size_t i = nDot == std::string::npos ? strLowerExt.size() : nDot; i < strLowerExt.size(); ++i)
        strLowerExt[i] = AsciiLower(strLowerExt[i]);

    std::string strBest;
    std::error_code ec;
    for (fs::directory_iterator it(folder, ec), end; !ec && it != end; it.increment(ec)) {
        std::string strCandidate = it->path().filename().string();
        if (!EqualsIgnoringCase(strCandidate, strName)) continue;
        if (strCandidate == strLowerExt) {
            strBest = strCandidate;
            break;
        }
        if (strBest.empty() || strCandidate < strBest) strBest = strCandidate;
    }
    if (strBest.empty()) return strExact;
    return (path.parent_path() / strBest).string();
}

std::string AbsolutePath(const std::string& strPath) {
    std::error_code ec;
    fs::path absolute = fs::absolute(strPath, ec);
    return ec ? strPath : absolute.string();
}

}  // namespace

int DBFFieldList::FindField(std::string_view strName) const {
    for (int i = 0; i < m_nFields; ++i) {
        const DBFFieldDesc& desc = m_pDesc[i];
        if (std::string_view(desc.name, strnlen(desc.name, sizeof desc.name)) == strName) return i;
    }
    return -1;
}

CDBFTableDef::CDBFTableDef() = default;

CDBFTableDef::~CDBFTableDef() {
    Close();
    m_pOldHeader.reset();
    m_oldDescs.clear();
    m_fieldMap.clear();
    m_nStructMode = 0;
}

std::string CDBFTableDef::MemoPathFor(const std::string& strTablePath, const DBFHeader& header, bool bMemoFields) {
    const char* pszExtension = MemoExtension(header, strTablePath, bMemoFields);
    if (!pszExtension) return std::string();
    // A table name without an extension gets the memo extension appended,
    // as the structure writer does for its temporary and backup files.
    size_t nDot = ExtensionDot(strTablePath);
    std::string strBase = nDot == std::string::npos ? strTablePath : strTablePath.substr(0, nDot);
    std::string strMemo = FindIgnoringCase(strBase + pszExtension);
    // Without the flag the fields alone do not call for a memo file: only
    // one that is there is taken.
    const bool bFlagless = header.version == verVisualFoxPro && !(header.tableFlags & kTableFlagHasMemo);
    if (bFlagless && !platform::CFile::Exists(strMemo)) return std::string();
    return strMemo;
}

StructuralIndex CDBFTableDef::FindStructuralIndex(const std::string& strTablePath, const DBFHeader& header) {
    StructuralIndex index;
    if (!(header.tableFlags & 0x01)) return index;
    index.bFlagged = true;
    std::vector<const char*> extensions;
    switch (header.version) {
    case verVisualFoxPro: case verVisualFoxProAutoInc: case verVisualFoxProVar: case verFoxProMemo: case 0xFB:
        extensions = {".CDX"};
        break;
    case 0x04: case verDBase4Table: case verDBase4Memo: case verDBase4SqlMemo: case 0x43: case 0x63:
        extensions = {".MDX"};
        break;
    default: extensions = {".CDX", ".MDX"}; break;
    }
    size_t nDot = ExtensionDot(strTablePath);
    const std::string strBase = nDot == std::string::npos ? strTablePath : strTablePath.substr(0, nDot);
    for (const char* pszExtension : extensions) {
        std::string strPath = FindIgnoringCase(strBase + pszExtension);
        if (platform::CFile::Exists(strPath)) {
            index.strPath = strPath;
            index.bPresent = true;
            return index;
        }
    }
    index.strPath = FindIgnoringCase(strBase + extensions.back());
    return index;
}

void CDBFTableDef::OpenForSalvage(const std::string& strPath) {
    if (m_bOpen) return;
    m_bSalvage = true;
    try {
        Open(strPath, platform::shareDenyNone);
    } catch (...) {
        m_bSalvage = false;
        throw;
    }
    m_bSalvage = false;
}

void CDBFTableDef::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (m_bOpen) return;
    Close();
    m_damage = TableLengthDamage();
    m_nOpenFlags = nOpenFlags | platform::typeBinary;
    try {
        OpenChecked(strPath, nOpenFlags);
    } catch (const platform::CFileException&) {
        // A file that cannot be read leaves the table closed without an
        // error of its own; the caller sees IsOpen false.
        Close();
    } catch (...) {
        // Nothing of a refused table is kept, the file handle (and with it
        // the sharing lock) included.
        Close();
        throw;
    }
}

void CDBFTableDef::OpenChecked(const std::string& strPath, unsigned nOpenFlags) {
    m_strPath = AbsolutePath(strPath);
    if (!m_file.Open(m_strPath, m_nOpenFlags)) ThrowError(errCantOpenFile);
    if (m_file.Read(&m_header, sizeof m_header) < sizeof m_header) ThrowError(errReadHeader);

    const uint16_t nRecordLength = m_header.GetRecordLength();
    const uint16_t nHeaderLength = m_header.GetHeaderLength();
    if (nRecordLength < 2 || (m_header.GetRecordCount() < 0 && !m_bSalvage)) ThrowError(errNotDbfFile);
    CheckLength(m_file.GetLength());
    if (m_header.version == verVisualFoxPro && nHeaderLength < kVfpMinHeaderLength) ThrowError(errNoFields);

    ReadDescriptors();
    CheckFieldLayout();
    OpenMemo(nOpenFlags);
    m_index = FindStructuralIndex(m_strPath, m_header);

    m_record.assign(nRecordLength, 0);
    SyncFieldList();
    m_bOpen = true;
}

// The file is the header and the records, plus at most the end-of-file byte.
// 64-bit arithmetic: a count times a length must not wrap around into a size
// that happens to match. A salvage takes the records the file really holds
// instead, and notes what disagreed.
void CDBFTableDef::CheckLength(uint64_t nLength) {
    const uint64_t nRecordLength = m_header.GetRecordLength();
    const uint64_t nHeaderLength = m_header.GetHeaderLength();
    const int64_t nCount = m_header.GetRecordCount();
    const uint64_t nExpected = nHeaderLength + nRecordLength * uint64_t(std::max<int64_t>(nCount, 0));
    if (nCount >= 0 && nLength >= nExpected && nLength - nExpected <= 1) return;
    if (!m_bSalvage || nLength < nHeaderLength) ThrowError(errNotDbfFile);

    const uint64_t nByLength = (nLength - nHeaderLength) / nRecordLength;
    auto endOfFileAt = [&](uint64_t nPos) {
        uint8_t b = 0;
        return nPos < nLength && ReadFileAt(nPos, &b, 1) == 1 && b == kEndOfFile;
    };
    // Bytes after an end-of-file byte that follows the header's records are
    // no records: the header's count stands. Otherwise the file's length says
    // how many whole records there are.
    uint64_t nRead = nByLength;
    if (nCount >= 0 && nLength >= nExpected && endOfFileAt(nExpected)) nRead = uint64_t(nCount);
    if (nRead > uint64_t(INT32_MAX)) ThrowError(errNotDbfFile);
    const uint64_t nEnd = nHeaderLength + nRead * nRecordLength;
    m_damage.bDamaged = true;
    m_damage.nHeaderRecords = nCount;
    m_damage.nRecordsByLength = int64_t(nByLength);
    m_damage.nRecordsRead = int64_t(nRead);
    m_damage.nExtraBytes = nLength - nEnd - (endOfFileAt(nEnd) ? 1 : 0);
    m_header.SetRecordCount(int32_t(nRead));
}

void CDBFTableDef::ReadDescriptors() {
    const uint16_t nHeaderLength = m_header.GetHeaderLength();
    m_descs.clear();
    m_file.Seek(sizeof(DBFHeader), platform::SeekFrom::begin);
    if (m_header.version == verVisualFoxPro) {
        // Visual FoxPro sizes the list by the header length and reads it in
        // one go.
        const size_t nFields = (nHeaderLength - kVfpHeaderOverhead) / sizeof(DBFFieldDesc);
        m_descs.resize(nFields);
        if (m_file.Read(m_descs.data(), nFields * sizeof(DBFFieldDesc)) < nFields * sizeof(DBFFieldDesc)) {
            m_descs.clear();
            ThrowError(errReadFieldDesc);
        }
        // A header padded past its descriptors would otherwise turn the
        // terminator and the backlink into fields; no name starts with 0x0D.
        auto itEnd = std::find_if(m_descs.begin(), m_descs.end(), [](const DBFFieldDesc& d) {
            return uint8_t(d.name[0]) == kHeaderTerminator;
        });
        m_descs.erase(itEnd, m_descs.end());
        return;
    }
    // dBASE and FoxPro: the list ends at the terminator byte or where the
    // header ends, whichever comes first.
    const size_t nMax = nHeaderLength >= kHeaderOverhead ? (nHeaderLength - kHeaderOverhead) / sizeof(DBFFieldDesc) : 0;
    m_descs.reserve(nMax);
    for (size_t i = 0; i < nMax; ++i) {
        DBFFieldDesc desc;
        if (m_file.Read(&desc, sizeof desc) < sizeof desc) {
            m_descs.clear();
            ThrowError(errReadFieldDesc);
        }
        if (uint8_t(desc.name[0]) == kHeaderTerminator) break;
        m_descs.push_back(desc);
    }
}

// Proves that every field lies inside the record, so that no conversion
// ever reads or writes past a record buffer, and lays the fields out.
//
// dBASE and FoxPro tables: displacements on disk are not trusted at all
// (writers leave zeros or garbage there); fields follow each other from
// byte 1. Visual FoxPro tables: the stored displacements are used, unless one
// of them is 0. No field can start on the deletion flag, so such a table was
// written by a program that did not fill them in (mazovia.dbf counts them
// from 0); reading it as stored would shift every value by a byte and
// writing a field would overwrite the deletion flag.
void CDBFTableDef::CheckFieldLayout() {
    if (m_descs.empty()) ThrowError(errNoFields);
    const uint64_t nRecordLength = m_header.GetRecordLength();

    bool bRunning = m_header.version != verVisualFoxPro ||
                    std::any_of(m_descs.begin(), m_descs.end(), [](const DBFFieldDesc& d) {
                        return d.GetDisplacement() == 0;
                    });
    uint64_t nOffset = 1;
    for (DBFFieldDesc& desc : m_descs) {
        const uint64_t nWidth = desc.GetLayoutWidth();
        if (bRunning) desc.SetDisplacement(uint32_t(nOffset));
        if (uint64_t(desc.GetDisplacement()) + nWidth > nRecordLength) ThrowError(errNotDbfFile);
        nOffset += nWidth;
        // The widths together must fit too: for running displacements this
        // is the check above; stored ones could overlap instead.
        if (nOffset > nRecordLength) ThrowError(errNotDbfFile);
    }
}

void CDBFTableDef::OpenMemo(unsigned nOpenFlags) {
    const bool bMemoFields = std::any_of(m_descs.begin(), m_descs.end(), [](const DBFFieldDesc& d) {
        return d.type == 'M' || d.type == 'G' || d.type == 'P';
    });
    m_strMemoPath = MemoPathFor(m_strPath, m_header, bMemoFields);
    if (m_strMemoPath.empty()) return;
    m_pMemo = CreateMemoFile(m_header.version);
    // The memo file raises its own errors (3010-3012); a file error inside
    // its open leaves it closed, and its fields then read as empty.
    m_pMemo->Open(m_strMemoPath, nOpenFlags);
}

void CDBFTableDef::SyncFieldList() {
    m_fields.m_pDesc = m_descs.empty() ? nullptr : m_descs.data();
    m_fields.m_nFields = int(m_descs.size());
    m_fields.m_pRecord = m_record.empty() ? nullptr : m_record.data();
}

void CDBFTableDef::Close() {
    m_file.Close();
    if (m_pMemo && m_pMemo->IsOpen()) m_pMemo->Close();
    m_pMemo.reset();
    m_strMemoPath.clear();
    m_index = StructuralIndex();
    m_descs.clear();
    m_record.clear();
    m_retiredDescs.clear();
    m_fields.m_info = DBFFieldInfo();
    SyncFieldList();
    m_bOpen = false;
    m_bStructWritten = false;
}

bool CDBFTableDef::ChangeOpenMode(unsigned nOpenFlags) {
    const unsigned nNew = nOpenFlags | platform::typeBinary;
    if (nNew == m_nOpenFlags) return true;
    const unsigned nOld = m_nOpenFlags;

    auto reopenMemo = [this](unsigned nFlags) {
        m_pMemo->Close();
        try {
            m_pMemo->Open(m_strMemoPath, nFlags);
        } catch (const CDBFException&) {
            return false;
        }
        return m_pMemo->IsOpen();
    };
    auto reopenTable = [this](unsigned nFlags) {
        m_file.Close();
        return m_file.Open(m_strPath, nFlags);
    };

    const bool bMemo = m_pMemo && m_pMemo->IsOpen();
    if (bMemo && !reopenMemo(nNew)) {
        if (!reopenMemo(nOld)) ThrowError(errCantOpenMemo);
        return false;
    }
    if (!reopenTable(nNew)) {
        if (!reopenTable(nOld)) {
            // The table file is gone from under us; the buffers stay for the
            // cursors that point at them, but nothing may be read any more.
            m_bOpen = false;
            ThrowError(errCantOpenFile);
        }
        // The memo file goes back to the mode of its table, or a read-only
        // table would keep a writable memo file.
        if (bMemo && !reopenMemo(nOld)) ThrowError(errCantOpenMemo);
        return false;
    }
    m_nOpenFlags = nNew;
    return true;
}

const DBFFieldDesc& CDBFTableDef::GetFieldDesc(int nIndex) const {
    if (nIndex < 0 || nIndex >= m_fields.m_nFields) ThrowError(errOutOfRange);
    return m_fields.m_pDesc[nIndex];
}

DBFFieldInfo CDBFTableDef::GetFieldInfo(int nIndex) {
    const DBFFieldDesc& desc = GetFieldDesc(nIndex);
    DBFFieldInfo& info = m_fields.m_info;
    info.strName = desc.GetName();
    info.cType = desc.type;
    if (desc.HasDecimals()) {
        info.nWidth = desc.width;
        info.nDecimals = desc.decimals;
    } else {
        info.nWidth = desc.width | (desc.decimals << 8);
        info.nDecimals = 0;
    }
    return info;
}

void CDBFTableDef::ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText) {
    if (m_pMemo) m_pMemo->ReadMemoText(nBlock, nLength, strText);
}

void CDBFTableDef::ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes) {
    if (m_pMemo) m_pMemo->ReadMemoBinary(nBlock, nLength, bytes);
}

void CDBFTableDef::WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText) {
    if (m_pMemo) m_pMemo->WriteMemo(nBlock, nLength, strText);
}

uint64_t CDBFTableDef::RecordOffset(int32_t nRecord) const {
    return uint64_t(m_header.GetHeaderLength()) + uint64_t(nRecord) * m_header.GetRecordLength();
}

// A read that came back short: outside the file (or inside the header) is
// "Out of range.", anything else a read error.
void CDBFTableDef::FailedRead(uint64_t nPos, uint64_t nBytes) {
    uint64_t nLength = 0;
    try {
        nLength = m_file.GetLength();
    } catch (const platform::CFileException&) {
        ThrowError(errReadRecord);
    }
    if (nPos < sizeof(DBFHeader) || nLength < nPos + nBytes) ThrowError(errOutOfRange);
    ThrowError(errReadRecord);
}

void CDBFTableDef::ReadRecord(int32_t nRecord, uint8_t* pBuffer) { ReadRecords(nRecord, 1, pBuffer); }

size_t CDBFTableDef::ReadFileAt(uint64_t nPos, void* pBuffer, size_t nCount) {
    m_file.Seek(int64_t(nPos), platform::SeekFrom::begin);
    return m_file.Read(pBuffer, nCount);
}

void CDBFTableDef::WriteFileAt(uint64_t nPos, const void* pBuffer, size_t nCount) {
    m_file.Seek(int64_t(nPos), platform::SeekFrom::begin);
    m_file.Write(pBuffer, nCount);
}

void CDBFTableDef::ReadRecords(int32_t nFirst, int32_t nCount, uint8_t* pBuffer) {
    if (nFirst < 0 || nCount < 0) ThrowError(errOutOfRange);
    const uint64_t nPos = RecordOffset(nFirst);
    const uint64_t nBytes = uint64_t(nCount) * m_header.GetRecordLength();
    size_t nRead = 0;
    try {
        m_file.Seek(int64_t(nPos), platform::SeekFrom::begin);
        nRead = m_file.Read(pBuffer, size_t(nBytes));
    } catch (const platform::CFileException&) {
        ThrowError(errReadRecord);
    }
    if (nRead < nBytes) FailedRead(nPos, nBytes);
}

void CDBFTableDef::WriteRecord(int32_t nRecord, const uint8_t* pBuffer) {
    if (m_damage.bDamaged) ThrowError(errReadOnlyTable);
    // A number below 0 would land in the header, one beyond the count would
    // leave a hole of zero bytes that reads back as a record.
    if (nRecord < 0 || nRecord > m_header.GetRecordCount()) ThrowError(errOutOfRange);
    try {
        m_file.Seek(int64_t(RecordOffset(nRecord)), platform::SeekFrom::begin);
        m_file.Write(pBuffer, m_header.GetRecordLength());
    } catch (const platform::CFileException&) {
        ThrowError(errSaveRecord);
    }
}

bool CDBFTableDef::ReadHeader() {
    // A salvaged table keeps the count of the records it really holds.
    if (m_damage.bDamaged) return true;
    DBFHeader header;
    size_t nRead = 0;
    try {
        m_file.SeekToBegin();
        nRead = m_file.Read(&header, sizeof header);
    } catch (const platform::CFileException&) {
        ThrowError(errWriteHeader);
    }
    if (nRead < sizeof header) return false;
    // Another program may have raised the count; anything else changing
    // under an open table (layout, a negative count) means the file is no
    // longer the table whose buffers we hold.
    if (header.GetHeaderLength() != m_header.GetHeaderLength() ||
        header.GetRecordLength() != m_header.GetRecordLength() || header.GetRecordCount() < 0)
        ThrowError(errNotDbfFile);
    m_header = header;
    return true;
}

void CDBFTableDef::WriteHeader() {
    // A salvaged header states a count the file's header does not.
    if (m_damage.bDamaged) ThrowError(errReadOnlyTable);
    try {
        m_file.SeekToBegin();
        m_file.Write(&m_header, sizeof m_header);
    } catch (const platform::CFileException&) {
        ThrowError(errWriteHeader);
    }
}

int32_t CDBFTableDef::AppendRecord(const uint8_t* pBuffer) {
    if (m_damage.bDamaged) ThrowError(errReadOnlyTable);
    if (!ReadHeader()) ThrowError(errWriteHeader);
    const int32_t nCount = m_header.GetRecordCount();
    if (nCount == INT32_MAX) ThrowError(errSaveRecord);
    WriteRecord(nCount, pBuffer);
    m_header.SetRecordCount(nCount + 1);
    WriteHeader();
    return nCount;
}

}  // namespace dbf
