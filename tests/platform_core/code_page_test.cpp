// Code pages: the pair a locale chooses, one byte for one byte translation,
// look-alikes, UTF-8 both ways.
#include "platform/core/code_page.h"

#include <gtest/gtest.h>

using namespace platform;

namespace {

const CCodePage& Page(const std::string& strName) {
    const CCodePage* p = CCodePage::Find(strName);
    if (!p) throw std::runtime_error("code page missing: " + strName);
    return *p;
}

std::string AllBytes() {
    std::string str;
    for (int b = 0; b < 256; ++b) str += char(b);
    return str;
}

}  // namespace

TEST(CodePages, NamesFindTheSamePage) {
    const CCodePage* p = CCodePage::Find("CP866");
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(CCodePage::Find("866"), p);
    EXPECT_EQ(CCodePage::Find("ibm866"), p);
    EXPECT_EQ(p->GetNumber(), 866);
    EXPECT_EQ(CCodePage::Find("CP932"), nullptr) << "double-byte pages are not single-byte pages";
    EXPECT_EQ(CCodePage::Find("no-such-page"), nullptr);
    EXPECT_EQ(CCodePage::Find(""), nullptr);
    ASSERT_NE(CCodePage::Find("CP720"), nullptr) << "built in where glibc lacks it";
    EXPECT_EQ(Page("CP720").ToUnicode(0x98), U'\u0621');
    EXPECT_EQ(Page("CP720").ToUnicode(0xB3), U'\u2502');
}

TEST(CodePages, LocalePicksAPairThatTranslatesOneByteForOneByte) {
    const struct {
        const char* pszLocale;
        int nOem, nAnsi;
    } cases[] = {
        {"C", 437, 1252},            {"en_US.UTF-8", 437, 1252},  {"en_GB.UTF-8", 850, 1252}, {"de_DE.UTF-8", 850, 1252},
        {"pl_PL.UTF-8", 852, 1250},  {"ru_RU.UTF-8", 866, 1251},  {"sr_RS@latin", 852, 1250}, {"sr_RS", 855, 1251},
        {"el_GR.UTF-8", 737, 1253},  {"tr_TR.UTF-8", 857, 1254},  {"lt_LT.UTF-8", 775, 1257}, {"he_IL.UTF-8", 862, 1255},
        {"ar_EG.UTF-8", 720, 1256},  {"th_TH.UTF-8", 874, 874},   {"vi_VN", 1258, 1258},      {"xx_XX", 437, 1252},
    };
    const std::string all = AllBytes();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszLocale);
        CodePagePair pair = CodePagePairForLocale(c.pszLocale);
        EXPECT_EQ(pair.nOem, c.nOem);
        EXPECT_EQ(pair.nAnsi, c.nAnsi);
        // Both pages exist; ASCII stays ASCII, and every character both
        // pages share comes back as the same byte.
        const CCodePage &oem = Page(std::to_string(pair.nOem)), &ansi = Page(std::to_string(pair.nAnsi));
        CCodePageConverter toAnsi(oem, ansi), toOem(ansi, oem);
        std::string strAnsi = toAnsi.Convert(all);
        ASSERT_EQ(strAnsi.size(), 256u);
        EXPECT_EQ(strAnsi.substr(0, 128), all.substr(0, 128));
        for (int b = 0x80; b < 256; ++b) {
            if (!oem.IsDefined(uint8_t(b)) || !ansi.Contains(oem.ToUnicode(uint8_t(b)))) continue;
            EXPECT_EQ(toOem.Convert(toAnsi.Convert(uint8_t(b))), b) << "byte " << b;
        }
    }
}

TEST(CodePages, TranslationKeepsLettersAndFindsLookAlikes) {
    const struct {
        const char *pszFrom, *pszTo, *pszIn, *pszOut;
    } cases[] = {
        {"866", "1251", "\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1", "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8"},  // "Привет Ёё"
        {"1251", "866", "\xCF\xF0\xE8\xE2\xE5\xF2 \xA8\xB8", "\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1"},
        {"437", "1252", "\xDA\xC4\xBF\xB3\xC9\xCD\xBB\xBA\xC5\xB0", "+-+|+-+|+#"},  // box drawing
        {"1252", "437", "\xC3\xF5\x93\x94", "Ao\"\""},  // Ã õ to bare letters, curly quotes to straight
        {"1252", "437", "\xE9", "\x82"},                  // é exists in 437
    };
    for (const auto& c : cases) {
        CCodePageConverter converter(Page(c.pszFrom), Page(c.pszTo));
        EXPECT_EQ(converter.Convert(c.pszIn), c.pszOut) << c.pszFrom << c.pszIn;
    }
    EXPECT_EQ(Page("866").ToUtf8("\x8F\xE0\xA8\xA2\xA5\xE2 \xF0\xF1"), "Привет Ёё");
    const struct {
        const char* pszPage;
        char32_t c;
        int nByte;
    } chars[] = {
        {"CP1251", U'\u2554', '+'},   // a double line to a single one where only those exist
        {"CP866", U'\u256D', 0xDA},   // rounded corner to the plain one
        {"CP1252", U'\u0416', '?'},   // no look-alike
        {"CP866", U'\u0406', 'I'},
        {"CP720", U'\u067E', Page("CP720").FromUnicode(U'\u0628')},  // Persian peh to beh
    };
    for (const auto& c : chars) EXPECT_EQ(Page(c.pszPage).FromUnicode(c.c), c.nByte) << c.pszPage << " " << int(c.c);
}

TEST(CodePages, Utf8BothWaysKeepsEveryByte) {
    const std::string all = AllBytes();
    for (const char* pszName : {"437", "850", "866", "1250", "1251", "1252", "1253", "1255", "1256", "1258", "720",
                                "874", "KOI8-R"}) {
        // Undefined bytes come back through the private use area.
        EXPECT_EQ(Page(pszName).FromUtf8(Page(pszName).ToUtf8(all)), all) << pszName;
    }
    EXPECT_EQ(Page("1252").ToUtf8("\x80\x81"), "€\xEF\x9E\x81");
    // Malformed UTF-8: one '?' per bad byte, nothing shifts or is lost after
    // it; a surrogate or an overlong form is no character.
    for (auto [pszUtf8, pszOut] : {std::pair{"Grüße €", "Gr\xFC\xDF" "e \x80"}, {"Жx", "?x"},
                                   {"a\xC3z\xE2\x82", "a?z??"}, {"\xED\xA0\x80", "???"}, {"\xC0\xAF", "??"}})
        EXPECT_EQ(Page("1252").FromUtf8(pszUtf8), pszOut) << pszUtf8;
}

TEST(CodePages, CurrentPairCanBeOverriddenByName) {
    {
        CScopedCodePages scoped("CP866", "CP1251");
        ASSERT_TRUE(scoped.IsValid());
        EXPECT_EQ(OemCodePage().GetNumber(), 866);
        EXPECT_EQ(AnsiCodePage().GetNumber(), 1251);
        EXPECT_EQ(AnsiToOem(std::string("\xC0")), "\x80");
        std::string str = "\x80\x81";
        OemToAnsi(str.data(), str.size());
        EXPECT_EQ(str, "\xC0\xC1");
        EXPECT_FALSE(SetCodePages("nonsense", "1252"));
        EXPECT_EQ(OemCodePage().GetNumber(), 866) << "a failed change keeps the pair";
    }
    CodePagePair env = CodePagePairFromEnvironment();
    EXPECT_EQ(OemCodePage().GetNumber(), env.nOem);
    EXPECT_EQ(AnsiCodePage().GetNumber(), env.nAnsi);
}
