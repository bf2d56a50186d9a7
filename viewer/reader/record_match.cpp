// Find's record tests and the walk over the records.
#include "viewer/reader/record_match.h"

#include <charconv>
#include <map>
#include <memory>
#include <mutex>
#include <utility>

namespace {

const platform::CCodePage& OemOf(const FindCodePages& pages) {
    return pages.pOem ? *pages.pOem : platform::OemCodePage();
}
const platform::CCodePage& AnsiOf(const FindCodePages& pages) {
    return pages.pAnsi ? *pages.pAnsi : platform::AnsiCodePage();
}

// The translation between two pages, built once per pair: a search builds
// its matcher at every press of Find.
const platform::CCodePageConverter& ConverterOf(const platform::CCodePage& from, const platform::CCodePage& to) {
    static std::mutex mutex;
    static std::map<std::pair<const platform::CCodePage*, const platform::CCodePage*>,
                    std::unique_ptr<platform::CCodePageConverter>>
        converters;
    std::lock_guard<std::mutex> lock(mutex);
    auto& p = converters[{&from, &to}];
    if (!p) p = std::make_unique<platform::CCodePageConverter>(from, to);
    return *p;
}

// How many rows are tested between two questions to the caller's stop.
constexpr int64_t kStopInterval = 4096;

}  // namespace

FindPanel FindPanelForType(char cType) {
    switch (cType) {
    case 'B': case 'F': case 'I': case 'N': case 'Y': return FindPanel::number;
    case 'D': case 'T': return FindPanel::date;
    case 'L': return FindPanel::logical;
    default: return FindPanel::text;
    }
}

FindCriteria FindCriteria::PlainText(int nField, std::string strText) {
    FindCriteria c;
    c.kind = Kind::plainText;
    c.nField = nField;
    c.strText = std::move(strText);
    return c;
}

FindCriteria FindCriteria::Text(int nField, std::string strText, bool bMatchCase) {
    FindCriteria c;
    c.kind = Kind::text;
    c.nField = nField;
    c.strText = std::move(strText);
    c.bMatchCase = bMatchCase;
    return c;
}

FindCriteria FindCriteria::NumberRange(int nField, double dLower, double dUpper, bool bOr) {
    FindCriteria c;
    c.kind = Kind::number;
    c.nField = nField;
    c.dLower = dLower;
    c.dUpper = dUpper;
    c.bOr = bOr;
    return c;
}

FindCriteria FindCriteria::DateRange(int nField, int32_t nLowerDay, int32_t nUpperDay, bool bOr) {
    FindCriteria c;
    c.kind = Kind::date;
    c.nField = nField;
    c.nLowerDay = nLowerDay;
    c.nUpperDay = nUpperDay;
    c.bOr = bOr;
    return c;
}

FindCriteria FindCriteria::Logical(int nField, LogicalChoice choice) {
    FindCriteria c;
    c.kind = Kind::logical;
    c.nField = nField;
    c.logical = choice;
    return c;
}

CRecordMatcher::CRecordMatcher(CDBFFileReader& reader, const FindCriteria& criteria, const FindCodePages& pages)
    : m_reader(reader),
      m_criteria(criteria),
      m_bDos(pages.bDosCodePage),
      m_pToAnsi(&ConverterOf(OemOf(pages), AnsiOf(pages))) {
    if (criteria.kind == FindCriteria::Kind::plainText) {
        m_strNeedle = criteria.strText;
        if (m_bDos) {
            // The table holds DOS text: look for the DOS spelling of the
            // text, but only when it says the same on the way back. A letter
            // the DOS page lacks would become a look-alike ('E' for the euro
            // sign) and find records that do not hold it.
            m_strNeedle = ConverterOf(AnsiOf(pages), OemOf(pages)).Convert(criteria.strText);
            m_bNeedleExists = m_pToAnsi->Convert(m_strNeedle) == criteria.strText;
        }
    } else if (criteria.kind == FindCriteria::Kind::text) {
        // The field text is converted to the Windows page before it is
        // compared, so both sides are folded by the page the user sees.
        m_strNeedle = criteria.strText;
        if (!criteria.bMatchCase) {
            m_pFold = &platform::CTextFold::ForCodePage(AnsiOf(pages));
            m_pFold->UpperInPlace(m_strNeedle);
        }
    }
}

bool CRecordMatcher::MatchesText(int32_t nRecord) {
    bool bLogical = false;
    // A memo cell that shows its placeholder word holds no text to find.
    if (!m_reader.GetFieldText(m_criteria.nField, nRecord, m_strField, bLogical)) return false;
    if (m_criteria.kind == FindCriteria::Kind::plainText) {
        if (!m_bNeedleExists) return false;
        return m_strField.find(m_strNeedle) != std::string::npos;
    }
    if (m_bDos) m_pToAnsi->ConvertInPlace(m_strField);
    if (m_pFold) return m_pFold->Contains(m_strField, m_strNeedle);
    return m_strField.find(m_strNeedle) != std::string::npos;
}

