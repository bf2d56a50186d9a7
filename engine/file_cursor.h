// CDBFFileCursor: a record cursor that stands on the table file itself and
// moves by record number, reading records ahead in blocks so that walking a
// table of millions of records in file order costs a few large reads rather
// than one per record. Edits go to the file through the base class's
// protocol. dbftool reads tables through it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "engine/recordset.h"

namespace dbf {

class CDBFFileCursor : public CDBFRecordset {
public:
    // Opens the table (the table definition's errors propagate; a table the
    // platform cannot read stays closed) and stands on its first record, if
    // it has one.
    void Open(const std::string& strPath, unsigned nOpenFlags);
    // Records in the file, as its header now counts them.
    int32_t GetRecordCount() const { return int32_t(GetTableRecordCount()); }
    // Stands on record n; a pending edit or addition is dropped. Raises 3017
    // for a number outside the table.
    void SetAbsolutePosition(int32_t nRecord);

    // A new record is built in a buffer of its own, so the records read
    // ahead stay as the file holds them.
    void AddNew() override;
    int Update() override;
    void CancelUpdate() override;

private:
    // Reads records from nFirst on into the window.
    void FillWindow(int32_t nFirst);
    uint8_t* WindowRecord(int32_t nRecord);

    std::vector<uint8_t> m_window;
    int32_t m_nWindowFirst = 0;
    int32_t m_nWindowCount = 0;
    std::vector<uint8_t> m_newRecord;
};

}  // namespace dbf
