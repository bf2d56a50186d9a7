// The table view's Filter and Formulas commands, the document's filter and
// the formulas' arithmetic.
#include "editor/view_filter.h"

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>
#include <vector>

#include <QCoreApplication>

#include "editor/cell_text.h"
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/filter_dlg.h"
#include "editor/formula_dlg.h"
#include "editor/view_commands.h"
#include "engine/field_copy.h"
#include "engine/field_io.h"
#include "platform/core/code_page.h"
#include "platform/core/currency.h"
#include "platform/core/ole_date.h"
#include "platform/core/string_table.h"
#include "platform/core/text_fold.h"
#include "platform/core/value_coercion.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"

using namespace platform;

// ---- matching ---------------------------------------------------------------------------

MatchFoldTable MakeMatchFoldTable(const CCodePage& page) {
    // The one case folding of the programs (Find and Peekrow use it too).
    MatchFoldTable table{};
    const uint8_t* pFold = CTextFold::ForCodePage(page).GetTable();
    std::copy(pFold, pFold + 256, table.begin());
    return table;
}

namespace {

// ---- the document's filter ------------------------------------------------------------------

// Characters a number's cell text can hold (upper-cased): digits, sign,
// decimal separators, and the letters of INF and NAN.
bool CanBeNumberText(const std::string& strNeedle, char cDecimal) {
    for (char c : strNeedle)
        if (!IsAsciiDigit(c) && c != '-' && c != '.' && c != cDecimal && c != 'I' && c != 'N' && c != 'F' && c != 'A')
            return false;
    return true;
}

// Characters a date's cell text can hold when its pattern has only numeric
// directives: digits and the pattern's own characters; true when unsure.
bool CanBeDateText(const std::string& strNeedle, const std::string& strPattern, const MatchFoldTable& fold) {
    std::string strLiterals = " :";
    for (size_t i = 0; i < strPattern.size(); ++i) {
        if (strPattern[i] != '%') {
            strLiterals += char(fold[uint8_t(strPattern[i])]);
            continue;
        }
        if (++i >= strPattern.size())
            break;
        if (!std::strchr("dmYyHMSejI%", strPattern[i]))
            return true;
        if (strPattern[i] == '%')
            strLiterals += '%';
    }
    for (char c : strNeedle)
        if (!IsAsciiDigit(c) && strLiterals.find(c) == std::string::npos)
            return false;
    return true;
}

bool IsSimpleDatePattern(const std::string& strPattern) {
    if (strPattern.size() > 20)
        return false;
    for (size_t i = 0; i < strPattern.size(); ++i)
        if (strPattern[i] == '%' && (i + 1 >= strPattern.size() || !std::strchr("dmYy%", strPattern[++i])))
            return false;
    return true;
}

struct FieldTest {
    int nIndex = -1;
    dbf::DBFFieldDesc desc{};
    dbf::DBFFieldInfo info;
};

// What the predicate of one document needs. The fields are looked up by
// name whenever the table's field list is not the one they were found in.
struct FilterState {
    CDBFDoc* pDoc = nullptr;
    std::string strNeedle;  // folded
    MatchFoldTable foldDisplay{};
    MatchFoldTable foldDos{};  // stored DOS text to folded display text
    std::vector<std::string> names;
    bool bOneField = false;
    bool bDos = false;  // the window's code page when the filter was set
    bool bNumberPossible = true;
    bool bDatePossible = true;
    bool bSimpleDatePattern = false;  // only %d, %m, %Y, %y, %% and plain characters

    const dbf::DBFFieldDesc* pResolvedDesc = nullptr;
    int nResolvedCount = -1;
    std::vector<FieldTest> tests;
    bool bFieldMissing = false;

