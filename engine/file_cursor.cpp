// The file-backed record cursor with its read-ahead window.
#include "engine/file_cursor.h"

#include <algorithm>

#include "engine/dbf_exception.h"

namespace dbf {

namespace {
// Bytes read ahead at a time: large enough that the system calls vanish next
// to the work done per record, small enough to stay in the cache.
constexpr size_t kWindowBytes = 256 * 1024;
}  // namespace

void CDBFFileCursor::Open(const std::string& strPath, unsigned nOpenFlags) {
    if (IsOpen()) return;
    m_nWindowCount = 0;
    OpenTableDef(strPath, nOpenFlags);
    if (!IsOpen()) return;
    const size_t nRecordLength = m_pTableDef->GetRecordLength();
    m_window.resize(std::max<size_t>(1, kWindowBytes / nRecordLength) * nRecordLength);
    m_newRecord.assign(nRecordLength, 0);
    if (GetRecordCount() > 0) SetAbsolutePosition(0);
}

uint8_t* CDBFFileCursor::WindowRecord(int32_t nRecord) {
    return m_window.data() + size_t(nRecord - m_nWindowFirst) * m_pTableDef->GetRecordLength();
}

void CDBFFileCursor::FillWindow(int32_t nFirst) {
    const size_t nRecordLength = m_pTableDef->GetRecordLength();
    const int32_t nFit = int32_t(m_window.size() / nRecordLength);
    const int32_t nCount = std::min(nFit, GetRecordCount() - nFirst);
    m_nWindowCount = 0;
    m_pTableDef->ReadRecords(nFirst, nCount, m_window.data());
    m_nWindowFirst = nFirst;
    m_nWindowCount = nCount;
}

void CDBFFileCursor::SetAbsolutePosition(int32_t nRecord) {
    if (!IsOpen() || nRecord < 0 || nRecord >= GetRecordCount()) ThrowError(errOutOfRange);
    // An edit left pending may have changed the record inside the window:
    // read it again rather than show what the file does not hold.
    if (m_nEditMode == editEdit) m_nWindowCount = 0;
    m_nEditMode = editNone;
    if (nRecord < m_nWindowFirst || nRecord >= m_nWindowFirst + m_nWindowCount) FillWindow(nRecord);
    SetCurrentRecord(nRecord, WindowRecord(nRecord));
    m_bBOF = m_bEOF = false;
}

void CDBFFileCursor::AddNew() {
    if (!IsOpen()) ThrowError(errOutOfRange);
    SetCurrentRecord(m_nCurRecord, m_newRecord.data());
    CDBFRecordset::AddNew();
}

int CDBFFileCursor::Update() {
    const bool bAdding = m_nEditMode == editAdd;
    int nResult = CDBFRecordset::Update();
    // The appended record is current, in its own buffer; the window may
    // still hold the records before it as they are.
    if (bAdding) m_nWindowCount = std::min(m_nWindowCount, m_nCurRecord - m_nWindowFirst);
    return nResult;
}

void CDBFFileCursor::CancelUpdate() {
    if (m_nEditMode != editAdd) {
        CDBFRecordset::CancelUpdate();
        return;
    }
    m_nEditMode = editNone;
    if (m_nCurRecord >= 0 && m_nCurRecord < GetRecordCount()) {
        SetAbsolutePosition(m_nCurRecord);
    } else {
        SetCurrentRecord(-1, m_newRecord.data());
    }
}

}  // namespace dbf
