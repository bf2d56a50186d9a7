// Creating tables and changing their structure: the field-list operations
// of the structure editor and the writing of a new structure.
//
// A restructure never writes into the table it reads. The records go,
// converted field by field, into "x._tmp"; only when that file is complete
// does the table become "x.bak" and the temporary file "x.dbf". Until the
// first rename nothing of the table has changed, so every failure before it
// (a full disk, a value its new field cannot hold) removes the temporary
// file and leaves the table and the structure being edited as they were.
#include <algorithm>
#include <cerrno>
#include <cstring>

#include "engine/dbf_exception.h"
#include "engine/field_copy.h"
#include "engine/field_io.h"
#include "engine/table_def.h"

namespace dbf {

namespace {

constexpr unsigned kCreateFlags = platform::modeCreate | platform::shareExclusive | platform::modeReadWrite;
constexpr uint16_t kHeaderOverhead = 33;     // header and terminator
constexpr uint16_t kVfpHeaderOverhead = 296; // header, terminator and the database backlink
constexpr size_t kCopyChunk = 1 << 20;       // bytes of records read or written at a time

// Removes a file we made and no longer want; a failure to remove it must not
// hide the error that made us give it up.
void RemoveQuietly(const std::string& strPath) {
    try {
        if (platform::CFile::Exists(strPath)) platform::CFile::Remove(strPath);
    } catch (const platform::CFileException&) {
    }
}

}  // namespace

bool CopyFileRange(platform::CFile& from, platform::CFile& to, uint64_t nFrom, uint64_t nTo,
                   std::vector<uint8_t>& buffer) {
    for (uint64_t nPos = nFrom; nPos < nTo;) {
        const size_t n = size_t(std::min<uint64_t>(buffer.size(), nTo - nPos));
        from.Seek(int64_t(nPos), platform::SeekFrom::begin);
        if (from.Read(buffer.data(), n) < n) return false;
        to.Seek(int64_t(nPos), platform::SeekFrom::begin);
        to.Write(buffer.data(), n);
        nPos += n;
    }
    return true;
}

std::string CDBFTableDef::SiblingPath(const std::string& strPath, const std::string& strSuffix) {
    return platform::ReplaceExtension(strPath, strSuffix);
}

bool CDBFTableDef::CreateNew(const std::string& strPath) {
    Close();
    m_nStructMode = 0;
    m_pOldHeader.reset();
    m_oldDescs.clear();
    m_fieldMap.clear();
    m_nOpenFlags = platform::typeBinary | platform::shareExclusive | platform::modeReadWrite;
    m_strPath = strPath;
    int nErrno = 0;
    if (!m_file.Open(m_strPath, kCreateFlags | platform::typeBinary, &nErrno)) ThrowError(errCantCreateFile);
    try {
        std::memset(&m_header, 0, sizeof m_header);
        m_header.version = verDBase3;
        StampLastUpdate(m_header, false);
        m_header.SetRecordCount(0);
        m_header.SetHeaderLength(kHeaderOverhead);
        m_header.SetRecordLength(0);
        m_descs.clear();
        m_record.clear();
        SyncFieldList();
        m_nStructMode = 2;
        return true;
    } catch (const platform::CFileException&) {
        Close();
        return false;
    }
}

void CDBFTableDef::BeginModifyStructure() {
    if (m_nStructMode != 0) return;  // already editing: the first copies stay the ones to go back to
    if (!m_bOpen) ThrowError(errCantOpenFile);
    m_pOldHeader = std::make_unique<DBFHeader>(m_header);
    // The old list keeps the storage record cursors point at; the copy is
    // what the editor changes (and may grow, moving it elsewhere).
    m_oldDescs = std::move(m_descs);
    m_descs = m_oldDescs;
    m_fieldMap.resize(m_oldDescs.size());
    for (size_t i = 0; i < m_fieldMap.size(); ++i) m_fieldMap[i] = int16_t(i);
    StampLastUpdate(m_header, false);
    SyncFieldList();
    m_nStructMode = 1;
}

void CDBFTableDef::CheckFieldIndex(int nIndex, int nCount) const {
    if (m_nStructMode == 0) ThrowError(errBadStructure, "(no structure is being edited)");
    if (nIndex < 0 || nIndex >= nCount) ThrowError(errOutOfRange);
}

void CDBFTableDef::AppendField(const DBFFieldDesc& desc) { InsertField(int(m_descs.size()), desc); }

void CDBFTableDef::InsertField(int nIndex, const DBFFieldDesc& desc) {
    CheckFieldIndex(nIndex, int(m_descs.size()) + 1);
    // The map is 16-bit, as is every count a header can describe.
    if (m_descs.size() >= size_t(INT16_MAX)) ThrowError(errBadStructure, "(too many fields)");
    m_descs.insert(m_descs.begin() + nIndex, desc);
    if (m_nStructMode == 1) m_fieldMap.insert(m_fieldMap.begin() + nIndex, int16_t(-1));
    SyncFieldList();
}

void CDBFTableDef::DeleteField(int nIndex) {
    CheckFieldIndex(nIndex, int(m_descs.size()));
    m_descs.erase(m_descs.begin() + nIndex);
    if (m_nStructMode == 1) m_fieldMap.erase(m_fieldMap.begin() + nIndex);
    SyncFieldList();
}

void CDBFTableDef::SetFieldDesc(int nIndex, const DBFFieldDesc& desc) {
    CheckFieldIndex(nIndex, int(m_descs.size()));
    // The map entry stays: a changed field is still filled from the one it was.
    m_descs[size_t(nIndex)] = desc;
}

void CDBFTableDef::MoveField(int nFrom, int nTo) {
    CheckFieldIndex(nFrom, int(m_descs.size()));
    CheckFieldIndex(nTo, int(m_descs.size()));
    const int nStep = nTo > nFrom ? 1 : -1;
    for (int i = nFrom; i != nTo; i += nStep) {
        std::swap(m_descs[size_t(i)], m_descs[size_t(i + nStep)]);
        if (m_nStructMode == 1) std::swap(m_fieldMap[size_t(i)], m_fieldMap[size_t(i + nStep)]);
    }
}

// Displacements from 1 by each field's width, as Open lays records out, so
// that the table written reads back with the same layout. Returns the record
// length and sets the header length; refuses what no header can describe.
uint16_t CDBFTableDef::LayOutFields(uint16_t& nHeaderLength) {
    if (m_descs.empty()) ThrowError(errBadStructure, "(a table needs at least one field)");
    const size_t nOverhead = m_header.version == verVisualFoxPro ? kVfpHeaderOverhead : kHeaderOverhead;
    const size_t nHeader = m_descs.size() * sizeof(DBFFieldDesc) + nOverhead;
    if (nHeader > UINT16_MAX) ThrowError(errBadStructure, "(too many fields for a table header)");
    uint64_t nOffset = 1;
    for (DBFFieldDesc& desc : m_descs) {
        desc.SetDisplacement(uint32_t(nOffset));
        nOffset += desc.GetLayoutWidth();
    }
    if (nOffset > UINT16_MAX) ThrowError(errBadStructure, "(records longer than 65,535 bytes)");
    // A record of the deletion flag alone is no table any program opens.
    if (nOffset < 2) ThrowError(errBadStructure, "(the fields hold no bytes)");
    nHeaderLength = uint16_t(nHeader);
    return uint16_t(nOffset);
}

// Header, descriptors, the terminator and, for Visual FoxPro, the zeroed
// database backlink, in one write at the start of the target.
void CDBFTableDef::WriteHeaderArea(platform::CFile& target, const DBFHeader& header, uint16_t nHeaderLength) {
    std::vector<uint8_t> area(nHeaderLength, 0);
    std::memcpy(area.data(), &header, sizeof header);
    std::memcpy(area.data() + sizeof m_header, m_descs.data(), m_descs.size() * sizeof(DBFFieldDesc));
    area[sizeof header + m_descs.size() * sizeof(DBFFieldDesc)] = kHeaderTerminator;
    target.SeekToBegin();
    target.Write(area.data(), area.size());
}

// Every record of the table file, old layout, into the target, new layout:
// the deletion flag copied, each field filled from the old field the map
// names (or left with a new field's blank value).
void CDBFTableDef::CopyRecords(platform::CFile& target, const DBFHeader& oldHeader, uint16_t nHeaderLength,
                               uint16_t nRecordLength, int32_t& nCount) {
    const uint16_t nOldLength = oldHeader.GetRecordLength();
    nCount = oldHeader.GetRecordCount();
    // Records another program appended since the table was opened are part
    // of it too: the count on disk wins when the layout there is still ours.
    DBFHeader onDisk;
    if (ReadFileAt(0, &onDisk, sizeof onDisk) == sizeof onDisk &&
        onDisk.GetHeaderLength() == oldHeader.GetHeaderLength() && onDisk.GetRecordLength() == nOldLength &&
        onDisk.GetRecordCount() > nCount &&
        GetFileLength() >= uint64_t(nOldLength) * uint64_t(onDisk.GetRecordCount()) + oldHeader.GetHeaderLength())
        nCount = onDisk.GetRecordCount();

    CFieldCopier copier(*this, m_oldDescs.data(), int(m_oldDescs.size()), m_descs.data(), int(m_descs.size()),
                        m_fieldMap.data());
    const int32_t nChunk = int32_t(std::max<size_t>(1, kCopyChunk / std::max(nOldLength, nRecordLength)));
    std::vector<uint8_t> in(size_t(nChunk) * nOldLength), out(size_t(nChunk) * nRecordLength);
    target.Seek(nHeaderLength, platform::SeekFrom::begin);
    for (int32_t nFirst = 0; nFirst < nCount; nFirst += nChunk) {
        const int32_t n = std::min(nChunk, nCount - nFirst);
        const uint64_t nPos = uint64_t(oldHeader.GetHeaderLength()) + uint64_t(nFirst) * nOldLength;
        const size_t nBytes = size_t(n) * nOldLength;
        if (ReadFileAt(nPos, in.data(), nBytes) < nBytes) ThrowError(errReadRecord);
        for (int32_t i = 0; i < n; ++i) {
            std::span<const uint8_t> from(in.data() + size_t(i) * nOldLength, nOldLength);
            std::span<uint8_t> to(out.data() + size_t(i) * nRecordLength, nRecordLength);
            copier.Copy(from, to, nFirst + i);
        }
        target.Write(out.data(), size_t(n) * nRecordLength);
    }
}

void CDBFTableDef::WriteStructure() {
    if (m_nStructMode != 1 && m_nStructMode != 2) return;
    uint16_t nHeaderLength = 0;
    const uint16_t nRecordLength = LayOutFields(nHeaderLength);
    const DBFHeader oldHeader = m_nStructMode == 1 ? *m_pOldHeader : m_header;
    DBFHeader newHeader = m_header;
    newHeader.SetHeaderLength(nHeaderLength);
    newHeader.SetRecordLength(nRecordLength);
    newHeader.SetRecordCount(0);

    if (m_nStructMode == 2) {
        // A new table is written into its own (empty) file. Should that fail,
        // the file goes back to empty, so that CancelStructure removes it.
        try {
            WriteHeaderArea(m_file, newHeader, nHeaderLength);
            const uint8_t nEnd = kEndOfFile;
            m_file.Write(&nEnd, 1);
            m_file.SetLength(uint64_t(nHeaderLength) + 1);
            m_file.Flush();
        } catch (const platform::CFileException&) {
            try {
                m_file.SetLength(0);
            } catch (const platform::CFileException&) {
            }
            throw;
        }
        m_header = newHeader;
        m_record.assign(nRecordLength, 0);
        SyncFieldList();
        EndStructureEdit();
        return;
    }

    const std::string strTemporary = TemporaryPath();
    RemoveQuietly(strTemporary);
    platform::CFile target;
    if (!target.Open(strTemporary, kCreateFlags | platform::typeBinary)) ThrowError(errCantCreateFile);
    target.SetWriteBehind(true);
    int32_t nCount = 0;
    try {
        // The header goes first with a count of 0 and again at the end with
        // the records counted: a temporary file cut short never claims them.
        WriteHeaderArea(target, newHeader, nHeaderLength);
        CopyRecords(target, oldHeader, nHeaderLength, nRecordLength, nCount);
        const uint8_t nEnd = kEndOfFile;
        target.Write(&nEnd, 1);
        target.SetLength(uint64_t(nHeaderLength) + uint64_t(nRecordLength) * uint64_t(nCount) + 1);
        newHeader.SetRecordCount(nCount);
        target.SeekToBegin();
        target.Write(&newHeader, sizeof newHeader);
        target.Flush();
    } catch (...) {
        target.Close();
        RemoveQuietly(strTemporary);
        throw;
    }
    target.Close();

    // The temporary file takes the table's name. Once it has, the structure
    // in memory is the one on disk, even should the reopen then fail.
    auto adopt = [&] {
        m_header = newHeader;
        m_retiredDescs = std::move(m_oldDescs);
        m_record.assign(nRecordLength, 0);
        SyncFieldList();
        EndStructureEdit();
    };
    try {
        ReplaceFileWith(strTemporary);
    } catch (const CDBFException& e) {
        // Both mean that the new file has the table's name.
        if (e.GetCode() == errCantOpenFile || e.GetCode() == errKeptInBackup) adopt();
        throw;
    }
    adopt();
}

bool CDBFTableDef::IsOwnFile(const std::string& strPath) const {
    auto same = [&](const std::string& strOwn) {
        return !strOwn.empty() && (strPath == strOwn || platform::CFile::SameFile(strPath, strOwn));
    };
    return same(m_strPath) || same(m_strMemoPath);
}

std::string CDBFTableDef::BackupPath() const {
    std::string strPath = SiblingPath(m_strPath, ".bak");
    // A table named "data.bak": its backup is "data.bak.bak" (and so on,
    // should links make that the table too).
    for (std::string strBase = m_strPath; IsOwnFile(strPath);) strPath = strBase += ".bak";
    return strPath;
}

std::string CDBFTableDef::TemporaryPath() const {
    const std::string strSibling = SiblingPath(m_strPath, "._tmp");
    std::string strPath = strSibling;
    for (int n = 1; IsOwnFile(strPath); ++n) strPath = strSibling + std::to_string(n);
    return strPath;
}

namespace {

// The backup as a second name of the table's file, which costs nothing and
// leaves the table's name alone. Where the file system has no links, a copy.
void MakeBackup(platform::CFile& table, const std::string& strTable, const std::string& strBackup) {
    try {
        platform::CFile::Link(strTable, strBackup);
        return;
    } catch (const platform::CFileException& e) {
        const int n = e.GetErrno();
        if (n != EPERM && n != EXDEV && n != ENOTSUP && n != EOPNOTSUPP && n != EMLINK && n != ENOSYS) throw;
    }
    platform::CFile backup;
    int nErrno = 0;
    if (!backup.Open(strBackup, kCreateFlags | platform::typeBinary, &nErrno))
        throw platform::CFileException(nErrno, strBackup, "create");
    backup.SetWriteBehind(true);
    try {
        std::vector<uint8_t> buffer(kCopyChunk);
        // A table that ends before its length said would leave a backup cut
        // short: no backup at all is better than that.
        if (!CopyFileRange(table, backup, 0, table.GetLength(), buffer))
            throw platform::CFileException(EIO, strTable, "read");
        backup.Flush();
    } catch (...) {
        backup.Close();
        RemoveQuietly(strBackup);
        throw;
    }
}

}  // namespace

// The temporary file takes the table's name in one rename, and the table's
// old file stays under the backup's name. At no moment does the table's name
// hold anything but a whole table: the old one until the rename, the new one
// (synced by the caller) after it.
void CDBFTableDef::ReplaceFileWith(const std::string& strTemporary) {
    const std::string strBackup = BackupPath();
    auto reopen = [&] {
        if (!m_file.IsOpen() && !m_file.Open(m_strPath, m_nOpenFlags)) m_bOpen = false;
    };
    try {
        if (platform::CFile::Exists(strBackup)) platform::CFile::Remove(strBackup);
        MakeBackup(m_file, m_strPath, strBackup);
    } catch (const platform::CFileException&) {
        RemoveQuietly(strTemporary);
        throw;
    }
    m_file.Close();
    try {
        platform::CFile::Replace(strTemporary, m_strPath);
    } catch (const platform::CFileException&) {
        RemoveQuietly(strTemporary);
        reopen();
        throw;
    }
    bool bSynced = true;
    try {
        platform::CFile::SyncFolderOf(m_strPath);
    } catch (const platform::CFileException&) {
        bSynced = false;
    }
    if (!m_file.Open(m_strPath, m_nOpenFlags)) {
        m_bOpen = false;
        ThrowError(errCantOpenFile);
    }
    // The new table is in place, but whether its name survives a power loss
    // is not known: the old one is kept, and the caller hears of it.
    if (!bSynced) ThrowError(errKeptInBackup, strBackup);
}

void CDBFTableDef::EndStructureEdit() {
    m_pOldHeader.reset();
    m_oldDescs.clear();
    m_fieldMap.clear();
    m_nStructMode = 0;
    m_bStructWritten = true;
}

void CDBFTableDef::CancelStructure() {
    if (m_nStructMode == 1) {
        m_header = *m_pOldHeader;
        m_descs = std::move(m_oldDescs);
        SyncFieldList();
    } else if (m_nStructMode == 2) {
        // A table never given a structure is an empty file: it goes.
        bool bEmpty = false;
        try {
            bEmpty = m_file.IsOpen() && m_file.GetLength() == 0;
        } catch (const platform::CFileException&) {
        }
        const std::string strPath = m_strPath;
        Close();
        if (bEmpty) RemoveQuietly(strPath);
    }
    m_pOldHeader.reset();
    m_oldDescs.clear();
    m_fieldMap.clear();
    m_nStructMode = 0;
}

}  // namespace dbf
