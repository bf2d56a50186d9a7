// Upper-casing single-byte table text for matching, by the code page the text
// is in: a byte becomes the byte of its capital letter when the page holds
// that capital, so Cyrillic, Greek and Central European letters match
// whatever their case, in whichever page they are stored. Each page's table
// of 256 bytes is built once, through Unicode, and then used byte by byte:
// searching a million records never decodes a character.
//
// Text in a DOS (OEM) page that is shown through the Windows (ANSI) page is
// converted first and folded by the page it is shown in, so that a search
// text typed in the ANSI page meets the letters the user sees.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/core/code_page.h"

namespace platform {

class CTextFold {
public:
    // The fold table of a page; built on first use, lives as long as the program.
    static const CTextFold& ForCodePage(const CCodePage& page);
    // The fold table of the program's current ANSI page.
    static const CTextFold& ForAnsi() { return ForCodePage(AnsiCodePage()); }

    uint8_t Upper(uint8_t b) const { return m_table[b]; }
    char Upper(char c) const { return char(m_table[uint8_t(c)]); }
    void UpperInPlace(char* p, size_t n) const {
        for (size_t i = 0; i < n; ++i) p[i] = Upper(p[i]);
    }
    void UpperInPlace(std::string& str) const { UpperInPlace(str.data(), str.size()); }
    std::string Upper(std::string_view str) const {
        std::string strOut(str);
        UpperInPlace(strOut);
        return strOut;
    }
    const uint8_t* GetTable() const { return m_table; }

    // Where strNeedle occurs in strText when letter case is ignored; the
    // needle must already be folded (Upper). npos when it does not occur; an
    // empty needle occurs at 0.
    size_t Find(std::string_view strText, std::string_view strFoldedNeedle) const;
    bool Contains(std::string_view strText, std::string_view strFoldedNeedle) const {
        return Find(strText, strFoldedNeedle) != std::string_view::npos;
    }

private:
    explicit CTextFold(const CCodePage& page);
    uint8_t m_table[256];
    friend class CTextFoldRegistry;
};

// The capital letter of a character by Unicode's simple case mapping, for the
// letters whose capital turns back into the same small letter; every other
// character as it is. Characters that only look like a letter's small form
// (the micro sign, dotless i, long s) keep their own form.
char32_t FoldCharacter(char32_t c);

}  // namespace platform
