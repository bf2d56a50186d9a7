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

// Open flags the engine always adds: binary, read only and shared.
constexpr unsigned kDefaultOpenFlags = platform::typeBinary | platform::shareDenyNone;

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
    const std::string& GetMemoPath() const { return m_strMemoPath; }

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

    // Whether the table's path names a memo file for its version byte, and
    // which: the upper-case name, or an existing file whose name differs from
    // it only in letter case. Empty when the version has no memo file.
    static std::string MemoPathFor(const std::string& strTablePath, const DBFHeader& header);

private:
    void OpenChecked(const std::string& strPath, unsigned nOpenFlags);
    void ReadDescriptors();
    void CheckFieldLayout();
    void OpenMemo(unsigned nOpenFlags);
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

    // Structure editing (creating a table, changing its fields).
    int m_nStructMode = 0;  // 0 none, 1 modifying an existing table, 2 creating one
    std::unique_ptr<DBFHeader> m_pOldHeader;
    std::unique_ptr<DBFFieldList> m_pOldFields;
    std::unique_ptr<int16_t[]> m_pFieldMap;
    bool m_bStructWritten = false;
};

}  // namespace dbf