    void Resolve(const dbf::DBFFieldList& fields) {
        pResolvedDesc = fields.m_pDesc;
        nResolvedCount = fields.m_nFields;
        tests.clear();
        bFieldMissing = false;
        dbf::CDBFTableDef* pDef = pDoc->m_table.GetTableDef();
        for (const std::string& strName : names) {
            int nIndex = fields.FindField(strName);
            if (nIndex < 0 || nIndex >= fields.m_nFields || !pDef) {
                bFieldMissing = true;
                continue;
            }
            FieldTest test;
            test.nIndex = nIndex;
            test.desc = fields.m_pDesc[nIndex];
            test.info = pDef->GetFieldInfo(nIndex);
            tests.push_back(std::move(test));
        }
    }

    bool Contains(const uint8_t* p, size_t n, const MatchFoldTable& fold) const {
        size_t nNeedle = strNeedle.size();
        if (n < nNeedle)
            return false;
        const uint8_t cFirst = uint8_t(strNeedle[0]);
        for (size_t i = 0; i + nNeedle <= n; ++i) {
            if (fold[p[i]] != cFirst)
                continue;
            size_t k = 1;
            while (k < nNeedle && fold[p[i + k]] == uint8_t(strNeedle[k]))
                ++k;
            if (k == nNeedle)
                return true;
        }
        return false;
    }
    bool Contains(const std::string& str, const MatchFoldTable& fold) const {
        return Contains(reinterpret_cast<const uint8_t*>(str.data()), str.size(), fold);
    }

    bool FieldMatches(const uint8_t* pRecord, size_t nRecordLength, const FieldTest& test) const {
        const dbf::DBFFieldDesc& desc = test.desc;
        const MatchFoldTable& foldText = bDos ? foldDos : foldDisplay;
        if (desc.type == 'C') {
            // The cell's text straight from the record, as the cursor reads it.
            size_t nAt = desc.GetDisplacement();
            size_t nWidth = desc.GetLayoutWidth();
            if (nAt > nRecordLength || nWidth > nRecordLength - nAt)
                return false;
            const char* p = reinterpret_cast<const char*>(pRecord + nAt);
            size_t n = strnlen(p, nWidth);
            if (desc.flags != dbf::kFieldFlagBinary)
                while (n > 0 && IsAsciiSpace(p[n - 1]))
                    --n;
            return Contains(reinterpret_cast<const uint8_t*>(p), n, foldText);
        }
        switch (desc.type) {
        case 'N':
        case 'F':
        case 'I':
        case 'Y':
            if (!bNumberPossible)
                return false;
            break;
        case 'B':
            if (!bNumberPossible && !dbf::IsBinaryMemoField(desc))
                return false;
            break;
        case 'D':
        case 'T':
            if (!bDatePossible)
                return false;
            break;
        default:
            break;
        }
        char buffer[64];
        size_t nFast = 0;
        if ((desc.type == 'N' || desc.type == 'F') && NumberAsShown(pRecord, nRecordLength, desc, buffer, nFast))
            return Contains(reinterpret_cast<const uint8_t*>(buffer), nFast, foldDisplay);
        if (desc.type == 'D' && bSimpleDatePattern && DateAsShown(pRecord, nRecordLength, desc, buffer, nFast))
            return Contains(reinterpret_cast<const uint8_t*>(buffer), nFast, foldDisplay);
        dbf::FieldValue value;
        int32_t nLength = 0;
        try {
            nLength = int32_t(dbf::ReadFieldValue(std::span<const uint8_t>(pRecord, nRecordLength), desc, value));
            if (dbf::IsMemoField(desc))
                nLength = ResolveMemo(desc, value);
        } catch (const std::exception&) {
            return false;
        }
        if (value.GetKind() == dbf::FieldKind::Text)
            return Contains(value.GetText(), foldText);
        std::string strText = cell_text::FormatValue(value, test.info, nLength, pDoc->m_strDateFormat);
        return Contains(strText, foldDisplay);
    }

