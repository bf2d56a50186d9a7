// dbftool's --filter=TEXT[@FIELD]: keeps the records in which the text
// appears, ignoring letter case, in what dbftool shows of one field or of
// any field (the table text decoded by its code page, numbers, dates and
// logicals as dump prints them, memo texts; binary memos are not searched).
// The table's bytes are compared through a table of the lower-case
// character each byte shows as, so no record is decoded to be searched.
#pragma once

#include <string>

#include "engine/memory_cursorset.h"
#include "tools/dbftool/table_text.h"

namespace dbftool {

class CTextFilter {
public:
    // strSpec is "TEXT" or "TEXT@FIELD". The part after the last '@' names
    // the field when a field has that name (exactly, or but for ASCII letter
    // case); otherwise the whole of strSpec is the text.
    void Parse(const std::string& strSpec, const dbf::DBFFieldList& fields, const CTableText& text);
    int GetField() const { return m_nField; }

    bool Matches(const uint8_t* pRecord, const dbf::DBFFieldList& fields, dbf::CDBFTableDef& table,
                 size_t nRecordLength) const;
    // The predicate for the cursor set; it keeps a copy of the filter.
    dbf::CDBFMemoryCursorset::Filter MakePredicate(dbf::CDBFTableDef& table, size_t nRecordLength) const;

private:
    bool FieldMatches(const uint8_t* pRecord, const dbf::DBFFieldDesc& desc, dbf::CDBFTableDef& table,
                      size_t nRecordLength) const;
    bool Contains(const uint8_t* p, size_t n) const;

    std::u32string m_needle;  // lower case
    char32_t m_fold[256] = {};
    int m_nField = -1;
    // The encoding of whole text (UTF-8 or a multi-byte page), searched by
    // characters rather than bytes; empty for single-byte text.
    std::string m_strWhole;
};

// The index of the field named strName: the exact name first, then one that
// differs only in ASCII letter case; -1 when none.
int FindFieldByName(const dbf::DBFFieldList& fields, std::string_view strName);

}  // namespace dbftool
