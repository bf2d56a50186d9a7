// The record cursor: field access with memo resolution and the file-backed
// edit protocol.
#include "engine/recordset.h"

#include <cstring>

#include "engine/dbf_exception.h"
#include "engine/field_copy.h"
#include "engine/field_io.h"

namespace dbf {

namespace {

// Binary memo fields: G and P, and B unless it is an 8-byte double.
bool IsBinaryMemo(const DBFFieldDesc& desc) {
    return desc.type == 'G' || desc.type == 'P' || (desc.type == 'B' && desc.width != 8);
}

}  // namespace

CDBFRecordset::CDBFRecordset() = default;

CDBFRecordset::~CDBFRecordset() { Close(); }

void CDBFRecordset::ThrowError(int nCode) { dbf::ThrowError(nCode); }

void CDBFRecordset::OpenTableDef(const std::string& strPath, unsigned nOpenFlags, bool bSalvage) {
    Close();
    auto pTableDef = std::make_unique<CDBFTableDef>();
    if (bSalvage) {
        pTableDef->OpenForSalvage(strPath);
    } else {
        pTableDef->Open(strPath, nOpenFlags);
    }
    if (!pTableDef->IsOpen()) return;
    m_pTableDef = std::move(pTableDef);
    m_fields = m_pTableDef->GetFieldList();
    m_nullFlags = CNullFlags(m_fields.m_pDesc, m_fields.m_nFields);
    m_nRecordLength = m_pTableDef->GetRecordLength();
    m_nCurRecord = -1;
    m_nEditMode = editNone;
}

void CDBFRecordset::Close() {
    if (m_pTableDef) m_pTableDef->Close();
    m_pTableDef.reset();
    m_fields = DBFFieldList();
    m_nullFlags = CNullFlags();
    m_nRecordLength = 0;
    m_nCurRecord = -1;
    m_bBOF = m_bEOF = true;
    m_nEditMode = editNone;
    std::vector<uint8_t>().swap(m_binaryBuffer);
}

std::string CDBFRecordset::GetFilePath() const {
    return m_pTableDef ? m_pTableDef->GetFilePath() : std::string();
}

uint32_t CDBFRecordset::GetTableRecordCount() const { return m_pTableDef ? m_pTableDef->GetRecordCount() : 0; }

bool CDBFRecordset::ChangeOpenMode(unsigned nOpenFlags) {
    return m_pTableDef ? m_pTableDef->ChangeOpenMode(nOpenFlags) : false;
}

void CDBFRecordset::SetCurrentRecord(int32_t nRecord, uint8_t* pBuffer) {
    m_nCurRecord = nRecord;
    m_fields.m_pRecord = pBuffer;
}

std::span<uint8_t> CDBFRecordset::CurrentRecord() {
    if (!m_pTableDef || !m_fields.m_pRecord) ThrowError(errOutOfRange);
    return std::span<uint8_t>(m_fields.m_pRecord, m_nRecordLength);
}

const DBFFieldDesc& CDBFRecordset::FieldDesc(int nIndex) {
    if (nIndex < 0 || nIndex >= m_fields.m_nFields) ThrowError(errOutOfRange);
    return m_fields.m_pDesc[nIndex];
}

int CDBFRecordset::GetFieldIndex(std::string_view strName) {
    int nIndex = m_fields.FindField(strName);
    if (nIndex < 0) ThrowError(errFieldNotFound);
    return nIndex;
}

bool CDBFRecordset::IsSmtTable() const {
    const CMemoFile* pMemo = m_pTableDef ? m_pTableDef->GetMemoFile() : nullptr;
    return pMemo && pMemo->GetMemoType() == memoSmt;
}

// Field access.

int32_t CDBFRecordset::GetFieldValue(int nIndex, FieldValue& value) {
    const DBFFieldDesc& desc = FieldDesc(nIndex);
    const std::span<uint8_t> record = CurrentRecord();
    const uint32_t nWidth = ReadFieldValue(record, desc, value);
    if (m_nullFlags.IsNull(record.data(), nIndex)) {
        value = FieldValue::MakeNull();
        return int32_t(nWidth);
    }
    if (IsBinaryMemo(desc)) return ResolveBinaryMemo(value);
    if (desc.type == 'M') return ResolveTextMemo(value);
    return int32_t(nWidth);
}

int32_t CDBFRecordset::ResolveBinaryMemo(FieldValue& value) {
    // The previous binary memo goes now, whatever this read finds.
    std::vector<uint8_t>().swap(m_binaryBuffer);
    // An .SMT memo's length lives only in its reference: read that many
    // bytes, not the width of the field.
    uint32_t nLength = 0;
    const uint32_t nBlock = MemoBlockOf(value, &nLength);
    if (nBlock == 0) {
        value.Clear();
        return 0;
    }
    std::vector<uint8_t> bytes;
    m_pTableDef->ReadMemoBinary(nBlock, nLength, bytes);
    // A table whose memo file is missing reads nothing: an empty value of
    // the memo's kind, as for text memos.
    m_binaryBuffer = std::move(bytes);
    value = FieldValue::MakeBytes(m_binaryBuffer.data(), uint32_t(m_binaryBuffer.size()));
    return int32_t(m_binaryBuffer.size());
}

int32_t CDBFRecordset::ResolveTextMemo(FieldValue& value) {
    uint32_t nLength = 0;
    const uint32_t nBlock = MemoBlockOf(value, &nLength);
    if (nBlock == 0) {
        value.Clear();
        return 0;
    }
    std::string strText;
    m_pTableDef->ReadMemoText(nBlock, nLength, strText);
    if (strText.empty()) nLength = 0;
    value = FieldValue::MakeText(std::move(strText));
    return int32_t(nLength);
}

int32_t CDBFRecordset::GetFieldValue(std::string_view strName, FieldValue& value) {
    return GetFieldValue(GetFieldIndex(strName), value);
}

FieldValue CDBFRecordset::GetFieldValue(int nIndex) {
    FieldValue value;
    GetFieldValue(nIndex, value);
    return value;
}

FieldValue CDBFRecordset::GetFieldValue(std::string_view strName) {
    FieldValue value;
    GetFieldValue(strName, value);
    return value;
}

void CDBFRecordset::SetFieldValue(int nIndex, const FieldValue& value) {
    const DBFFieldDesc& desc = FieldDesc(nIndex);
    if (IsBinaryMemo(desc)) return;  // binary memos cannot be written
    if (desc.type == 'M') {
        if (value.GetKind() != FieldKind::Text) return;
        WriteMemoText(desc, value.GetText());
    } else {
        WriteFieldValue(CurrentRecord(), desc, value);
    }
    if (!value.IsNull()) m_nullFlags.SetNull(m_fields.m_pRecord, nIndex, false);
}

void CDBFRecordset::SetFieldValue(std::string_view strName, const FieldValue& value) {
    SetFieldValue(GetFieldIndex(strName), value);
}

// The memo is written first and the reference only after it, so a failed
// memo write leaves the record as it was.
//
// Which kind of reference a field holds is decided by the table's memo file,
// not by the field's bytes: a new record's 10-byte reference of zero bytes
// looks like an empty .SMT reference, and writing an .SMT reference into a
// dBASE or FoxPro table would store binary where its programs expect digits.
void CDBFRecordset::WriteMemoText(const DBFFieldDesc& desc, const std::string& strText) {
    std::span<uint8_t> record = CurrentRecord();
    // A field of another width has no room for a reference: writing the memo
    // would only leave it orphaned in the memo file.
    if (desc.width != 4 && desc.width != 10) return;
    FieldValue ref;
    ReadFieldValue(record, desc, ref);
    const bool bSmt = IsSmtTable() && desc.width == 10;

    uint32_t nBlock = 0, nLength = 0;
    if (ref.GetKind() == FieldKind::MemoRef) nBlock = ref.GetMemoRef();
    if (bSmt && ref.GetKind() == FieldKind::SmtMemoRef) {
        nBlock = ref.GetSmtMemoRef().nBlock;
        nLength = ref.GetSmtMemoRef().nLength;
    }
    if (!bSmt || nLength == 0) nLength = uint32_t(strText.size());
    m_pTableDef->WriteMemo(nBlock, nLength, strText);
    WriteFieldValue(record, desc, bSmt ? FieldValue::MakeSmtMemoRef(nLength, nBlock) : FieldValue::MakeMemoRef(nBlock));
}

// The edit protocol on the table file.

void CDBFRecordset::InitNewRecord(uint8_t* pBuffer) {
    const size_t nLength = m_nRecordLength;
    std::span<uint8_t> record(pBuffer, nLength);
    std::memset(pBuffer, 0, nLength);
    const bool bSmt = IsSmtTable();
    for (int i = 0; i < m_fields.m_nFields; ++i) CFieldCopier::WriteBlank(record, m_fields.m_pDesc[i], bSmt);
    if (nLength) pBuffer[0] = ' ';
}

void CDBFRecordset::AddNew() {
    std::span<uint8_t> record = CurrentRecord();
    m_nEditMode = editAdd;
    InitNewRecord(record.data());
}

void CDBFRecordset::Edit() {
    CurrentRecord();
    m_nEditMode = editEdit;
}

int CDBFRecordset::Update() {
    const int nMode = m_nEditMode;
    m_nEditMode = editNone;
    if (nMode == editNone) return -2;
    std::span<uint8_t> record = CurrentRecord();
    if (nMode == editEdit) {
        m_pTableDef->ReadHeader();
        m_pTableDef->WriteRecord(m_nCurRecord, record.data());
    } else {
        m_nCurRecord = m_pTableDef->AppendRecord(record.data());
        m_bBOF = m_bEOF = false;
    }
    return 0;
}

void CDBFRecordset::CancelUpdate() {
    std::span<uint8_t> record = CurrentRecord();
    m_nEditMode = editNone;
    // A new record on a table without a current one has nothing to go back to.
    if (m_nCurRecord >= 0) m_pTableDef->ReadRecord(m_nCurRecord, record.data());
}

void CDBFRecordset::Delete() {
    std::span<uint8_t> record = CurrentRecord();
    record[0] = '*';
    m_pTableDef->WriteRecord(m_nCurRecord, record.data());
}

void CDBFRecordset::Undelete() {
    std::span<uint8_t> record = CurrentRecord();
    record[0] = ' ';
    m_pTableDef->WriteRecord(m_nCurRecord, record.data());
}

}  // namespace dbf
