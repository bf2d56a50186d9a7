// CDBFRecordset: the engine's record cursor. It owns a table definition,
// stands on one record buffer, reads and writes fields by index or name with
// memo references turned into memo contents, and offers the edit protocol
// (add, edit, update, cancel, delete, undelete). This base class edits the
// table file record by record; derived cursors position it (CDBFFileCursor
// walks the file, the memory cursor set works on an image of the whole table
// and overrides the edit protocol).
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "engine/field_value.h"
#include "engine/null_flags.h"
#include "engine/table_def.h"

namespace dbf {

// Edit modes.
enum EditMode : int { editNone = 0, editEdit = 1, editAdd = 2 };

class CDBFRecordset {
public:
    CDBFRecordset();
    virtual ~CDBFRecordset();
    CDBFRecordset(const CDBFRecordset&) = delete;
    CDBFRecordset& operator=(const CDBFRecordset&) = delete;

    // The edit protocol. AddNew starts a new blank record in the buffer,
    // Edit marks the current one as being changed; Update stores either in
    // the file (an addition by the shared-mode append) and returns 0, or -2
    // when nothing was pending; CancelUpdate re-reads the current record.
    // Delete and Undelete set the deletion flag and write the record at once.
    virtual void AddNew();
    virtual void Edit();
    virtual int Update();
    virtual void CancelUpdate();
    virtual void Delete();
    virtual void Undelete();

    // Reads field nIndex of the current record into value, with memo fields
    // resolved: text memos become Text, binary memos (G, P, B not 8 wide)
    // Bytes that stay valid until the next binary read or Close, a memo
    // reference of 0 Empty. A field whose null flag is set (Visual FoxPro)
    // is Null, whatever its bytes. Returns the memo's length for memo
    // fields, the field's width for the others. Raises 3017 for an index
    // outside the field list and 3020 for a name that names no field.
    virtual int32_t GetFieldValue(int nIndex, FieldValue& value);
    virtual int32_t GetFieldValue(std::string_view strName, FieldValue& value);
    virtual FieldValue GetFieldValue(int nIndex);
    virtual FieldValue GetFieldValue(std::string_view strName);
    // Writes a value into field nIndex of the current record buffer. A Text
    // for a text memo field is written to the memo file at once and its
    // reference into the buffer; other values for memo fields, and anything
    // for binary memo fields, are ignored. Writing a value other than Null
    // clears the field's null flag, so other programs see the value.
    virtual void SetFieldValue(int nIndex, const FieldValue& value);
    virtual void SetFieldValue(std::string_view strName, const FieldValue& value);
    virtual std::string GetDefaultSource() { return std::string(); }
    // Raises CDBFException with the code; derived cursors may report more.
    [[noreturn]] virtual void ThrowError(int nCode);

    bool IsOpen() const { return m_pTableDef && m_pTableDef->IsOpen(); }
    void Close();
    CDBFTableDef* GetTableDef() const { return m_pTableDef.get(); }
    std::string GetFilePath() const;
    uint32_t GetTableRecordCount() const;
    bool ChangeOpenMode(unsigned nOpenFlags);

    int GetFieldCount() const { return m_fields.m_nFields; }
    const DBFFieldList& GetFieldList() const { return m_fields; }
    // Index of the first field of that exact name; 3020 when none.
    int GetFieldIndex(std::string_view strName);
    int32_t GetCurrentRecord() const { return m_nCurRecord; }
    int GetEditMode() const { return m_nEditMode; }
    bool IsBOF() const { return m_bBOF; }
    bool IsEOF() const { return m_bEOF; }
    // The current record's bytes (record length of them), or null.
    const uint8_t* GetRecordBuffer() const { return m_fields.m_pRecord; }
    // The length of this cursor's records: the table's as it was opened. A
    // structure rewritten since does not change the records a cursor holds.
    uint16_t GetRecordLength() const { return m_nRecordLength; }
    // The null flags of this cursor's fields (Visual FoxPro).
    const CNullFlags& GetNullFlags() const { return m_nullFlags; }

protected:
    // Creates the table definition and opens it (engine errors propagate);
    // on success the field list points at its descriptors and its record
    // buffer, and no record is current yet. A table the platform could not
    // read stays closed. bSalvage opens it with CDBFTableDef::OpenForSalvage.
    void OpenTableDef(const std::string& strPath, unsigned nOpenFlags, bool bSalvage = false);
    // Makes pBuffer (record length bytes) the current record, number nRecord.
    void SetCurrentRecord(int32_t nRecord, uint8_t* pBuffer);
    // Fills pBuffer as a new record: zero bytes, the blank value of every
    // field, a space as deletion flag. Memo references 10 characters wide
    // are blanked with spaces outside .SMT tables, as the programs that read
    // those tables expect ("no memo" in digits), never left as zero bytes;
    // date-times are zero bytes, Visual FoxPro's empty date-time.
    void InitNewRecord(uint8_t* pBuffer);
    // The current record as a span; 3017 when there is none.
    std::span<uint8_t> CurrentRecord();

    std::unique_ptr<CDBFTableDef> m_pTableDef;
    DBFFieldList m_fields;
    CNullFlags m_nullFlags;
    uint16_t m_nRecordLength = 0;
    bool m_bBOF = true;
    bool m_bEOF = true;
    int32_t m_nCurRecord = -1;
    int m_nEditMode = editNone;

private:
    const DBFFieldDesc& FieldDesc(int nIndex);
    int32_t ResolveBinaryMemo(FieldValue& value);
    int32_t ResolveTextMemo(FieldValue& value);
    void WriteMemoText(const DBFFieldDesc& desc, const std::string& strText);
    bool IsSmtTable() const;

    std::vector<uint8_t> m_binaryBuffer;  // the last binary memo read
};

}  // namespace dbf
