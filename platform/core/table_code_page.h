// Which code pages a table's text is in: one rule for the engine, dbftool,
// Tabulon and Peekrow's reader. It works on bytes and values only (the
// version byte, the code-page mark of header byte 29, a ".cpg" file beside
// the table, a bounded sample of the table's text), so a reader that does not
// link the engine decides exactly as the engine does.
//
// The order of the evidence: the user's override pair wins over everything
// for the pair; a ".cpg" file (as GIS programs write them) names the text's
// page and wins over the mark; a mark that names a page gives that page's
// OEM/ANSI pair and whether the text is DOS or Windows text; a table whose
// mark names nothing keeps the locale's pair and the version byte's guess,
// unless its sampled text is UTF-8.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/code_page.h"

namespace platform {

// What one code-page mark names.
struct CodePageMarkInfo {
    uint8_t nMark;
    const char* pszPage;      // the page it names ("CP866", "MACINTOSH", "CP932")
    bool bDos;                // the page is the DOS (OEM) side of its pair
    int nOem, nAnsi;          // the pair; 0: the locale's page on that side
    bool bMultiByte;          // a page of more than one byte per character
    bool bUnsupported;        // a mark we know that names a page we cannot decode
    const char* pszLanguage;  // for messages ("Russian DOS")
};
// The entry of a known mark; null for 0 and for marks that name nothing.
// Unsupported marks (Kamenický, Mazovia, Macintosh Greek) have an entry with
// bUnsupported set and are otherwise treated as naming nothing.
const CodePageMarkInfo* FindCodePageMark(uint8_t nMark);

// The page a ".cpg" file names.
struct CpgPage {
    bool bUtf8 = false;
    bool bMultiByte = false;  // another multi-byte page (strPage names it for iconv)
    bool bOem = false;        // a DOS page: the table's text is OEM text in it
    std::string strPage;      // the page's name for CCodePage::Find / iconv ("CP1251", "ISO-8859-1")
};
// Parses the text of a ".cpg" file: its first line, blanks and a byte-order
// mark ignored, any letter case: "UTF-8", "UTF8", "65001", "1251", "CP1252",
// "ANSI 1251", "Windows-1252", "OEM 866", "88591" (ISO-8859-1), "8859-5",
// "ISO-8859-15", "KOI8-R", "932"... False when it names no page we know.
bool ParseCpgText(std::string_view strText, CpgPage& page);
// The ".cpg" file beside a table: the table's path with its extension
// replaced by ".cpg" in any letter case ("roads.dbf" finds "roads.cpg" and
// "roads.CPG"). Empty when there is none.
std::string FindCpgFile(const std::string& strTablePath);
// Reads (at most the first 256 bytes) and parses a ".cpg" file; false when it
// cannot be read or names nothing we know.
bool ReadCpgFile(const std::string& strCpgPath, CpgPage& page);

// Whether a table's text is UTF-8, judged from a bounded sample: every piece
// of text handed in (a field's text, a memo's text) must be valid UTF-8 (no
// overlong forms, no surrogates, nothing above U+10FFFF) and at least one
// must hold a multi-byte character. Pieces are judged one by one, so a
// character is never taken to run from one field into the next.
class CUtf8Sample {
public:
    // The sample callers take: the first megabyte of records and the memos
    // those records reference.
    static constexpr size_t kRecordBytes = size_t(1) << 20;

    void Add(std::string_view strText);
    // Once a piece was invalid, nothing more can make the sample UTF-8.
    bool IsDecided() const { return m_bInvalid; }
    bool IsUtf8() const { return !m_bInvalid && m_bMultiByte; }

private:
    bool m_bInvalid = false;
    bool m_bMultiByte = false;
};

// Whether a sample of the table's text would change the decision: the mark
// names no page and no ".cpg" file names one. Callers skip reading the
// sample otherwise.
bool NeedsUtf8Sample(uint8_t nMark, bool bHasCpg);

// What is known about a table; the fields left at their defaults say "not
// known" or "automatic".
struct TableCodePageFacts {
    uint8_t nVersion = 0;  // header byte 0
    uint8_t nMark = 0;     // header byte 29
    bool bHasCpg = false;  // a ".cpg" file named a page
    CpgPage cpg;
    int nUtf8Sample = -1;  // -1 not sampled, 0 the sample is not UTF-8, 1 it is
    // The user's override pair (program settings "View" / "OemCodePage" and
    // "AnsiCodePage", dbftool's --oem and --ansi): names as CCodePage::Find
    // takes them; empty means automatic. Each replaces its side of the pair.
    std::string strOemOverride, strAnsiOverride;
};

enum class CodePageSource {
    locale,      // nothing named a page: the locale's (or the program's current) pair
    mark,        // header byte 29
    cpg,         // a ".cpg" file
    utf8Sample,  // the text sampled is UTF-8
};

// The decision.
struct TableCodePages {
    const CCodePage* pOem = nullptr;  // the table's OEM/ANSI pair; never null
    const CCodePage* pAnsi = nullptr;
    bool bOemText = false;  // the text is DOS (OEM) text by default
    bool bUtf8 = false;     // the text is UTF-8: decoded and cut whole, never byte by byte
    // Another multi-byte page the text is in ("CP932"), decoded whole with
    // iconv; empty for single-byte text and for UTF-8.
    std::string strMultiBytePage;
    CodePageSource eSource = CodePageSource::locale;
    // Why a mark was not followed, for dbftool info and the programs' status
    // ("code-page mark 0x69 (Mazovia, Polish DOS) is not supported"); empty
    // when nothing needs saying.
    std::string strNote;

    bool IsWholeText() const { return bUtf8 || !strMultiBytePage.empty(); }
    // The iconv name of whole text ("UTF-8", "CP932"); empty for single-byte text.
    std::string WholeTextEncoding() const { return bUtf8 ? "UTF-8" : strMultiBytePage; }
};

TableCodePages DecideTableCodePages(const TableCodePageFacts& facts);

// The guess of the version byte for a table whose mark names nothing: Visual
// FoxPro marks at 200 and up (and the few Windows pages with lower marks) are
// Windows text, as are the dBASE IV and 7 versions 0x3F, 0x43, 0x8B and 0x8C,
// which Windows programs wrote; everything else comes from DOS.
bool IsOemByVersion(uint8_t nVersion, uint8_t nMark);

// ---- Whole text (UTF-8 and other multi-byte pages) ----

// The length of the longest start of strText that is at most nMax bytes and
// ends at a character boundary of the encoding ("UTF-8", or a double-byte
// page: CP932, CP936, CP949, CP950); any other encoding is cut at nMax.
size_t CharacterBoundaryCut(std::string_view strEncoding, std::string_view strText, size_t nMax);
// Text in a multi-byte encoding to UTF-8: bytes that form no character come
// through as U+F700 + byte, as CCodePage passes undefined bytes, so nothing
// is lost; so do the bytes of a character the page would write back as other
// bytes (one it holds twice) or that it maps to those private-use characters
// itself. UTF-8 input is checked the same way.
std::string WholeTextToUtf8(std::string_view strEncoding, std::string_view strText);
// UTF-8 to the encoding; characters it lacks become '?', U+F700 + byte
// becomes the byte again: WholeTextToUtf8's text comes back byte for byte.
std::string WholeTextFromUtf8(std::string_view strEncoding, std::string_view strUtf8);
// Whether strText is valid UTF-8 (the rules of CUtf8Sample).
bool IsValidUtf8Text(std::string_view strText);

}  // namespace platform
