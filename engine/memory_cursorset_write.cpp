// Everything the memory cursor set writes: Save (in place), Pack (a new
// file that takes the table's place), the dBASE III and Visual FoxPro
// copies, and the code-page conversion of the records in memory.
//
// The promise of each: if a write fails, the table on disk is either as it
// was or kept whole in "x.bak", and the error says which.
//   - Save writes into the table file itself, because other programs may
//     have it open and must go on seeing it. It first copies the file to
//     "x.bak" (and, on the way, finds the records whose bytes differ from
//     memory); then it writes just those records, the appended ones and the
//     header. A failed write is undone from the backup; if that fails too,
//     the error names the backup.
//   - Pack writes the live records to "x._tmp", and only a complete file
//     takes the table's name (CDBFTableDef::ReplaceFileWith).
//   - The copies are new files: a failed one is removed.
// Save and Pack also refuse to write over a file that is no longer the one
// loaded (another program appended records): the caller decides.
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/field_copy.h"
#include "engine/field_io.h"
#include "engine/memory_cursorset.h"
#include "platform/core/code_page.h"
#include "platform/core/value_coercion.h"

namespace dbf {

namespace {

constexpr size_t kChunkBytes = 1 << 20;  // bytes read, compared or written at a time
constexpr unsigned kCreateFlags =
    platform::modeCreate | platform::shareExclusive | platform::modeReadWrite | platform::typeBinary;
constexpr unsigned kReadOnlyFlags = platform::shareDenyNone | platform::typeBinary;

// The flag a file receives for a flag in memory.
uint8_t DiskFlag(uint8_t nFlag) {
    return nFlag == flagDeletedOnDisk || nFlag == flagDeleted ? uint8_t(flagDeletedOnDisk) : uint8_t(flagLive);
}

void RemoveQuietly(const std::string& strPath) {
    try {
        if (platform::CFile::Exists(strPath)) platform::CFile::Remove(strPath);
    } catch (const platform::CFileException&) {
    }
}

// Records [nFirst, nFirst + nCount) that differ from the file.
struct Run {
    int32_t nFirst;
    int32_t nCount;
};

// Copies [nFrom, nTo) of one file to the same place in another; 3021 when
// the first one ends before nTo.
void CopyRange(platform::CFile& from, platform::CFile& to, uint64_t nFrom, uint64_t nTo, std::vector<uint8_t>& buffer) {
    if (!CopyFileRange(from, to, nFrom, nTo, buffer)) ThrowError(errChangedOnDisk);
}

}  // namespace

void CDBFMemoryCursorset::DiskRecord(uint32_t nSlot, uint8_t* pOut) {
    const uint8_t* pRecord = SlotRecord(nSlot);
    std::memcpy(pOut, pRecord, m_nRecordLength);
    pOut[0] = DiskFlag(pRecord[0]);
}

bool CDBFMemoryCursorset::DiskState::IsSameTable(const DiskState& other) const {
    if (nLength != other.nLength || headerArea.size() != other.headerArea.size()) return false;
    if (headerArea.size() < sizeof(DBFHeader)) return headerArea == other.headerArea;
    // Everything but the date (bytes 1-3): a save writes the header it
    // loaded back whole, so any other byte another program changed (the
    // version, the table flags, the code-page mark, the descriptors and what
    // follows them) would be overwritten.
    return headerArea[0] == other.headerArea[0] &&
           std::equal(headerArea.begin() + 4, headerArea.end(), other.headerArea.begin() + 4);
}

CDBFMemoryCursorset::DiskState CDBFMemoryCursorset::ReadDiskState() {
    DiskState state;
    state.nLength = m_pTableDef->GetFileLength();
    state.headerArea.resize(m_header.GetHeaderLength());
    state.headerArea.resize(m_pTableDef->ReadFileAt(0, state.headerArea.data(), state.headerArea.size()));
    return state;
}

CDBFMemoryCursorset::DiskState CDBFMemoryCursorset::CheckWritable(OnDiskChange eChange) {
    if (!IsOpen()) ThrowError(errCantOpenFile);
    if ((m_pTableDef->GetOpenFlags() & 3) == platform::modeRead || m_pTableDef->IsSalvaged())
        ThrowError(errReadOnlyTable);
    DiskState state = ReadDiskState();
    if (eChange == OnDiskChange::refuse && !state.IsSameTable(m_diskState)) ThrowError(errChangedOnDisk);
    return state;
}

std::vector<uint8_t> CDBFMemoryCursorset::NewHeaderArea(int32_t nCount) {
    std::vector<uint8_t> area = m_diskState.headerArea;
    const size_t nDescBytes = size_t(m_fields.m_nFields) * sizeof(DBFFieldDesc);
    // The open proved the descriptors and the terminator fit the header.
    if (area.size() < sizeof(DBFHeader) + nDescBytes + 1) ThrowError(errBadStructure);
    DBFHeader header = m_header;
    StampLastUpdate(header);
    header.SetRecordCount(nCount);
    std::memcpy(area.data(), &header, sizeof header);
    std::memcpy(area.data() + sizeof header, m_fields.m_pDesc, nDescBytes);
    area[sizeof header + nDescBytes] = kHeaderTerminator;
    return area;
}

// The table file as it is now, copied to the backup (an older backup is
// replaced).
void CDBFMemoryCursorset::MakeBackup(const std::string& strBackup) {
    if (platform::CFile::Exists(strBackup)) platform::CFile::Remove(strBackup);
    platform::CFile backup;
    if (!backup.Open(strBackup, kCreateFlags)) dbf::ThrowError(errCantCreateFile, strBackup);
    // The sync at the end of the save takes the backup with it on most file
    // systems (its new blocks are part of the same journal commit): handing
    // it to the disk while it is copied leaves little to wait for then.
    backup.SetWriteBehind(true);
    try {
        std::vector<uint8_t> buffer(kChunkBytes);
        CopyRange(m_pTableDef->GetFile(), backup, 0, m_pTableDef->GetFileLength(), buffer);
    } catch (...) {
        backup.Close();
        RemoveQuietly(strBackup);
        throw;
    }
}

void CDBFMemoryCursorset::PrepareSave(OnDiskChange eChange) {
    DiskState state = CheckWritable(eChange);
    m_strPreparedBackup.clear();
    const std::string strBackup = m_pTableDef->BackupPath();
    MakeBackup(strBackup);
    m_strPreparedBackup = strBackup;
    m_preparedState = std::move(state);
}

bool CDBFMemoryCursorset::Save(OnDiskChange eChange) {
    const DiskState state = CheckWritable(eChange);
    // A backup made ahead of the save serves if the table is still the one
    // it copied.
    if (m_strPreparedBackup.empty() || !platform::CFile::Exists(m_strPreparedBackup) ||
        !state.IsSameTable(m_preparedState)) {
        m_strPreparedBackup.clear();
        const std::string strBackup = m_pTableDef->BackupPath();
        MakeBackup(strBackup);
        m_strPreparedBackup = strBackup;
    }
    const std::string strBackup = std::move(m_strPreparedBackup);
    m_strPreparedBackup.clear();
    std::vector<uint8_t> area = NewHeaderArea(int32_t(SlotCount()));
    DiskState saved = WriteInPlace(area, state, strBackup, eChange == OnDiskChange::overwrite);

    // Memory now says what the file says.
    for (uint32_t nSlot = 0, nSlots = SlotCount(); nSlot < nSlots; ++nSlot) {
        uint8_t* pRecord = SlotRecord(nSlot);
        pRecord[0] = DiskFlag(pRecord[0]);
    }
    // Every record is now in the file, the appended ones too: later edits
    // of any of them are changes the next save must write.
    m_changed.assign(SlotCount(), 0);
    DBFHeader header;
    std::memcpy(&header, area.data(), sizeof header);
    m_header = header;
    m_pTableDef->SetHeader(header);
    m_diskState = std::move(saved);
    ReleaseReplacedMemos();
    return true;
}

// The memos replaced while they were kept go back to the memo file's free
// space once no record in memory points at them any more.
void CDBFMemoryCursorset::ReleaseReplacedMemos() {
    CMemoFile* pMemo = m_pTableDef->GetMemo();
    if (!pMemo || pMemo->GetReplaced().empty()) return;
    std::vector<uint32_t> referenced;
    FieldValue value;
    for (uint32_t nSlot = 0, nSlots = SlotCount(); nSlot < nSlots; ++nSlot) {
        const std::span<const uint8_t> record(SlotRecord(nSlot), m_nRecordLength);
        for (int i = 0; i < m_fields.m_nFields; ++i) {
            if (m_fields.m_pDesc[i].type != 'M') continue;
            ReadFieldValue(record, m_fields.m_pDesc[i], value);
            if (const uint32_t nBlock = MemoBlockOf(value)) referenced.push_back(nBlock);
        }
    }
    std::sort(referenced.begin(), referenced.end());
    pMemo->ReleaseReplaced(
        [&](uint32_t nBlock) { return !std::binary_search(referenced.begin(), referenced.end(), nBlock); });
}

CDBFMemoryCursorset::DiskState CDBFMemoryCursorset::WriteInPlace(const std::vector<uint8_t>& area,
                                                                const DiskState& before,
                                                                const std::string& strBackup, bool bAllDiffering) {
    const uint64_t nHeader = m_header.GetHeaderLength();
    const size_t nRecord = m_nRecordLength;
    const int32_t nNew = int32_t(SlotCount());
    const uint64_t nOldLength = m_pTableDef->GetFileLength();
    const uint64_t nOldRecords = nOldLength > nHeader ? (nOldLength - nHeader) / nRecord : 0;
    const int32_t nOverlap = int32_t(std::min<uint64_t>(nOldRecords, uint64_t(nNew)));
    const uint64_t nTail = nHeader + uint64_t(nOverlap) * nRecord;  // where the old file's records stop overlapping
    const size_t nHeadBytes = sizeof(DBFHeader) + size_t(m_fields.m_nFields) * sizeof(DBFFieldDesc) + 1;
    const int32_t nChunk = int32_t(std::max<size_t>(1, kChunkBytes / nRecord));
    std::vector<uint8_t> buffer(size_t(nChunk) * nRecord);

    // 1. The records to write: those changed in memory; when told to make
    // the file what memory holds, every record that differs from it.
    std::vector<Run> runs;
    auto add = [&runs](int32_t n) {
        if (!runs.empty() && runs.back().nFirst + runs.back().nCount == n) {
            ++runs.back().nCount;
        } else {
            runs.push_back({n, 1});
        }
    };
    if (bAllDiffering) {
        for (int32_t nFirst = 0; nFirst < nOverlap; nFirst += nChunk) {
            const int32_t n = std::min(nChunk, nOverlap - nFirst);
            const size_t nBytes = size_t(n) * nRecord;
            if (m_pTableDef->ReadFileAt(nHeader + uint64_t(nFirst) * nRecord, buffer.data(), nBytes) < nBytes)
                ThrowError(errChangedOnDisk);
            for (int32_t i = 0; i < n; ++i) {
                const uint8_t* pOld = buffer.data() + size_t(i) * nRecord;
                const uint8_t* pNew = SlotRecord(uint32_t(nFirst + i));
                if (pOld[0] != DiskFlag(pNew[0]) || std::memcmp(pOld + 1, pNew + 1, nRecord - 1) != 0) add(nFirst + i);
            }
        }
    } else {
        const int32_t nChanged = int32_t(std::min<size_t>(m_changed.size(), size_t(nOverlap)));
        for (int32_t n = 0; n < nChanged; ++n)
            if (m_changed[size_t(n)]) add(n);
    }

    // What the header area will hold: what is written of it, and past that
    // what is there now.
    if (before.headerArea.size() < nHeader) ThrowError(errChangedOnDisk);
    DiskState saved;
    saved.nLength = nHeader + uint64_t(nNew) * nRecord + 1;
    saved.headerArea = before.headerArea;
    std::copy(area.begin(), area.begin() + long(nHeadBytes), saved.headerArea.begin());

    // 2. The changed records, the appended ones, the end-of-file byte, the
    // header and the length, then all of it to disk: a failure is undone
    // from the backup.
    auto writeRecords = [&](int32_t nFirst, int32_t nCount) {
        for (int32_t nDone = 0; nDone < nCount;) {
            const int32_t n = std::min(nChunk, nCount - nDone);
            for (int32_t i = 0; i < n; ++i) DiskRecord(uint32_t(nFirst + nDone + i), buffer.data() + size_t(i) * nRecord);
            m_pTableDef->WriteFileAt(nHeader + uint64_t(nFirst + nDone) * nRecord, buffer.data(), size_t(n) * nRecord);
            nDone += n;
        }
    };
    try {
        for (const Run& run : runs) writeRecords(run.nFirst, run.nCount);
        writeRecords(nOverlap, nNew - nOverlap);
        const uint8_t nEnd = kEndOfFile;
        m_pTableDef->WriteFileAt(nHeader + uint64_t(nNew) * nRecord, &nEnd, 1);
        m_pTableDef->WriteFileAt(0, area.data(), nHeadBytes);
        m_pTableDef->SetFileLength(nHeader + uint64_t(nNew) * nRecord + 1);
        m_pTableDef->GetFile().Flush();
    } catch (const platform::CFileException&) {
        try {
            platform::CFile backup;
            if (!backup.Open(strBackup, kReadOnlyFlags)) throw platform::CFileException(EIO, strBackup, "open");
            platform::CFile& table = m_pTableDef->GetFile();
            for (const Run& run : runs)
                CopyRange(backup, table, nHeader + uint64_t(run.nFirst) * nRecord,
                          nHeader + uint64_t(run.nFirst + run.nCount) * nRecord, buffer);
            CopyRange(backup, table, nTail, nOldLength, buffer);
            CopyRange(backup, table, 0, nHeader, buffer);
            table.SetLength(nOldLength);
        } catch (...) {
            dbf::ThrowError(errKeptInBackup, strBackup);
        }
        throw;
    }
    return saved;
}

bool CDBFMemoryCursorset::Pack(OnDiskChange eChange) {
    CheckWritable(eChange);
    std::vector<uint32_t> live;
    for (uint32_t nSlot = 0, nSlots = SlotCount(); nSlot < nSlots; ++nSlot) {
        if (DiskFlag(SlotRecord(nSlot)[0]) == flagLive) live.push_back(nSlot);
    }
    const std::vector<uint8_t> area = NewHeaderArea(int32_t(live.size()));
    const size_t nRecord = m_nRecordLength;
    const std::string strPath = GetFilePath();
    const unsigned nFlags = m_pTableDef->GetOpenFlags();
    const std::string strTemporary = m_pTableDef->TemporaryPath();

    RemoveQuietly(strTemporary);
    platform::CFile target;
    if (!target.Open(strTemporary, kCreateFlags)) dbf::ThrowError(errCantCreateFile, strTemporary);
    target.SetWriteBehind(true);
    try {
        target.Write(area.data(), area.size());
        const size_t nChunk = std::max<size_t>(1, kChunkBytes / nRecord);
        std::vector<uint8_t> buffer(nChunk * nRecord);
        for (size_t nFirst = 0; nFirst < live.size(); nFirst += nChunk) {
            const size_t n = std::min(nChunk, live.size() - nFirst);
            for (size_t i = 0; i < n; ++i) {
                uint8_t* pOut = buffer.data() + i * nRecord;
                std::memcpy(pOut, SlotRecord(live[nFirst + i]), nRecord);
                pOut[0] = flagLive;
            }
            target.Write(buffer.data(), n * nRecord);
        }
        const uint8_t nEnd = kEndOfFile;
        target.Write(&nEnd, 1);
        target.Flush();
        target.Close();
    } catch (...) {
        target.Close();
        RemoveQuietly(strTemporary);
        throw;
    }

    try {
        m_pTableDef->ReplaceFileWith(strTemporary);
    } catch (const CDBFException&) {
        // Renamed but not reopened, or not known to be on disk: what memory
        // holds no longer matches any file for certain.
        Close();
        throw;
    }
    // The packed file is loaded again; the filter stays, as with every Close.
    Close();
    Open(strPath, nFlags);
    if (!IsOpen()) ThrowError(errCantOpenFile);
    return true;
}

// The export copies.

namespace {

// The descriptor a field gets in a copy of another dialect.
DBFFieldDesc CopyDescriptor(const DBFFieldDesc& from, bool bVisualFoxPro) {
    DBFFieldDesc desc = from;
    auto become = [&](char cType, unsigned nWidth, unsigned nDecimals) {
        desc.type = cType;
        desc.width = uint8_t(nWidth & 0xFF);
        desc.decimals = uint8_t(cType == 'C' ? nWidth >> 8 : nDecimals);
        desc.flags = 0;
    };
    switch (from.type) {
    case 'C': case 'D': case 'L': case 'F': case 'N': break;
    case 'M': become('C', 255, 0); break;
    case 'B':
        // An 8-byte B is a double; any other width is a binary memo, which a
        // copy without memo file cannot hold.
        if (from.width != 8) become('C', 10, 0);
        else if (!bVisualFoxPro) become('F', 16, 4);
        break;
    case 'I': if (!bVisualFoxPro) become('N', 12, 0); break;
    case 'Y': if (!bVisualFoxPro) become('F', 16, 4); break;
    case 'T': if (!bVisualFoxPro) become('D', 8, 0); break;
    case '0': if (!bVisualFoxPro) become('C', 10, 0); break;
    default: become('C', 10, 0); break;
    }
    if (!bVisualFoxPro) desc.flags = 0;
    return desc;
}

}  // namespace

bool CDBFMemoryCursorset::ExportDBase3(const std::string& strPath) { return Export(strPath, false); }

bool CDBFMemoryCursorset::ExportVisualFoxPro(const std::string& strPath) { return Export(strPath, true); }

bool CDBFMemoryCursorset::Export(const std::string& strPath, bool bVisualFoxPro) {
    if (!IsOpen()) return false;
    m_lastCuts.clear();
    const int nFields = m_fields.m_nFields;
    std::vector<DBFFieldDesc> descs(static_cast<size_t>(nFields));
    uint64_t nRecord = 1;
    for (int i = 0; i < nFields; ++i) {
        descs[size_t(i)] = CopyDescriptor(m_fields.m_pDesc[i], bVisualFoxPro);
        descs[size_t(i)].SetDisplacement(uint32_t(nRecord));
        nRecord += descs[size_t(i)].GetLayoutWidth();
    }
    const uint64_t nHeader = uint64_t(nFields) * sizeof(DBFFieldDesc) + (bVisualFoxPro ? 296 : 33);
    if (nRecord > UINT16_MAX || nHeader > UINT16_MAX)
        dbf::ThrowError(errBadStructure, "(records or header of the copy longer than 65,535 bytes)");
    // Fields of width 0 only: no table opens with records of a single byte.
    if (nRecord < 2) dbf::ThrowError(errBadStructure, "(the fields of the copy hold no bytes)");

    DBFHeader header{};
    header.version = bVisualFoxPro ? verVisualFoxPro : verDBase3;
    StampLastUpdate(header);
    header.SetRecordCount(int32_t(m_visible.size()));
    header.SetHeaderLength(uint16_t(nHeader));
    header.SetRecordLength(uint16_t(nRecord));
    // The copy's bytes are the table's, so its mark says what they are in
    // either dialect. Table flags stay 0: no memo file and no index.
    header.codePageMark = m_header.codePageMark;
    std::vector<uint8_t> area(nHeader, 0);
    std::memcpy(area.data(), &header, sizeof header);
    std::memcpy(area.data() + sizeof header, descs.data(), descs.size() * sizeof(DBFFieldDesc));
    area[sizeof header + descs.size() * sizeof(DBFFieldDesc)] = kHeaderTerminator;

    // Never over the table or its memo file, nor over a file someone holds:
    // the rename below would take it from under them.
    const std::string& strMemo = m_pTableDef->GetMemoPath();
    auto isSource = [&](const std::string& strName) {
        return strName == GetFilePath() || platform::CFile::SameFile(strName, GetFilePath()) ||
               (!strMemo.empty() && (strName == strMemo || platform::CFile::SameFile(strName, strMemo)));
    };
    if (isSource(strPath)) return false;
    if (platform::CFile::Exists(strPath)) {
        platform::CFile probe;
        constexpr unsigned kAlone = platform::modeReadWrite | platform::shareExclusive | platform::typeBinary;
        if (!probe.Open(strPath, kAlone)) return false;
    }
    const std::string strSibling = CDBFTableDef::SiblingPath(strPath, "._tmp");
    std::string strTemporary = strSibling;
    auto isTaken = [&](const std::string& strName) {
        return strName == strPath || platform::CFile::SameFile(strName, strPath) || isSource(strName);
    };
    for (int n = 1; isTaken(strTemporary); ++n) strTemporary = strSibling + std::to_string(n);
    RemoveQuietly(strTemporary);
    if (!WriteCopy(strTemporary, descs, area, size_t(nRecord))) return false;
    try {
        platform::CFile::Replace(strTemporary, strPath);
    } catch (...) {
        RemoveQuietly(strTemporary);
        throw;
    }
    platform::CFile::SyncFolderOf(strPath);
    return true;
}

bool CDBFMemoryCursorset::WriteCopy(const std::string& strPath, const std::vector<DBFFieldDesc>& descs,
                                    const std::vector<uint8_t>& area, size_t nRecord) {
    const int nFields = int(descs.size());
    platform::CFile out;
    if (!out.Open(strPath, kCreateFlags)) return false;
    out.SetWriteBehind(true);
    std::vector<int64_t> cuts(descs.size(), 0);
    try {
        out.Write(area.data(), area.size());
        CFieldCopier copier(*m_pTableDef, m_fields.m_pDesc, nFields, descs.data(), nFields, nullptr);
        copier.CountCuts(&cuts);
        const size_t nChunk = std::max<size_t>(1, kChunkBytes / nRecord);
        std::vector<uint8_t> buffer(nChunk * nRecord);
        for (size_t nFirst = 0; nFirst < m_visible.size(); nFirst += nChunk) {
            const size_t n = std::min(nChunk, m_visible.size() - nFirst);
            for (size_t i = 0; i < n; ++i) {
                const uint32_t nSlot = m_visible[nFirst + i];
                const uint8_t* pFrom = SlotRecord(nSlot);
                std::span<uint8_t> to(buffer.data() + i * nRecord, nRecord);
                copier.Copy(std::span<const uint8_t>(pFrom, m_nRecordLength), to, int32_t(nSlot));
                to[0] = DiskFlag(pFrom[0]);
            }
            out.Write(buffer.data(), n * nRecord);
        }
        const uint8_t nEnd = kEndOfFile;
        out.Write(&nEnd, 1);
        out.Flush();
        out.Close();
    } catch (...) {
        out.Close();
        RemoveQuietly(strPath);
        throw;
    }
    for (int i = 0; i < nFields; ++i)
        if (cuts[size_t(i)]) m_lastCuts.push_back({i, m_fields.m_pDesc[i].GetName(), cuts[size_t(i)]});
    return true;
}

std::vector<CDBFMemoryCursorset::ExportCut> CDBFMemoryCursorset::CountExportCuts(bool bVisualFoxPro) {
    std::vector<ExportCut> cuts;
    if (!IsOpen()) return cuts;
    FieldValue ref;
    std::string strText;
    for (int i = 0; i < m_fields.m_nFields; ++i) {
        const DBFFieldDesc& desc = m_fields.m_pDesc[i];
        const DBFFieldDesc copy = CopyDescriptor(desc, bVisualFoxPro);
        if (desc.type != 'M' || copy.type != 'C') continue;
        const size_t nWidth = copy.GetLayoutWidth();
        int64_t nCut = 0;
        for (const uint32_t nSlot : m_visible) {
            ReadFieldValue(std::span<const uint8_t>(SlotRecord(nSlot), m_nRecordLength), desc, ref);
            uint32_t nLength = 0;
            const uint32_t nBlock = MemoBlockOf(ref, &nLength);
            if (nBlock == 0) continue;
            m_pTableDef->ReadMemoText(nBlock, nLength, strText);
            if (strText.size() > nWidth) ++nCut;
        }
        if (nCut) cuts.push_back({i, desc.GetName(), nCut});
    }
    return cuts;
}

// Code pages.

void CDBFMemoryCursorset::ConvertOemToAnsi() { ConvertText(platform::OemToAnsiTable()); }

void CDBFMemoryCursorset::ConvertAnsiToOem() { ConvertText(platform::AnsiToOemTable()); }

void CDBFMemoryCursorset::ConvertOemToAnsi(const platform::CCodePage& oem, const platform::CCodePage& ansi) {
    ConvertText(platform::CCodePageConverter(oem, ansi));
}

void CDBFMemoryCursorset::ConvertAnsiToOem(const platform::CCodePage& oem, const platform::CCodePage& ansi) {
    ConvertText(platform::CCodePageConverter(ansi, oem));
}

// Each C field's text (up to its first NUL, trailing white space trimmed
// unless the field is flagged binary) goes through the translation; the rest
// of the field becomes spaces, as writing the text back would leave it. A
// loaded record whose bytes change is one Save writes.
void CDBFMemoryCursorset::ConvertText(const platform::CCodePageConverter& table) {
    if (!IsOpen()) return;
    std::vector<int> textFields;
    for (int i = 0; i < m_fields.m_nFields; ++i)
        if (m_fields.m_pDesc[i].type == 'C') textFields.push_back(i);
    if (textFields.empty()) return;
    const uint8_t* pTable = table.GetTable();
    for (uint32_t nSlot = 0, nSlots = SlotCount(); nSlot < nSlots; ++nSlot) {
        uint8_t* pRecord = SlotRecord(nSlot);
        bool bChanged = false;
        for (int i : textFields) {
            const DBFFieldDesc& desc = m_fields.m_pDesc[i];
            uint8_t* p = pRecord + desc.GetDisplacement();
            const size_t nWidth = desc.GetLayoutWidth();
            size_t n = strnlen(reinterpret_cast<const char*>(p), nWidth);
            if (desc.flags != kFieldFlagBinary)
                while (n > 0 && platform::IsAsciiSpace(char(p[n - 1]))) --n;
            for (size_t k = 0; k < n; ++k) {
                const uint8_t b = pTable[p[k]];
                bChanged = bChanged || b != p[k];
                p[k] = b;
            }
            for (size_t k = n; k < nWidth; ++k) {
                bChanged = bChanged || p[k] != ' ';
                p[k] = ' ';
            }
        }
        if (bChanged) MarkChanged(nSlot);
    }
}

}  // namespace dbf
