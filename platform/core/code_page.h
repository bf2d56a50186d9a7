// Single-byte code pages: the DOS (OEM) and Windows (ANSI) pages of a table's
// text, their translation into each other one byte for one byte, and their
// conversion to and from UTF-8 for the user interface and dbftool. Pages come
// from glibc's iconv (CP720, which glibc lacks, is built in); each conversion
// is a 256-byte table built once, since tables of millions of records go
// through it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace platform {

// A byte no character stands for travels through Unicode as this private-use
// character plus the byte, and comes back as the byte.
constexpr char32_t kUndefinedBase = 0xF700;

class CCodePage {
public:
    // A single-byte page by name: "CP866", "866", "IBM866", "cp1251",
    // "WINDOWS-1251", or any single-byte iconv name ("KOI8-R"). The object lives
    // as long as the program; nullptr when the name is unknown or the page is
    // not single-byte.
    static const CCodePage* Find(std::string_view strName);

    // The iconv name in use ("CP866") and the Windows number (866; 0 if none).
    const std::string& GetName() const { return m_strName; }
    int GetNumber() const { return m_nNumber; }

    // The character of a byte; for a byte the page leaves undefined, the
    // private-use character U+F700 + byte, so that it survives a round trip.
    char32_t ToUnicode(uint8_t b) const { return m_toUnicode[b]; }
    bool IsDefined(uint8_t b) const { return m_defined[b]; }
    // The byte of a character: the page's own byte, else the byte of its
    // nearest look-alike (box drawing to + - |, accented letters to the bare
    // letter, typographic quotes to straight ones), else '?'.
    uint8_t FromUnicode(char32_t c) const;
    // Whether the page holds this character itself (no look-alike).
    bool Contains(char32_t c) const;

    std::string ToUtf8(std::string_view strText) const;
    // One byte per character; invalid UTF-8 bytes become '?'.
    std::string FromUtf8(std::string_view strUtf8) const;

private:
    CCodePage() = default;
    static std::unique_ptr<CCodePage> Load(const std::string& strIconvName, int nNumber);
    bool FindExact(char32_t c, uint8_t& b) const;
    void BuildReverse();

    std::string m_strName;
    int m_nNumber = 0;
    char32_t m_toUnicode[256] = {};
    bool m_defined[256] = {};
    // Characters of the upper half sorted, for the reverse look-up.
    struct Entry {
        char32_t c;
        uint8_t b;
    };
    Entry m_sorted[256] = {};
    int m_nSorted = 0;

    friend class CCodePageRegistry;
};

// A translation table from one page to another, exactly one byte for one byte.
class CCodePageConverter {
public:
    CCodePageConverter(const CCodePage& from, const CCodePage& to);
    uint8_t Convert(uint8_t b) const { return m_table[b]; }
    void ConvertInPlace(char* p, size_t n) const {
        for (size_t i = 0; i < n; ++i) p[i] = char(m_table[uint8_t(p[i])]);
    }
    void ConvertInPlace(std::string& str) const { ConvertInPlace(str.data(), str.size()); }
    std::string Convert(std::string_view str) const {
        std::string strOut(str);
        ConvertInPlace(strOut);
        return strOut;
    }
    const uint8_t* GetTable() const { return m_table; }

private:
    uint8_t m_table[256];
};

// The OEM/ANSI pair a Windows system of this locale's language would use:
// 437/1252 US English, 850/1252 Western Europe, 852/1250 Central Europe,
// 866/1251 Cyrillic, 737/1253 Greek, 857/1254 Turkish, 775/1257 Baltic,
// 862/1255 Hebrew, 720/1256 Arabic, 874/874 Thai, 1258/1258 Vietnamese.
struct CodePagePair {
    int nOem;
    int nAnsi;
};
CodePagePair CodePagePairForLocale(std::string_view strLocaleName);
// From LC_ALL, else LC_CTYPE, else LANG.
CodePagePair CodePagePairFromEnvironment();

// The program's current pair. Until set it follows the environment. Names are
// as for CCodePage::Find; false (and nothing changed) when one is unknown.
bool SetCodePages(std::string_view strOem, std::string_view strAnsi);
void ResetCodePages();  // back to the environment's pair
const CCodePage& OemCodePage();
const CCodePage& AnsiCodePage();
const CCodePageConverter& OemToAnsiTable();
const CCodePageConverter& AnsiToOemTable();

// The platform's OEM-to-ANSI and ANSI-to-OEM translations with the current pair.
inline void OemToAnsi(char* p, size_t n) { OemToAnsiTable().ConvertInPlace(p, n); }
inline void AnsiToOem(char* p, size_t n) { AnsiToOemTable().ConvertInPlace(p, n); }
inline std::string OemToAnsi(std::string_view str) { return OemToAnsiTable().Convert(str); }
inline std::string AnsiToOem(std::string_view str) { return AnsiToOemTable().Convert(str); }

// Decodes the UTF-8 character at strText[i] and moves i past it. A malformed
// sequence (a stray continuation byte, a cut or overlong form, a surrogate,
// anything above U+10FFFF) moves i past its first byte only and returns false.
bool DecodeUtf8Char(std::string_view strText, size_t& i, char32_t& c);
// Appends the UTF-8 form of a character.
void AppendUtf8Char(std::string& str, char32_t c);

// Scoped change of the current pair (tests).
class CScopedCodePages {
public:
    CScopedCodePages(std::string_view strOem, std::string_view strAnsi);
    ~CScopedCodePages();
    CScopedCodePages(const CScopedCodePages&) = delete;
    CScopedCodePages& operator=(const CScopedCodePages&) = delete;
    bool IsValid() const { return m_bValid; }

private:
    std::string m_strOldOem, m_strOldAnsi;
    bool m_bWasSet;
    bool m_bValid;
};

}  // namespace platform
