// Record copies between field layouts, value by value.
#include "engine/field_copy.h"

#include <cstring>
#include <string>

#include "engine/dbf_exception.h"
#include "engine/field_io.h"
#include "engine/table_def.h"
#include "platform/core/ole_date.h"
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
    for (int i = 0; i < nNew; ++i) m_plans.push_back(PlanFor(i));
}

CFieldCopier::Plan CFieldCopier::PlanFor(int nNew) const {
    const int nFrom = m_pMap ? m_pMap[nNew] : nNew;
    if (nFrom < 0 || nFrom >= m_nOld) return Plan::blank;
    const DBFFieldDesc& o = m_pOld[nFrom];
    const DBFFieldDesc& n = m_pNew[nNew];
    const bool bSameLayout = o.type == n.type && o.width == n.width && o.decimals == n.decimals;
    if (!bSameLayout) return Plan::values;
    switch (n.type) {
    case 'C': return o.flags == n.flags ? Plan::sameText : Plan::values;
    case 'D': return n.width == 8 && n.decimals == 0 ? Plan::sameDate : Plan::values;
    case 'L': return Plan::sameLogical;
    case 'I': return n.width == 4 ? Plan::sameBytes : Plan::values;
    case 'Y': return n.width == 8 ? Plan::sameBytes : Plan::values;
    case 'B': return n.width == 8 ? Plan::sameBytes : Plan::values;
    default: return Plan::values;
    }
}

// The bytes ReadFieldValue and WriteFieldValue would leave, without the
// values: false when only the values can tell (a date that is not eight
// digits).
bool CFieldCopier::CopySame(Plan ePlan, const uint8_t* pOld, uint8_t* pNew, const DBFFieldDesc& oldDesc,
                            const DBFFieldDesc& newDesc) const {
    const size_t nWidth = newDesc.GetLayoutWidth();
    switch (ePlan) {
    case Plan::sameText: {
        // The text up to its first NUL, trimmed unless binary; spaces after.
        size_t n = strnlen(reinterpret_cast<const char*>(pOld), nWidth);
        if (newDesc.flags != kFieldFlagBinary)
            while (n > 0 && platform::IsAsciiSpace(char(pOld[n - 1]))) --n;
        std::memcpy(pNew, pOld, n);
        std::memset(pNew + n, ' ', nWidth - n);
        return true;
    }
    case Plan::sameDate: {
        for (size_t i = 0; i < 8; ++i)
            if (pOld[i] < '0' || pOld[i] > '9') return false;
        auto number = [pOld](size_t nAt, size_t nDigits) {
            int n = 0;
            for (size_t i = nAt; i < nAt + nDigits; ++i) n = n * 10 + (pOld[i] - '0');
            return n;
        };
        // A day the calendar has keeps its digits; any other is Empty: blank.
        if (platform::IsValidDate(number(0, 4), number(4, 2), number(6, 2))) {
            std::memcpy(pNew, pOld, 8);
        } else {
            std::memset(pNew, ' ', 8);
        }
        return true;
    }
    case Plan::sameLogical: {
        if (nWidth == 0) return true;
        const uint8_t c = pOld[0];
        std::memset(pNew, 0, nWidth);
        pNew[0] = c == 'T' || c == 't' || c == 'Y' || c == 'y' ? 'T' : 'F';
        return true;
    }
    case Plan::sameBytes: std::memcpy(pNew, pOld, nWidth); return true;
    default: (void)oldDesc; return false;
    }
}

void CFieldCopier::WriteBlank(std::span<uint8_t> record, const DBFFieldDesc& desc, bool bSmtTable) {
    WriteFieldValue(record, desc, FieldValue());
    if (desc.type == 'T') {
        // An Empty value writes spaces, which other programs read as a day
        // beyond the year 9999 (or fail on); Visual FoxPro's own empty
        // date-time is eight zero bytes.
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
        if (ePlan != Plan::values && CopySame(ePlan, oldRecord.data() + oldDesc.GetDisplacement(),
                                              newRecord.data() + newDesc.GetDisplacement(), oldDesc, newDesc))
            continue;
        ReadFieldValue(oldRecord, oldDesc, value);
        try {
            FieldValue newValue = ValueFor(value, oldDesc, newDesc);
            if (newValue.IsEmpty()) {
                WriteBlank(newRecord, newDesc, m_bSmt);
            } else {
                WriteFieldValue(newRecord, newDesc, newValue);
            }
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
    uint32_t nBlock = 0, nLength = 0;
    if (ref.GetKind() == FieldKind::MemoRef) {
        nBlock = ref.GetMemoRef();
    } else if (ref.GetKind() == FieldKind::SmtMemoRef) {
        nBlock = ref.GetSmtMemoRef().nBlock;
        nLength = ref.GetSmtMemoRef().nLength;
    }
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
