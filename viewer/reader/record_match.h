// What Peekrow's Find dialog looks for, and the search itself, without any
// window: the plain text test, the typed tests of the advanced panels (a
// number range, a date range compared by day, a choice of logical values, a
// text test with or without letter case) and the walk over the records from
// a row, forwards or backwards, that a caller can stop. The dialog collects
// the criteria from its controls and hands them here.
//
// Values are read through the reader's typed getters, so a field that does
// not fit the record, a blank number and a blank or impossible date hold no
// value and match no range.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/core/code_page.h"
#include "platform/core/text_fold.h"
#include "viewer/reader/dbf_file_reader.h"

// The dialog's direction buttons, in their order: "First", "Up", "Down".
enum class FindDirection { first = 0, up = 1, down = 2 };

// The logical panel's radio buttons, in their order.
enum class LogicalChoice { empty = 0, invalid = 1, trueValue = 2, falseValue = 3, yes = 4, no = 5 };

// Which advanced panel a field type gets.
enum class FindPanel { text, number, date, logical };
FindPanel FindPanelForType(char cType);

struct FindCriteria {
    enum class Kind {
        plainText,  // the find text, letter case as typed, in the field's display text
        text,       // the text panel: with or without letter case
        number,     // B F I N Y between two bounds
        date,       // D T between two days
        logical,    // L by its stored letter
    };
    Kind kind = Kind::plainText;
    int nField = 0;  // index in the reader's field list

    std::string strText;    // plainText, text: in the ANSI page, as the user typed it
    bool bMatchCase = true; // text

    // number and date: "And" wants lower <= value <= upper, "Or" either side.
    bool bOr = false;
    double dLower = 0, dUpper = 0;             // number
    int32_t nLowerDay = 0, nUpperDay = 0;      // date: Julian day numbers, whole days

    LogicalChoice logical = LogicalChoice::empty;

    static FindCriteria PlainText(int nField, std::string strText);
    static FindCriteria Text(int nField, std::string strText, bool bMatchCase);
    static FindCriteria NumberRange(int nField, double dLower, double dUpper, bool bOr);
    // A T field matches from the start of the lower day to the end of the
    // upper day, whatever the time of day the pickers held.
    static FindCriteria DateRange(int nField, int32_t nLowerDay, int32_t nUpperDay, bool bOr);
    static FindCriteria Logical(int nField, LogicalChoice choice);
};

// The code pages a search reads the table through: whether the table's text
// is DOS text shown through the Windows page, and the pair. Taken at each
// search, so a window whose code-page choice changed searches by the new one.
struct FindCodePages {
    bool bDosCodePage = false;
    const platform::CCodePage* pOem = nullptr;   // nullptr: the program's current pair
    const platform::CCodePage* pAnsi = nullptr;
};

// Tests one record against fixed criteria. Built once per search: the find
// text is converted and folded here, not once per record.
class CRecordMatcher {
public:
    CRecordMatcher(CDBFFileReader& reader, const FindCriteria& criteria, const FindCodePages& pages = {});
    // Whether record nRecord (1-based) matches.
    bool Matches(int32_t nRecord);

private:
    bool MatchesText(int32_t nRecord);

    CDBFFileReader& m_reader;
    FindCriteria m_criteria;
    bool m_bDos;
    // The plain search looks for the text in the table's own bytes; a text
    // with a character the table's page lacks can occur nowhere.
    bool m_bNeedleExists = true;
    std::string m_strNeedle;
    const platform::CTextFold* m_pFold = nullptr;  // text without letter case
    const platform::CCodePageConverter* m_pToAnsi;
    std::string m_strField;  // scratch, kept to spare an allocation per record
};

// The row a search starts from: 0 for "First", the row before the current
// one for "Up", the row after it for "Down" (rows are 0-based).
int64_t FindStartRow(FindDirection direction, int64_t nCurrentRow);

struct FindResult {
    bool bFound = false;
    int32_t nRow = -1;      // the matching row (0-based) when found
    bool bStopped = false;  // the caller's stop ended the search first
};

// Called now and then with the row about to be tested; true ends the search.
using FindStop = std::function<bool(int64_t nRow)>;

// Walks the rows from nStartRow (backwards for "Up", forwards otherwise)
// while they lie inside the table and returns the first that matches. A start
// outside the table finds nothing.
FindResult FindRecord(CDBFFileReader& reader, const FindCriteria& criteria, FindDirection direction, int64_t nStartRow,
                      const FindCodePages& pages = {}, const FindStop& stop = {});

// ---- what the panels do with their edits ------------------------------------------------

// A bound typed into a range edit: its number after every ',' became '.';
// a text that does not start with a number reads as 0.
double ParseRangeBound(std::string_view strText);
// The choice a find text selects in the logical panel: empty or a leading
// space "Empty Value", F, N, T, Y (any letter case) their own, anything else
// "Invalid Value".
LogicalChoice LogicalChoiceFromText(std::string_view strText);
// Puts the number of a find text into the range: the upper bound when it is
// at or above the current upper bound, else the lower one.
void PrefillNumberRange(std::string_view strText, double& dLower, double& dUpper);
