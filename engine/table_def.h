// CDBFTableDef: one open .dbf table file with its header image, field
// descriptors, current record buffer and memo file. Opening checks every
// number of the header and the descriptors against the file before anything
// is read through them; record and header I/O go through here too.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "engine/dbf_format.h"
#include "engine/memo_file.h"
#include "platform/core/file.h"
#include "platform/core/file_names.h"

namespace dbf {

// Name, type, width and decimals of one field as callers are shown them:
// B F N Y carry their decimals in descriptor byte 17; every other letter
// reads bytes 16-17 as one 16-bit width and has no decimals.
struct DBFFieldInfo {
    std::string strName;  // up to the first NUL, at most 11 characters
    char cType = 0;
    int nWidth = 0;       // 0..65535: wider than a signed 16-bit number can hold
    int nDecimals = 0;
};

// A table's field list. The table definition owns the descriptors and the
// record buffer; record cursors hold copies of this list that point at the
// same descriptors, and re-point m_pRecord at whatever record they stand on.
struct DBFFieldList {
    DBFFieldDesc* m_pDesc = nullptr;
    DBFFieldInfo m_info;  // result area of the last GetFieldInfo
    int m_nFields = 0;
    uint8_t* m_pRecord = nullptr;

    // Index of the first field whose name (up to its first NUL, at most 11
    // characters) equals strName exactly, case included; -1 when none does.
    int FindField(std::string_view strName) const;
};

// Copies bytes [nFrom, nTo) of one file to the same place in another, a
// buffer at a time. False when the first file ends before nTo (the chunk
// it ends in is not copied); file errors propagate as
// platform::CFileException.
bool CopyFileRange(platform::CFile& from, platform::CFile& to, uint64_t nFrom, uint64_t nTo,
                   std::vector<uint8_t>& buffer);

// Open flags the engine always adds: binary, read only and shared.
constexpr unsigned kDefaultOpenFlags = platform::typeBinary | platform::shareDenyNone;

// A table's structural index (.CDX, .MDX), found by the one rule of
// platform/core/file_names.h.
using StructuralIndex = platform::StructuralIndex;

// What is wrong with the length of a table that Open refuses with 3006 only
// because its header's record count and its file's length disagree (or bytes
// follow the end-of-file byte), as OpenForSalvage finds it.
struct TableLengthDamage {
    bool bDamaged = false;
    int64_t nHeaderRecords = 0;   // the count the header states
    int64_t nRecordsByLength = 0; // whole records the file's length holds
    int64_t nRecordsRead = 0;     // the records a salvage reads
    uint64_t nExtraBytes = 0;     // bytes after those records (an end-of-file byte not counted)
};

class CDBFTableDef {
public:
    CDBFTableDef();
    ~CDBFTableDef();
    CDBFTableDef(const CDBFTableDef&) = delete;
    CDBFTableDef& operator=(const CDBFTableDef&) = delete;

    // Opens and validates the table; does nothing when it is already open.
    // Raises 3002 (cannot open), 3004 (short header), 3006 (lengths or field
    // layout impossible), 3007 (no fields), 3008, 3009 (short descriptor) and
    // the memo file's 3010-3012. A platform file error while reading leaves
    // the table closed without an error: callers test IsOpen.
    void Open(const std::string& strPath, unsigned nOpenFlags);
    // Opens, read only, a table that Open refuses only because its header's
    // record count disagrees with the file's length: it holds the records the
    // file really holds (the header's count when an end-of-file byte follows
    // them, else as many whole records as the length holds; trailing bytes
    // ignored), and refuses every write (3022). Every other check of Open
    // applies. GetLengthDamage says what was wrong; a sound table opens as
    // Open would open it read only.
    void OpenForSalvage(const std::string& strPath);
    const TableLengthDamage& GetLengthDamage() const { return m_damage; }
    bool IsSalvaged() const { return m_damage.bDamaged; }
    // Closes the table and memo files and frees the descriptors and buffer.
    void Close();
    // Reopens the table (and memo) file with other flags, keeping everything
    // in memory. False when the new flags are refused (the old mode is kept);
    // raises 3010 or 3002 when even the old mode cannot be taken back.
    bool ChangeOpenMode(unsigned nOpenFlags);

    bool IsOpen() const { return m_bOpen; }
    const std::string& GetFilePath() const { return m_strPath; }
    unsigned GetOpenFlags() const { return m_nOpenFlags; }
    uint32_t GetRecordCount() const { return uint32_t(m_header.GetRecordCount()); }
    int GetFieldCount() const { return m_fields.m_nFields; }
    // The field's descriptor; raises 3017 for an index outside the list.
    const DBFFieldDesc& GetFieldDesc(int nIndex) const;
    // Name, type, width and decimals of a field (also kept in the field
    // list's m_info); raises 3017 for an index outside the list.
    DBFFieldInfo GetFieldInfo(int nIndex);

