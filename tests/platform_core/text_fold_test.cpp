// Case folding by code page: letters of every script a single-byte page
// holds meet their capitals, and nothing else is changed.
#include <gtest/gtest.h>

#include "platform/core/text_fold.h"

using platform::CCodePage;
using platform::CTextFold;

namespace {

const CTextFold& FoldOf(const char* pszPage) {
    const CCodePage* pPage = CCodePage::Find(pszPage);
    EXPECT_NE(pPage, nullptr) << pszPage;
    return CTextFold::ForCodePage(*pPage);
}

}  // namespace

TEST(TextFold, SmallLettersBecomeTheirCapitalsInTheirOwnPage) {
    const struct {
        const char* pszPage;
        uint8_t nByte, nFolded;
        const char* pszWhat;
    } cases[] = {
        {"1252", 'a', 'A', "ASCII"},
        {"1252", 'Z', 'Z', "a capital stays"},
        {"1252", '1', '1', "a digit stays"},
        {"1252", 0xE9, 0xC9, "e acute"},
        {"1252", 0xFF, 0x9F, "y diaeresis to its capital in the 0x80 row"},
        {"1252", 0xDF, 0xDF, "sharp s has no single capital here"},
        {"1252", 0xF7, 0xF7, "division sign"},
        {"1252", 0xB5, 0xB5, "micro sign is no Greek letter"},
        {"1251", 0xE0, 0xC0, "Cyrillic a"},
        {"1251", 0xFF, 0xDF, "Cyrillic ya"},
        {"1251", 0xB8, 0xA8, "Cyrillic yo"},
        {"1251", 0xA2, 0xA1, "Belarusian short u"},
        {"866", 0xA0, 0x80, "Cyrillic a (DOS)"},
        {"866", 0xE0, 0x90, "Cyrillic er (DOS, second block)"},
        {"866", 0xF1, 0xF0, "Cyrillic yo (DOS)"},
        {"866", 0xB0, 0xB0, "box drawing"},
        {"1253", 0xE1, 0xC1, "Greek alpha"},
        {"1253", 0xDC, 0xA2, "Greek alpha with tonos"},
        {"1253", 0xF2, 0xD3, "Greek final sigma"},
        {"1253", 0xF3, 0xD3, "Greek sigma"},
        {"1253", 0xB5, 0xB5, "micro sign beside Greek Mu"},
        {"737", 0x98, 0x80, "Greek alpha (DOS)"},
        {"1250", 0xB3, 0xA3, "l with stroke"},
        {"1250", 0x9E, 0x8E, "z caron"},
        {"1250", 0xE8, 0xC8, "c caron"},
        {"852", 0x88, 0x9D, "l with stroke (DOS)"},
        {"1254", 0x69, 0x49, "i to I"},
        {"1254", 0xFD, 0xFD, "dotless i keeps its own form"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszPage) + ": " + c.pszWhat);
        EXPECT_EQ(FoldOf(c.pszPage).Upper(c.nByte), c.nFolded);
    }
}

TEST(TextFold, EveryTableFoldsOnceAndKeepsTheCharacterClass) {
    // Folding a folded byte changes nothing, and a byte only ever becomes a
    // byte of another character when that character is a capital letter.
    for (const char* pszPage : {"437", "850", "852", "866", "737", "857", "1250", "1251", "1252", "1253", "1254",
                                "1257", "KOI8-R"}) {
        SCOPED_TRACE(pszPage);
        const CCodePage& page = *CCodePage::Find(pszPage);
        const CTextFold& fold = CTextFold::ForCodePage(page);
        EXPECT_EQ(&fold, &CTextFold::ForCodePage(page)) << "built once";
        for (int b = 0; b < 256; ++b) {
            const uint8_t f = fold.Upper(uint8_t(b));
            EXPECT_EQ(fold.Upper(f), f) << b;
            if (f != b) {
                EXPECT_EQ(platform::FoldCharacter(page.ToUnicode(uint8_t(b))), page.ToUnicode(f)) << b;
            }
        }
    }
}

TEST(TextFold, FindIgnoresLetterCase) {
    const CTextFold& fold = FoldOf("1251");
    // "Скажи ПРИВЕТ миру" and "привет" in the Windows Cyrillic page.
    const std::string strText = "\xD1\xEA\xE0\xE6\xE8 \xCF\xD0\xC8\xC2\xC5\xD2 \xEC\xE8\xF0\xF3";
    const std::string strNeedle = fold.Upper("\xEF\xF0\xE8\xE2\xE5\xF2");
    EXPECT_EQ(fold.Find(strText, strNeedle), 6u);
    EXPECT_TRUE(fold.Contains(strText, fold.Upper("\xCC\xE8\xD0\xF3")));
    EXPECT_FALSE(fold.Contains(strText, fold.Upper("\xEC\xE8\xF0\xFB")));
    EXPECT_EQ(fold.Find(strText, ""), 0u);
    EXPECT_EQ(fold.Find("ab", "ABC"), std::string_view::npos);
    EXPECT_EQ(fold.Find("xxABCx", "ABC"), 2u);
    EXPECT_EQ(fold.Find("xabcx", fold.Upper("aBc")), 1u);
    EXPECT_EQ(fold.Find("abab", "BA"), 1u);
}
