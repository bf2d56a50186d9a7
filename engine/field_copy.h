// Copying records from one field layout to another: the restructure copy and
// the dBASE III and Visual FoxPro export copies. A field that keeps its type,
// width and decimals keeps its bytes exactly (a blank number stays blank, a
// '?' logical stays '?'); every other new field is filled from its old one
// through ReadFieldValue and WriteFieldValue, with memo fields turned into
// their text (or a text into a new memo) where the kind of field changes, a
// blank old field giving the new type's blank, and a value its new field
// cannot hold refused rather than stored as another value.
#pragma once

#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "engine/dbf_format.h"
#include "engine/field_value.h"

namespace dbf {

class CDBFTableDef;

// Binary memo fields: G and P, and B unless it is an 8-byte double.
bool IsBinaryMemoField(const DBFFieldDesc& desc);
// Fields that hold a memo reference of any kind.
inline bool IsMemoField(const DBFFieldDesc& desc) { return desc.type == 'M' || IsBinaryMemoField(desc); }

class CFieldCopier {
public:
    // pMap gives, for each new field, the index of the old field that fills
    // it or -1 (a new, blank field); null means new field i from old field i.
    // The table's memo file resolves and writes memo texts.
    CFieldCopier(CDBFTableDef& table, const DBFFieldDesc* pOld, int nOld, const DBFFieldDesc* pNew, int nNew,
                 const int16_t* pMap);

    // Fills the new record from the old one; the deletion flag is copied as
    // it is. A value that its new field refuses raises 3023 with the record
    // (nRecord, 0-based) and the field named; memo read and write errors
    // propagate.
    void Copy(std::span<const uint8_t> oldRecord, std::span<uint8_t> newRecord, int32_t nRecord);

    // The blank contents of a field that gets no value, written into a
    // record: what an Empty value writes, except that a date-time is eight
    // zero bytes and a memo reference names no memo in the form the table's
    // programs read (ten spaces, or zero bytes in four-byte and .SMT
    // references).
    static void WriteBlank(std::span<uint8_t> record, const DBFFieldDesc& desc, bool bSmtTable);
    // A field with no value at all, as its programs leave it: spaces for
    // text, numbers, dates and logicals, zero bytes for date-times and
    // binary numbers, "no memo" for memo references.
    static void WriteNoValue(std::span<uint8_t> record, const DBFFieldDesc& desc, bool bSmtTable);
    // Whether a field's bytes hold no value: a blank N or F, a blank or '?'
    // logical, a date or date-time that names no day.
    static bool IsNoValue(std::span<const uint8_t> record, const DBFFieldDesc& desc);

    // Counts, per new field, the texts a C field cut to its width (the
    // vector gets one entry per new field). Text of a whole-text encoding
    // (the table's GetWholeTextEncoding) is cut at a character boundary.
    void CountCuts(std::vector<int64_t>* pCuts) { m_pCuts = pCuts; }

private:
    // How a new field is filled: from no field, through values, or, where
    // the old field has the same type, width and decimals, with its bytes.
    enum class Plan : uint8_t { blank, values, sameBytes };
    Plan PlanFor(int nNew) const;

    FieldValue ValueFor(const FieldValue& oldValue, const DBFFieldDesc& oldDesc, const DBFFieldDesc& newDesc);
    FieldValue MemoText(const FieldValue& ref);
    FieldValue NewMemo(const FieldValue& value, const DBFFieldDesc& newDesc);

    CDBFTableDef& m_table;
    const DBFFieldDesc* m_pOld;
    int m_nOld;
    const DBFFieldDesc* m_pNew;
    int m_nNew;
    const int16_t* m_pMap;
    bool m_bSmt;
    bool m_bMemoOpen;
    std::vector<Plan> m_plans;
    std::vector<int64_t>* m_pCuts = nullptr;
    std::string m_strWholeText;
};

}  // namespace dbf