    const DBFHeader& GetHeader() const { return m_header; }
    const DBFFieldList& GetFieldList() const { return m_fields; }
    uint16_t GetHeaderLength() const { return m_header.GetHeaderLength(); }
    uint16_t GetRecordLength() const { return m_header.GetRecordLength(); }
    // The memo file object, or null when the table's version has none.
    const CMemoFile* GetMemoFile() const { return m_pMemo.get(); }
    CMemoFile* GetMemo() { return m_pMemo.get(); }
    const std::string& GetMemoPath() const { return m_strMemoPath; }
    // Whether memo texts can be read and written: a memo file is open.
    bool HasOpenMemo() const { return m_pMemo && m_pMemo->IsOpen(); }
    // The structural index as found when the table was opened.
    const StructuralIndex& GetStructuralIndex() const { return m_index; }
    // Where a table's structural index is or would be, by its version byte
    // and table flags: ".CDX" for Visual FoxPro (0x30-0x32) and FoxPro
    // (0xF5, 0xFB), ".MDX" for dBASE IV (0x04, 0x7B, 0x8B, 0xCB, 0x43, 0x63);
    // the dBASE III version bytes 0x03 and 0x83, which dBASE IV and FoxPro
    // also write, take whichever of the two is there (".MDX" when neither
    // is). A name differing only in letter case counts, as for memo files.
    static StructuralIndex FindStructuralIndex(const std::string& strTablePath, const DBFHeader& header);

    // The encoding of text that is read whole rather than byte by byte
    // ("UTF-8", "CP932"), as the caller decided it from the table's code-page
    // evidence (platform::DecideTableCodePages); empty for single-byte text.
    // Copies cut such text at a character boundary.
    void SetWholeTextEncoding(std::string strEncoding) { m_strWholeText = std::move(strEncoding); }
    const std::string& GetWholeTextEncoding() const { return m_strWholeText; }

    // Memo access, forwarded to the memo file; nothing happens (empty text,
    // no bytes, block unchanged) when the table has no memo file.
    void ReadMemoText(uint32_t nBlock, uint32_t& nLength, std::string& strText);
    void ReadMemoBinary(uint32_t nBlock, uint32_t& nLength, std::vector<uint8_t>& bytes);
    void WriteMemo(uint32_t& nBlock, uint32_t& nLength, const std::string& strText);

    // Record n (0-based) into pBuffer, record-length bytes. Raises 3017 when
    // the record lies outside the file, 3018 for any other failed read.
    void ReadRecord(int32_t nRecord, uint8_t* pBuffer);
    // nCount records from nFirst on, in one read, with ReadRecord's errors.
    void ReadRecords(int32_t nFirst, int32_t nCount, uint8_t* pBuffer);
    // Writes record n; n may be the record count (the file grows by one
    // record and loses its end-of-file byte). Raises 3017 for a number below 0
    // or beyond the count, 3019 when the write fails.
    void WriteRecord(int32_t nRecord, const uint8_t* pBuffer);
    // Re-reads the 32-byte header. False (image unchanged) on a short read;
    // raises 3005 on a file error and 3006 when the header on disk no longer
    // describes the layout the table was opened with.
    bool ReadHeader();
    // Writes the header image at offset 0; 3005 on failure.
    void WriteHeader();
    // The shared-mode append: re-reads the header so that records appended
    // by another program are counted, writes the record after the last one
    // and writes the header with the count raised by one. Returns the new
    // record's number.
    int32_t AppendRecord(const uint8_t* pBuffer);

    // ---- Whole-file access for the memory cursor set's load and save ----
    // Positioned I/O on the table file itself; platform errors propagate as
    // platform::CFileException. ReadFileAt returns the bytes read (fewer at
    // the end of the file).
    size_t ReadFileAt(uint64_t nPos, void* pBuffer, size_t nCount);
    void WriteFileAt(uint64_t nPos, const void* pBuffer, size_t nCount);
    uint64_t GetFileLength() const { return m_file.GetLength(); }
    platform::CFile& GetFile() { return m_file; }
    void SetFileLength(uint64_t nLength) { m_file.SetLength(nLength); }
    // Replaces the header image: after a save wrote a new one, or, before a
    // new table's structure is written, to choose its version byte, table
    // flags and code-page mark.
    void SetHeader(const DBFHeader& header) { m_header = header; }