    // The text of an N or F field when its bytes are already the cell text:
    // a plain number with exactly the field's decimals and at most 15
    // digits, which "%.<decimals>f" of its value writes back the same.
    static bool NumberAsShown(const uint8_t* pRecord, size_t nRecordLength, const dbf::DBFFieldDesc& desc,
                              char* pOut, size_t& nOut) {
        size_t nAt = desc.GetDisplacement();
        size_t nWidth = desc.width;
        if (nAt > nRecordLength || nWidth > nRecordLength - nAt || nWidth > 20)
            return false;
        const char* p = reinterpret_cast<const char*>(pRecord + nAt);
        size_t i = 0;
        while (i < nWidth && p[i] == ' ')
            ++i;
        size_t nStart = i;
        if (i < nWidth && p[i] == '-')
            ++i;
        size_t nWhole = i;
        while (i < nWidth && IsAsciiDigit(p[i]))
            ++i;
        size_t nWholeDigits = i - nWhole;
        if (nWholeDigits == 0 || (nWholeDigits > 1 && p[nWhole] == '0'))
            return false;
        size_t nDecimals = 0;
        if (i < nWidth && p[i] == '.') {
            size_t nPoint = ++i;
            while (i < nWidth && IsAsciiDigit(p[i]))
                ++i;
            nDecimals = i - nPoint;
            if (nDecimals == 0)
                return false;
        }
        if (i != nWidth || nDecimals != desc.decimals || nWholeDigits + nDecimals > 15)
            return false;
        nOut = nWidth - nStart;
        std::memcpy(pOut, p + nStart, nOut);
        return true;
    }

    // The text of a D field whose bytes are a date of the years 1000 to
    // 9999, by a pattern of day, month and year numbers only.
    bool DateAsShown(const uint8_t* pRecord, size_t nRecordLength, const dbf::DBFFieldDesc& desc, char* pOut,
                     size_t& nOut) const {
        size_t nAt = desc.GetDisplacement();
        if (desc.width != 8 || nAt > nRecordLength || 8 > nRecordLength - nAt)
            return false;
        const char* p = reinterpret_cast<const char*>(pRecord + nAt);
        int n[8];
        for (int i = 0; i < 8; ++i) {
            if (!IsAsciiDigit(p[i]))
                return false;
            n[i] = p[i] - '0';
        }
        int nYear = n[0] * 1000 + n[1] * 100 + n[2] * 10 + n[3];
        int nMonth = n[4] * 10 + n[5];
        int nDay = n[6] * 10 + n[7];
        if (nYear < 1000 || nDay < 1 || nDay > platform::DaysInMonth(nYear, nMonth))
            return false;
        nOut = 0;
        const std::string& strPattern = pDoc->m_strDateFormat;
        for (size_t i = 0; i < strPattern.size(); ++i) {  // at most 20: 40 characters
            if (strPattern[i] != '%' || i + 1 >= strPattern.size()) {
                pOut[nOut++] = strPattern[i];
                continue;
            }
            switch (strPattern[++i]) {
            case 'd':
                pOut[nOut++] = p[6], pOut[nOut++] = p[7];
                break;
            case 'm':
                pOut[nOut++] = p[4], pOut[nOut++] = p[5];
                break;
            case 'Y':
                std::memcpy(pOut + nOut, p, 4), nOut += 4;
                break;
            case 'y':
                pOut[nOut++] = p[2], pOut[nOut++] = p[3];
                break;
            default:
                pOut[nOut++] = strPattern[i];
                break;
            }
        }
        return true;
    }

    // A memo's text or bytes, as the view shows them.
    int32_t ResolveMemo(const dbf::DBFFieldDesc& desc, dbf::FieldValue& value) const {
        uint32_t nLength = 0;
        const uint32_t nBlock = dbf::MemoBlockOf(value, &nLength);
        value.Clear();
        dbf::CDBFTableDef* pDef = pDoc->m_table.GetTableDef();
        if (nBlock == 0 || !pDef)
            return 0;
        if (dbf::IsBinaryMemoField(desc)) {
            thread_local std::vector<uint8_t> bytes;
            bytes.clear();
            pDef->ReadMemoBinary(nBlock, nLength, bytes);
            value = dbf::FieldValue::MakeBytes(bytes.data(), uint32_t(bytes.size()));
            return int32_t(bytes.size());
        }
        std::string strText;
        pDef->ReadMemoText(nBlock, nLength, strText);
        int32_t nRead = int32_t(strText.size());
        value = dbf::FieldValue::MakeText(std::move(strText));
        return nRead;
    }