bool CRecordMatcher::Matches(int32_t nRecord) {
    const FindCriteria& c = m_criteria;
    switch (c.kind) {
    case FindCriteria::Kind::plainText:
    case FindCriteria::Kind::text:
        return MatchesText(nRecord);
    case FindCriteria::Kind::number: {
        double dValue = 0;
        if (!m_reader.GetFieldNumber(c.nField, nRecord, dValue)) return false;
        return c.bOr ? (dValue >= c.dLower || dValue <= c.dUpper) : (c.dLower <= dValue && dValue <= c.dUpper);
    }
    case FindCriteria::Kind::date: {
        // By whole days: a D field is a day, and a T field between the start
        // of the lower day and the end of the upper day is one whose day lies
        // between them.
        ReaderDate date;
        if (!m_reader.GetFieldDate(c.nField, nRecord, date)) return false;
        const int32_t nDay = date.nJulianDay;
        return c.bOr ? (nDay >= c.nLowerDay || nDay <= c.nUpperDay) : (c.nLowerDay <= nDay && nDay <= c.nUpperDay);
    }
    case FindCriteria::Kind::logical: {
        uint8_t b = 0;
        if (!m_reader.GetFieldByte(c.nField, nRecord, b)) return false;
        switch (c.logical) {
        case LogicalChoice::empty: return b == ' ';
        case LogicalChoice::invalid: return b != ' ' && b != 'F' && b != 'N' && b != 'T' && b != 'Y';
        case LogicalChoice::trueValue: return b == 'T';
        case LogicalChoice::falseValue: return b == 'F';
        case LogicalChoice::yes: return b == 'Y';
        case LogicalChoice::no: return b == 'N';
        }
        return false;
    }
    }
    return false;
}

int64_t FindStartRow(FindDirection direction, int64_t nCurrentRow) {
    switch (direction) {
    case FindDirection::up: return nCurrentRow - 1;
    case FindDirection::down: return nCurrentRow + 1;
    default: return 0;
    }
}

FindResult FindRecord(CDBFFileReader& reader, const FindCriteria& criteria, FindDirection direction, int64_t nStartRow,
                      const FindCodePages& pages, const FindStop& stop) {
    FindResult result;
    // Records the file does not hold match nothing: a header that counts
    // two billion of them must not keep the search going for minutes.
    const int64_t nRows = reader.GetRecordsInFile();
    if (!reader.IsOpen() || criteria.nField < 0 || criteria.nField >= reader.GetFieldCount()) return result;
    CRecordMatcher matcher(reader, criteria, pages);
    const int64_t nStep = direction == FindDirection::up ? -1 : 1;
    CDBFFileReader::CReadAhead readAhead(reader, nStep < 0);
    int64_t nTested = 0;
    for (int64_t nRow = nStartRow; nRow >= 0 && nRow < nRows; nRow += nStep, ++nTested) {
        if (stop && nTested % kStopInterval == 0 && stop(nRow)) {
            result.bStopped = true;
            return result;
        }
        if (matcher.Matches(int32_t(nRow + 1))) {
            result.bFound = true;
            result.nRow = int32_t(nRow);
            return result;
        }
    }
    return result;
}

double ParseRangeBound(std::string_view strText) {
    std::string str;
    size_t i = 0;
    while (i < strText.size() && (strText[i] == ' ' || strText[i] == '\t')) ++i;
    if (i < strText.size() && strText[i] == '+') ++i;
    for (; i < strText.size(); ++i) str += strText[i] == ',' ? '.' : strText[i];
    double d = 0;
    // The longest number at the start; what follows it is ignored.
    if (std::from_chars(str.data(), str.data() + str.size(), d).ec != std::errc()) return 0;
    return d;
}


LogicalChoice LogicalChoiceFromText(std::string_view strText) {
    if (strText.empty() || strText[0] == ' ') return LogicalChoice::empty;
    switch (strText[0]) {
    case 'F': case 'f': return LogicalChoice::falseValue;
    case 'N': case 'n': return LogicalChoice::no;
    case 'T': case 't': return LogicalChoice::trueValue;
    case 'Y': case 'y': return LogicalChoice::yes;
    default: return LogicalChoice::invalid;
    }
}

void PrefillNumberRange(std::string_view strText, double& dLower, double& dUpper) {
    const double dValue = ParseRangeBound(strText);
    if (dValue >= dUpper)
        dUpper = dValue;
    else
        dLower = dValue;
}
