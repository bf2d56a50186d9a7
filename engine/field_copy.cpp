// Record copies between field layouts, value by value.
#include "engine/field_copy.h"

#include <cstring>
#include <string>

#include "engine/dbf_exception.h"
#include "engine/field_io.h"
#include "engine/table_def.h"
#include "platform/core/ole_date.h"
#include "platform/core/table_code_page.h"
#include "platform/core/value_coercion.h"

namespace dbf {

bool IsBinaryMemoField(const DBFFieldDesc& desc) {
    return desc.type == 'G' || desc.type == 'P' || (desc.type == 'B' && desc.width != 8);
}

CFieldCopier::CFieldCopier(CDBFTableDef& table, const DBFFieldDesc* pOld, int nOld, const DBFFieldDesc* pNew,
                           int nNew, const int16_t* pMap)
    : m_table(table), m_pOld(pOld), m_nOld(nOld), m_pNew(pNew), m_nNew(nNew), m_pMap(pMap) {
    const CMemoFile* pMemo = table.GetMemoFile();
    m_bSmt = pMemo && pMemo->GetMemoType() == memoSmt;
    m_bMemoOpen = pMemo && pMemo->IsOpen();
    m_strWholeText = table.GetWholeTextEncoding();
    for (int i = 0; i < nNew; ++i) m_plans.push_back(PlanFor(i));
}

CFieldCopier::Plan CFieldCopier::PlanFor(int nNew) const {
    const int nFrom = m_pMap ? m_pMap[nNew] : nNew;
    if (nFrom < 0 || nFrom >= m_nOld) return Plan::blank;
    const DBFFieldDesc& o = m_pOld[nFrom];
    const DBFFieldDesc& n = m_pNew[nNew];
    // Bytes 16 and 17 are the width and decimals, or a wide field's width:
    // equal, the field means the same in both layouts.
    return o.type == n.type && o.width == n.width && o.decimals == n.decimals ? Plan::sameBytes : Plan::values;
}

void CFieldCopier::WriteBlank(std::span<uint8_t> record, const DBFFieldDesc& desc, bool bSmtTable) {
    WriteFieldValue(record, desc, FieldValue());
    if (desc.type == 'T') {
        // An Empty value writes zero bytes, Visual FoxPro's empty date-time.
        std::memset(record.data() + desc.GetDisplacement(), 0, desc.GetLayoutWidth());
        return;
    }
    if (!IsMemoField(desc)) return;
    // Nothing is written for an Empty memo reference; what the field then
    // holds must still read as "no memo": a four-byte reference of spaces
    // would name block 0x20202020.
    const uint16_t nWidth = desc.GetLayoutWidth();
    const bool bDigits = desc.width == 10 && !bSmtTable;
    std::memset(record.data() + desc.GetDisplacement(), bDigits ? ' ' : 0, nWidth);
}

void CFieldCopier::WriteNoValue(std::span<uint8_t> record, const DBFFieldDesc& desc, bool bSmtTable) {
    if (IsMemoField(desc)) return WriteBlank(record, desc, bSmtTable);
    const size_t nOffset = desc.GetDisplacement(), nWidth = desc.GetLayoutWidth();
    if (nOffset > record.size() || nWidth > record.size() - nOffset) ThrowError(errNotDbfFile);
    const bool bBinary = desc.type == 'T' || desc.type == 'I' || desc.type == 'Y' || desc.type == 'B' || desc.type == '0';
    std::memset(record.data() + nOffset, bBinary ? 0 : ' ', nWidth);
}

bool CFieldCopier::IsNoValue(std::span<const uint8_t> record, const DBFFieldDesc& desc) {
    const size_t nOffset = desc.GetDisplacement(), nWidth = desc.GetLayoutWidth();
    if (nOffset > record.size() || nWidth > record.size() - nOffset) return false;
    const uint8_t* p = record.data() + nOffset;
    switch (desc.type) {
    case 'N':
    case 'F':
        for (size_t i = 0; i < nWidth; ++i)
            if (p[i] != ' ' && p[i] != 0) return false;
        return true;
    case 'L': return nWidth == 0 || p[0] == ' ' || p[0] == '?' || p[0] == 0;
    case 'D':
    case 'T': {
        FieldValue value;
        ReadFieldValue(record, desc, value);
        return value.IsEmpty();
    }
    default: return false;
    }
}

void CFieldCopier::Copy(std::span<const uint8_t> oldRecord, std::span<uint8_t> newRecord, int32_t nRecord) {
    std::memset(newRecord.data(), ' ', newRecord.size());
    if (!newRecord.empty() && !oldRecord.empty()) newRecord[0] = oldRecord[0];
    FieldValue value;
    for (int i = 0; i < m_nNew; ++i) {
        const DBFFieldDesc& newDesc = m_pNew[i];
        const Plan ePlan = m_plans[size_t(i)];
        if (ePlan == Plan::blank) {
            WriteBlank(newRecord, newDesc, m_bSmt);
            continue;
        }
        const DBFFieldDesc& oldDesc = m_pOld[m_pMap ? m_pMap[i] : i];
        if (ePlan == Plan::sameBytes) {
            // The open proved both fields inside their records.
            std::memcpy(newRecord.data() + newDesc.GetDisplacement(), oldRecord.data() + oldDesc.GetDisplacement(),
                        newDesc.GetLayoutWidth());
            continue;
        }
        // A date or date-time says whether it names a day only once read:
        // it is read once, for both questions.
        const bool bDate = oldDesc.type == 'D' || oldDesc.type == 'T';
        if (bDate) ReadFieldValue(oldRecord, oldDesc, value);
        if (bDate ? value.IsEmpty() : IsNoValue(oldRecord, oldDesc)) {
            WriteNoValue(newRecord, newDesc, m_bSmt);
            continue;
        }
        if (!bDate) ReadFieldValue(oldRecord, oldDesc, value);
        try {
            FieldValue newValue = ValueFor(value, oldDesc, newDesc);
            if (newValue.IsEmpty()) {
                WriteNoValue(newRecord, newDesc, m_bSmt);
                continue;
            }
            if (newDesc.type == 'C' && newValue.GetKind() == FieldKind::Text) {
                const size_t nWidth = newDesc.GetLayoutWidth();
                const std::string& strText = newValue.GetText();
                if (strText.size() > nWidth) {
                    if (m_pCuts && size_t(i) < m_pCuts->size()) ++(*m_pCuts)[size_t(i)];
                    if (!m_strWholeText.empty())
                        newValue = FieldValue::MakeText(
                            strText.substr(0, platform::CharacterBoundaryCut(m_strWholeText, strText, nWidth)));
                }
            }
            WriteFieldValue(newRecord, newDesc, newValue);
        } catch (const platform::CConversionError& e) {
            // Storing something else in its place would lose the value
            // without a word: the whole copy is refused instead.
            ThrowError(errValueDoesNotFit,
                       "(record " + std::to_string(int64_t(nRecord) + 1) + ", field " + newDesc.GetName() + ": " +
                           e.what() + ")");
        }
    }
}

FieldValue CFieldCopier::ValueFor(const FieldValue& oldValue, const DBFFieldDesc& oldDesc,
                                  const DBFFieldDesc& newDesc) {
    // A binary memo's reference means something only to a binary memo field.
    if (IsBinaryMemoField(oldDesc)) return IsBinaryMemoField(newDesc) ? oldValue : FieldValue();
    FieldValue value = oldValue;
    if (oldDesc.type == 'M') {
        // A memo that stays a memo keeps its reference (the memo file is
        // the same); one that becomes another kind of field carries its text.
        if (newDesc.type == 'M') return oldValue;
        value = MemoText(oldValue);
    }
    if (IsBinaryMemoField(newDesc)) return FieldValue();
    if (newDesc.type == 'M') return NewMemo(value, newDesc);

    // Blank text going into a number, date or logical field is no value at
    // all, not an error: a blank number or logical, an empty date, zeros in
    // binary numbers.
    if (value.GetKind() == FieldKind::Text && platform::TrimAsciiSpace(value.GetText()).empty()) {
        switch (newDesc.type) {
        case 'N': case 'F': case 'L': return FieldValue::MakeNull();
        case 'D': case 'T': case 'I': case 'Y': case 'B': return FieldValue();
        default: break;
        }
    }
    return value;
}

FieldValue CFieldCopier::MemoText(const FieldValue& ref) {
    uint32_t nLength = 0;
    const uint32_t nBlock = MemoBlockOf(ref, &nLength);
    if (nBlock == 0) return FieldValue();
    std::string strText;
    m_table.ReadMemoText(nBlock, nLength, strText);
    return FieldValue::MakeText(std::move(strText));
}

FieldValue CFieldCopier::NewMemo(const FieldValue& value, const DBFFieldDesc& newDesc) {
    if (value.IsEmpty() || value.IsNull()) return FieldValue();
    std::string strText = value.ToText();
    if (strText.empty()) return FieldValue();
    if (!m_bMemoOpen) platform::ThrowConversionError("the table has no memo file to hold the text");
    if (newDesc.width != 4 && newDesc.width != 10)
        platform::ThrowConversionError("a memo field " + std::to_string(newDesc.width) + " wide holds no reference");
    uint32_t nBlock = 0, nLength = uint32_t(strText.size());
    m_table.WriteMemo(nBlock, nLength, strText);
    if (m_bSmt && newDesc.width == 10) return FieldValue::MakeSmtMemoRef(nLength, nBlock);
    return FieldValue::MakeMemoRef(nBlock);
}

}  // namespace dbf