    bool Matches(const uint8_t* pRecord, const dbf::DBFFieldList& fields) {
        if (fields.m_pDesc != pResolvedDesc || fields.m_nFields != nResolvedCount)
            Resolve(fields);
        // A field that went with a structure change keeps every record until
        // the window drops the filter.
        if (bOneField && bFieldMissing)
            return true;
        size_t nRecordLength = pDoc->m_table.GetRecordLength();
        for (const FieldTest& test : tests)
            if (FieldMatches(pRecord, nRecordLength, test))
                return true;
        return false;
    }
};

// The names of the fields the filter looks in: its own field, or every
// visible column.
std::vector<std::string> FilterFieldNames(CDBFDoc& doc) {
    std::vector<std::string> names;
    if (!doc.m_table.IsOpen())
        return names;
    const dbf::DBFFieldList& fields = doc.m_table.GetFieldList();
    if (doc.m_filter.nField >= 0) {
        names.push_back(doc.m_filter.strFieldName);
        return names;
    }
    for (const ColumnInfo& info : doc.m_columns)
        if (info.bVisible && info.nField >= 0 && info.nField < fields.m_nFields)
            names.push_back(fields.m_pDesc[info.nField].GetName());
    return names;
}

}  // namespace

dbf::CDBFMemoryCursorset::Filter MakeDocumentFilter(CDBFDoc& doc) {
    if (doc.m_filter.strCondition.empty() || !doc.m_table.IsOpen())
        return nullptr;
    auto pState = std::make_shared<FilterState>();
    pState->pDoc = &doc;
    // Whole text (UTF-8, double-byte pages) folds only ASCII letters: a byte
    // of a longer character is no letter of the ANSI page.
    if (doc.IsWholeText()) {
        for (int b = 0; b < 256; ++b)
            pState->foldDisplay[size_t(b)] = b >= 'a' && b <= 'z' ? uint8_t(b - 'a' + 'A') : uint8_t(b);
    } else {
        pState->foldDisplay = MakeMatchFoldTable(doc.GetAnsiPage());
    }
    CCodePageConverter dosToDisplay(doc.GetOemPage(), doc.GetAnsiPage());
    for (int b = 0; b < 256; ++b)
        pState->foldDos[size_t(b)] = pState->foldDisplay[dosToDisplay.Convert(uint8_t(b))];
    for (char c : doc.m_filter.strCondition)
        pState->strNeedle += char(pState->foldDisplay[uint8_t(c)]);
    pState->names = FilterFieldNames(doc);
    pState->bOneField = doc.m_filter.nField >= 0;
    pState->bDos = doc.m_bDosCodePage && !doc.IsWholeText();
    pState->bNumberPossible = CanBeNumberText(pState->strNeedle, CUserLocale::Current().m_cDecimal);
    pState->bDatePossible = CanBeDateText(pState->strNeedle, doc.m_strDateFormat, pState->foldDisplay);
    pState->bSimpleDatePattern = IsSimpleDatePattern(doc.m_strDateFormat);
    return [pState](const uint8_t* pRecord, const dbf::DBFFieldList& fields) {
        return pState->Matches(pRecord, fields);
    };
}

void ApplyDocumentFilter(CDBFDoc& doc) {
    doc.m_table.SetFilter(MakeDocumentFilter(doc));
    if (doc.m_table.IsOpen())
        doc.m_table.Requery();
}

bool RebindDocumentFilter(CDBFDoc& doc) {
    if (doc.m_filter.strCondition.empty() || !doc.m_table.IsOpen())
        return false;
    if (doc.m_filter.nField >= 0) {
        int nField = doc.m_table.GetFieldList().FindField(doc.m_filter.strFieldName);
        if (nField < 0) {
            doc.m_filter = DocFilter{};
            ApplyDocumentFilter(doc);
            return true;
        }
        doc.m_filter.nField = nField;
    }
    ApplyDocumentFilter(doc);
    return true;
}

