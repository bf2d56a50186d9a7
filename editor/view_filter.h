// The filter of a table window and the arithmetic of the Formulas dialog,
// apart from the windows that drive them, so that tests and benchmarks reach
// them directly.
//
// A filter keeps the records in which a text occurs, in any letter case, in
// what the window shows of one field or of any visible column: the cell
// texts, in the display code page. It belongs to its document (DocFilter):
// two windows never share a condition, a field or a code-page flag.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "engine/field_value.h"
#include "engine/memory_cursorset.h"
#include "engine/table_def.h"

class CDBFDoc;

namespace platform {
class CCodePage;
}

// ---- matching ---------------------------------------------------------------------------

// The byte each byte of display text is compared as: its upper case in the
// display code page (so Cyrillic, Greek and Central European letters match
// in either case), itself when the page has no upper case for it.
using MatchFoldTable = std::array<uint8_t, 256>;
MatchFoldTable MakeMatchFoldTable(const platform::CCodePage& displayPage);

// ---- the document's filter ------------------------------------------------------------------

// The predicate of the document's filter (doc.m_filter); an empty condition
// gives none. It finds its field again by name when the table's structure
// changed under it, and keeps every record while that field is missing.
dbf::CDBFMemoryCursorset::Filter MakeDocumentFilter(CDBFDoc& doc);
// Installs the document's filter in its table and rebuilds the record list.
void ApplyDocumentFilter(CDBFDoc& doc);
// After the table was reopened with another structure or the visible
// columns changed: the filter's field is looked up again by name; when it is
// gone the filter is dropped (condition, field and mark). True when the
// record list was rebuilt.
bool RebindDocumentFilter(CDBFDoc& doc);

// ---- formulas ----------------------------------------------------------------------------------

enum class FormulaOp { set = 0, add, subtract, multiply, divide };

// The number of the Formulas dialog, kept as the decimal the user typed so
// that amounts are computed exactly.
struct FormulaNumber {
    double dValue = 0;
    bool bDecimal = false;  // nDigits x 10^-nScale is exactly the number
    int64_t nDigits = 0;
    int nScale = 0;
};
// A number as the user's locale writes it, or with a full stop; false when
// the text is none.
bool ParseFormulaNumber(std::string_view strText, FormulaNumber& number);
// Whether "/" with this number would divide an integer field by zero (its
// whole part is 0).
bool IsIntegerDivisionByZero(const FormulaNumber& number);

struct FormulaResult {
    enum class Kind { skipped, value, refused } eKind = Kind::skipped;
    dbf::FieldValue value;
    std::string strReason;  // why a refused result cannot be stored (UTF-8)
};
// The new value of one cell: integers in 64 bits and refused outside the
// field's range; amounts exactly in ten-thousandths ("+", "-") or rounded to
// the nearest one ("=", "*", "/"); doubles refused when not finite. Kinds
// other than numbers are skipped. Whether an N or F field can hold a double
// is the caller's test (it needs the record).
FormulaResult ComputeFormula(FormulaOp eOp, const FormulaNumber& number, const dbf::FieldValue& current);