    // ---- Creating and restructuring (table_structure.cpp) ----
    // Creates the file (truncating one of that name) as a new, empty table
    // with version 0x03 and no fields, opened exclusively; then fields are
    // appended and WriteStructure writes it. Raises 3001 when the file cannot
    // be created; false on another platform error.
    bool CreateNew(const std::string& strPath);
    // Starts editing the field list of the open table: the old list and
    // header are kept for CancelStructure, and each field remembers which
    // old field fills it. Record cursors keep seeing the old list until the
    // table is opened again.
    void BeginModifyStructure();
    // The field list operations of the structure editor. Indexes outside the
    // list raise 3017 (InsertField accepts the count: an append).
    void AppendField(const DBFFieldDesc& desc);
    void InsertField(int nIndex, const DBFFieldDesc& desc);
    void DeleteField(int nIndex);
    void SetFieldDesc(int nIndex, const DBFFieldDesc& desc);
    void MoveField(int nFrom, int nTo);
    // Writes the edited structure. A new table: its header and descriptors.
    // A modified table: every record converted field by field into a
    // temporary file ("._tmp"), which then takes the table's name while the
    // previous file is kept as ".bak". Nothing of the table changes when
    // this fails before the renames: 3001 (temporary file), 3023 (a value
    // that its new field cannot hold, named in the detail), 3025 (no fields,
    // fields of no width, or records or header longer than 65,535 bytes),
    // or the platform's file
    // error. A failed rename puts the table back, or raises 3024 naming the
    // backup that holds it; 3002 when the new table cannot be reopened.
    void WriteStructure();
    // Drops the edits: the old header and field list come back; a created
    // table whose structure was never written is deleted.
    void CancelStructure();
    int GetStructMode() const { return m_nStructMode; }
    bool IsStructWritten() const { return m_bStructWritten; }
    // For each field of the list being edited, the index of the old field
    // that fills it, or -1 for a new field. Empty outside a modification.
    const std::vector<int16_t>& GetFieldMap() const { return m_fieldMap; }

    // A rewritten table takes the table's place. strTemporary must be whole
    // and synced to disk (CFile::Flush) by the caller. The table gets a
    // second name, its backup (BackupPath; an older backup is replaced), and
    // strTemporary is renamed over the table's name in one step, so at every
    // moment the name holds either the old table or the new one, whole; the
    // folder is then synced and the table opened again with its flags. When
    // the backup cannot be made or the rename fails, the table is as it was
    // and the file error is raised (the temporary file is removed); 3024
    // names the backup when the folder cannot be synced after the rename;
    // 3002 when the new file cannot be opened (it is in place, the old one
    // in the backup).
    void ReplaceFileWith(const std::string& strTemporary);

    // The path with its extension (from the last '.' of the file name)
    // replaced by strSuffix, or strSuffix appended when it has none:
    // "t.dbf" and "._tmp" give "t._tmp".
    static std::string SiblingPath(const std::string& strPath, const std::string& strSuffix);
    // The backup and temporary names of this table: the sibling ".bak" and
    // "._tmp" names, unless that name is the table itself or its memo file
    // (by identity, so a link counts; a table named "data.bak" or
    // "data._tmp"): then "data.bak.bak" for the backup and "data._tmp1",
    // "data._tmp2", ... for the temporary file, the first that is neither.
    std::string BackupPath() const;
    std::string TemporaryPath() const;

    // Whether the table's path names a memo file for its version byte, and
    // which: the upper-case name, or an existing file whose name differs from
    // it only in letter case. Empty when the version has no memo file. A
    // Visual FoxPro table whose memo flag is clear has one when it has memo
    // fields (bMemoFields) and the file is there: other programs write such
    // tables with their memos.
    static std::string MemoPathFor(const std::string& strTablePath, const DBFHeader& header, bool bMemoFields = false);

private:
    void OpenChecked(const std::string& strPath, unsigned nOpenFlags);
    void ReadDescriptors();
    void CheckFieldLayout();
    void OpenMemo(unsigned nOpenFlags);
    void CheckLength(uint64_t nLength);
    bool IsOwnFile(const std::string& strPath) const;
    void SyncFieldList();
    uint64_t RecordOffset(int32_t nRecord) const;
    [[noreturn]] void FailedRead(uint64_t nPos, uint64_t nBytes);

    DBFHeader m_header{};
    std::vector<DBFFieldDesc> m_descs;  // storage behind m_fields.m_pDesc
    std::vector<uint8_t> m_record;      // storage behind m_fields.m_pRecord
    DBFFieldList m_fields;
    bool m_bOpen = false;
    unsigned m_nOpenFlags = kDefaultOpenFlags;
    platform::CFile m_file;
    std::string m_strPath;
    std::unique_ptr<CMemoFile> m_pMemo;
    std::string m_strMemoPath;
    StructuralIndex m_index;
    TableLengthDamage m_damage;
    bool m_bSalvage = false;  // the open under way is a salvage
    std::string m_strWholeText;

    // Structure editing (creating a table, changing its fields).
    void CheckFieldIndex(int nIndex, int nCount) const;
    uint16_t LayOutFields(uint16_t& nHeaderLength);
    void WriteHeaderArea(platform::CFile& target, const DBFHeader& header, uint16_t nHeaderLength);
    void CopyRecords(platform::CFile& target, const DBFHeader& oldHeader, uint16_t nHeaderLength,
                     uint16_t nRecordLength, int32_t& nCount);
    void EndStructureEdit();

    int m_nStructMode = 0;  // 0 none, 1 modifying an existing table, 2 creating one
    std::unique_ptr<DBFHeader> m_pOldHeader;
    // The descriptors before the modification. They keep the storage record
    // cursors point at, so that a cursor never sees a list being edited.
    std::vector<DBFFieldDesc> m_oldDescs;
    std::vector<int16_t> m_fieldMap;
    // Descriptors of the structure a rewrite replaced, alive until Close for
    // the cursors that still point at them.
    std::vector<DBFFieldDesc> m_retiredDescs;
    bool m_bStructWritten = false;
};

}  // namespace dbf