// ---- formulas ----------------------------------------------------------------------------------

namespace {

using Int128 = __int128;

constexpr int kMaxExactScale = 18;

Int128 Power10(int n) {
    Int128 r = 1;
    while (n-- > 0)
        r *= 10;
    return r;
}

// a / b rounded to the nearest whole number, halves away from zero.
Int128 RoundedDivide(Int128 a, Int128 b) {
    Int128 q = a / b;
    Int128 r = a % b;
    Int128 r2 = r < 0 ? -r : r;
    Int128 b2 = b < 0 ? -b : b;
    if (2 * r2 >= b2)
        q += (a < 0) == (b < 0) ? 1 : -1;
    return q;
}

FormulaResult Refused(std::string strReason) {
    FormulaResult result;
    result.eKind = FormulaResult::Kind::refused;
    result.strReason = std::move(strReason);
    return result;
}

FormulaResult Value(dbf::FieldValue value) {
    FormulaResult result;
    result.eKind = FormulaResult::Kind::value;
    result.value = std::move(value);
    return result;
}

FormulaResult ComputeInteger(FormulaOp eOp, const FormulaNumber& number, int32_t nCurrent) {
    const char* pszRange = "The result is not a whole number from -2147483648 to 2147483647.";
    double dWhole = std::trunc(number.dValue);
    Int128 v = nCurrent;
    Int128 r = 0;
    if (std::fabs(dWhole) >= 9.0e18) {
        // Far beyond any field: only a product with 0 and a quotient stay small.
        if (eOp == FormulaOp::divide)
            r = 0;
        else if (eOp == FormulaOp::multiply && v == 0)
            r = 0;
        else
            return Refused(pszRange);
    } else {
        Int128 n = int64_t(dWhole);
        switch (eOp) {
        case FormulaOp::set:
            r = n;
            break;
        case FormulaOp::add:
            r = v + n;
            break;
        case FormulaOp::subtract:
            r = v - n;
            break;
        case FormulaOp::multiply:
            r = v * n;
            break;
        case FormulaOp::divide:
            if (n == 0)
                return Refused(FindString(IDS_DIVISION_BY_ZERO));
            r = v / n;
            break;
        }
    }
    if (r < INT32_MIN || r > INT32_MAX)
        return Refused(pszRange);
    return Value(dbf::FieldValue::MakeInt32(int32_t(r)));
}

// The number in ten-thousandths, rounded to the nearest; false when out of range.
bool NumberToCurrency(const FormulaNumber& number, Int128& nUnits) {
    if (number.bDecimal) {
        nUnits = number.nScale <= 4 ? Int128(number.nDigits) * Power10(4 - number.nScale)
                                    : RoundedDivide(number.nDigits, Power10(number.nScale - 4));
        return true;
    }
    try {
        nUnits = CurrencyFromDouble(number.dValue);
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

FormulaResult ComputeCurrency(FormulaOp eOp, const FormulaNumber& number, int64_t nCurrent) {
    const char* pszRange = "The result is too large for a currency field.";
    Int128 v = nCurrent;
    Int128 r = 0;
    Int128 nUnits = 0;
    switch (eOp) {
    case FormulaOp::set:
    case FormulaOp::add:
    case FormulaOp::subtract:
        if (!NumberToCurrency(number, nUnits))
            return Refused(pszRange);
        r = eOp == FormulaOp::set ? nUnits : eOp == FormulaOp::add ? v + nUnits : v - nUnits;
        break;
    case FormulaOp::multiply:
    case FormulaOp::divide:
        if (number.bDecimal) {
            if (eOp == FormulaOp::multiply)
                r = RoundedDivide(v * number.nDigits, Power10(number.nScale));
            else if (number.nDigits == 0)
                return Refused(FindString(IDS_DIVISION_BY_ZERO));
            else
                r = RoundedDivide(v * Power10(number.nScale), number.nDigits);
        } else {
            long double d = eOp == FormulaOp::multiply ? (long double)nCurrent * number.dValue
                                                       : (long double)nCurrent / number.dValue;
            if (!std::isfinite(d) || std::fabs(d) >= 9.2e18L)
                return Refused(pszRange);
            r = Int128(std::llroundl(d));
        }
        break;
    }
    if (r < std::numeric_limits<int64_t>::min() || r > std::numeric_limits<int64_t>::max())
        return Refused(pszRange);
    return Value(dbf::FieldValue::MakeCurrency(int64_t(r)));
}

FormulaResult ComputeDouble(FormulaOp eOp, const FormulaNumber& number, double dCurrent) {
    double d = number.dValue;
    double r = 0;
    switch (eOp) {
    case FormulaOp::set:
        r = d;
        break;
    case FormulaOp::add:
        r = dCurrent + d;
        break;
    case FormulaOp::subtract:
        r = dCurrent - d;
        break;
    case FormulaOp::multiply:
        r = dCurrent * d;
        break;
    case FormulaOp::divide:
        if (d == 0)
            return Refused(FindString(IDS_DIVISION_BY_ZERO));
        r = dCurrent / d;
        break;
    }
    if (!std::isfinite(r))
        return Refused("The result is not a finite number.");
    return Value(dbf::FieldValue::MakeDouble(r));
}

}  // namespace

bool ParseFormulaNumber(std::string_view strText, FormulaNumber& number) {
    detail::DecimalNumber decimal;
    if (!detail::ParseLocaleNumber(strText, CUserLocale::Current(), decimal) &&
        !detail::ParseLocaleNumber(strText, CUserLocale(), decimal))
        return false;
    std::string strC = (decimal.bNegative ? "-" : "") + (decimal.strDigits.empty() ? "0" : decimal.strDigits) + "e" +
                       std::to_string(decimal.nExponent);
    number = FormulaNumber{};
    number.dValue = ParseCDouble(strC.data(), strC.size());
    if (!std::isfinite(number.dValue))
        return false;
    // Exact when the digits fit in 18 and the scale stays within 18 places.
    int64_t nScale = -decimal.nExponent;
    std::string strDigits = decimal.strDigits.empty() ? "0" : decimal.strDigits;
    if (nScale < 0 && int64_t(strDigits.size()) - nScale <= kMaxExactScale) {
        strDigits.append(size_t(-nScale), '0');
        nScale = 0;
    }
    if (strDigits.size() <= size_t(kMaxExactScale) && nScale >= 0 && nScale <= kMaxExactScale) {
        number.bDecimal = true;
        number.nDigits = std::stoll(strDigits) * (decimal.bNegative ? -1 : 1);
        number.nScale = int(nScale);
    }
    return true;
}

bool IsIntegerDivisionByZero(const FormulaNumber& number) { return std::trunc(number.dValue) == 0; }

FormulaResult ComputeFormula(FormulaOp eOp, const FormulaNumber& number, const dbf::FieldValue& current) {
    switch (current.GetKind()) {
    case dbf::FieldKind::Int32:
        return ComputeInteger(eOp, number, current.GetInt32());
    case dbf::FieldKind::Double:
        return ComputeDouble(eOp, number, current.GetDouble());
    case dbf::FieldKind::Currency:
        return ComputeCurrency(eOp, number, current.GetCurrency());
    default:
        return FormulaResult{};
    }
}

// ---- the commands --------------------------------------------------------------------------------

namespace {

QString Text(unsigned nId) { return QString::fromUtf8(FindString(nId)); }

void SetFilter(CDBFView& view) {
    CDBFDoc* pDoc = view.GetDoc();
    if (!pDoc || !pDoc->m_table.IsOpen())
        return;
    CWaitCursor wait;
    view.CloseToolDialogs();
    // A value its field refuses keeps its editor open, and the command waits.
    if (!view.EndEditForDocument())
        return;
    view.setFocus();
    CFilterDlg dialog(&view);
    dialog.m_pTableDef = pDoc->m_table.GetTableDef();
    dialog.m_pColumns = &pDoc->m_columns;
    dialog.m_pHistory = &pDoc->m_findHistory;
    dialog.m_nCurrentColumn = view.GetCurrentColumn() - view.GetFixedColumnCount();
    dialog.m_strCondition = pDoc->m_filter.strCondition;
    dialog.m_codec = view.GetTextCodec();
    if (dialog.DoModal() == IDOK) {
        DocFilter filter;
        filter.strCondition = dialog.m_strCondition;
        if (!filter.strCondition.empty() && dialog.m_nField >= 0 && dialog.m_nField < pDoc->m_table.GetFieldCount()) {
            filter.nField = dialog.m_nField;
            filter.strFieldName = pDoc->m_table.GetFieldList().m_pDesc[dialog.m_nField].GetName();
        }
        pDoc->m_filter = filter;
        view.SetSortIndicator(-1, 0, 2);
        ApplyDocumentFilter(*pDoc);
    }
    view.UpdateRowCount();
}

// One cell the formula will change.
struct FormulaChange {
    int32_t nRow;
    int nField;
    dbf::FieldValue value;
};

// Where a refusal happened, for the message: "row 12, field AMOUNT".
QString CellName(CDBFView& view, int32_t nRow, int nField) {
    dbf::DBFFieldInfo info = view.GetTable()->GetTableDef()->GetFieldInfo(nField);
    return QStringLiteral("row %1, field %2").arg(nRow + 1).arg(view.GetTextCodec().ToUnicode(info.strName));
}

void ApplyFormula(CDBFView& view, QWidget* pDialog, int nOperator, const QString& strNumber) {
    CDBFDoc* pDoc = view.GetDoc();
    dbf::CDBFMemoryCursorset* pTable = view.GetTable();
    if (!pDoc || !pTable || !pTable->IsOpen() || pDoc->IsReadOnly() || nOperator < 0 || nOperator > 4)
        return;
    FormulaNumber number;
    if (!ParseFormulaNumber(strNumber.trimmed().toStdString(), number)) {
        MessageBox(pDialog, Text(IDS_ENTER_NUMBER), MB_OK | MB_ICONWARNING);
        return;
    }
    FormulaOp eOp = FormulaOp(nOperator);
    if (eOp == FormulaOp::divide && number.dValue == 0) {
        MessageBox(pDialog, IDS_DIVISION_BY_ZERO, MB_OK);
        return;
    }
    // An open editor would write its old text over the results when the
    // grid gets the focus back: it is ended first (a refused value stops here).
    if (!view.EndEditForDocument())
        return;

    int nLeft = 0, nRight = 0;
    GridRow nTop = 0, nBottom = 0;
    view.GetSelection(nLeft, nRight, nTop, nBottom);
    if (nRight < nLeft || nBottom < nTop || nTop < 0 || nLeft < 0) {
        nLeft = nRight = view.GetCurrentColumn() - view.GetFixedColumnCount();
        nTop = nBottom = view.GetCurrentRow() - view.GetFixedRowCount();
    }
    nBottom = std::min<GridRow>(nBottom, pTable->GetRecordCount() - 1);
    std::vector<int> columnFields;
    for (int nCol = nLeft; nCol <= nRight; ++nCol)
        columnFields.push_back(view.FieldOfColumn(nCol));

    // Every result is computed and checked before the first cell changes.
    int nStored = 0, nFailed = 0;
    QString strFirstFailure;
    std::vector<FormulaChange> changes;
    std::vector<uint8_t> scratch;
    for (GridRow nRow = std::max<GridRow>(nTop, 0); nRow <= nBottom; ++nRow) {
        pTable->SetAbsolutePosition(int32_t(nRow));
        for (int nField : columnFields) {
            if (nField < 0)
                continue;
            const dbf::DBFFieldDesc& desc = pTable->GetFieldList().m_pDesc[nField];
            if (desc.type != 'I' && desc.type != 'N' && desc.type != 'F' && desc.type != 'Y' &&
                !(desc.type == 'B' && desc.width == 8))
                continue;
            dbf::FieldValue current;
            try {
                pTable->GetFieldValue(nField, current);
            } catch (const std::exception& e) {
                // A cell that cannot be read keeps its bytes; the others go on.
                if (nFailed++ == 0)
                    strFirstFailure =
                        CellName(view, int32_t(nRow), nField) + QStringLiteral(": ") + QString::fromUtf8(e.what());
                continue;
            }
            if (current.GetKind() == dbf::FieldKind::Int32 && eOp == FormulaOp::divide &&
                IsIntegerDivisionByZero(number)) {
                MessageBox(pDialog, IDS_DIVISION_BY_ZERO, MB_OK);
                return;
            }
            FormulaResult result = ComputeFormula(eOp, number, current);
            if (result.eKind == FormulaResult::Kind::value && result.value.GetKind() == dbf::FieldKind::Double) {
                // The field's own test: a number too wide for it is refused.
                const uint8_t* pRecord = pTable->GetRecordBuffer();
                scratch.assign(pRecord, pRecord + pTable->GetRecordLength());
                try {
                    dbf::WriteFieldValue(scratch, desc, result.value);
                } catch (const std::exception& e) {
                    result = FormulaResult{FormulaResult::Kind::refused, {}, e.what()};
                }
            }
            if (result.eKind == FormulaResult::Kind::refused) {
                MessageBox(pDialog,
                           Text(IDS_FORMULA_REFUSED)
                               .arg(CellName(view, int32_t(nRow), nField), QString::fromUtf8(result.strReason)),
                           MB_OK | MB_ICONWARNING);
                return;
            }
            if (result.eKind == FormulaResult::Kind::value)
                changes.push_back({int32_t(nRow), nField, std::move(result.value)});
        }
    }

    for (const FormulaChange& change : changes) {
        try {
            pTable->SetAbsolutePosition(change.nRow);
            pTable->Edit();
            pTable->SetFieldValue(change.nField, change.value);
            pTable->Update();
            ++nStored;
        } catch (const std::exception& e) {
            pTable->CancelUpdate();
            if (nFailed++ == 0)
                strFirstFailure = CellName(view, change.nRow, change.nField) + QStringLiteral(": ") +
                                  QString::fromUtf8(e.what());
        }
    }
    if (nStored > 0)
        pDoc->SetModifiedFlag(true);
    view.viewport()->update();
    if (nFailed > 0)
        MessageBox(pDialog, Text(IDS_CELLS_NOT_CHANGED).arg(nFailed).arg(strFirstFailure), MB_OK | MB_ICONWARNING);
}

void OpenFormulas(CDBFView& view) {
    view.CloseToolDialogs();
    CDBFView* pView = &view;
    auto* pDialog = new CFormulaDlg(&view, nullptr);
    pDialog->SetApply([pView, pDialog](int nOperator, const QString& strNumber) {
        RunGuarded([&] { ApplyFormula(*pView, pDialog, nOperator, strNumber); });
    });
    view.m_pFormulaDlg = pDialog;
    pDialog->show();
    pDialog->raise();
}

}  // namespace

void AddFilterCommands(CDBFView& view) {
    CDBFView* pView = &view;
    view.GetCommandMap().Add(
        ID_VIEW_FILTER, [pView] { SetFilter(*pView); },
        [pView](CCmdUI& ui) {
            CDBFDoc* pDoc = pView->GetDoc();
            ui.Enable(pDoc && pDoc->m_table.IsOpen());
            ui.SetRadio(pDoc && !pDoc->m_filter.strCondition.empty());
        });
    view.GetCommandMap().Add(
        ID_EDIT_FORMULAS, [pView] { OpenFormulas(*pView); },
        [pView](CCmdUI& ui) {
            CDBFDoc* pDoc = pView->GetDoc();
            ui.Enable(pDoc && !pDoc->IsReadOnly() && pView->GetRecordCount() > 0);
        });
}
