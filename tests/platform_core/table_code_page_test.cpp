// The code-page rule of tables: what each mark names, what a .cpg file names
// and that it wins, the UTF-8 sample, the user's overrides, and the helpers
// for whole text (cuts at character boundaries, bytes kept through UTF-8).
#include "platform/core/table_code_page.h"

#include <gtest/gtest.h>

#include "tests/support/test_support.h"

using namespace platform;

namespace {

TableCodePages Decide(uint8_t nVersion, uint8_t nMark, int nSample = -1) {
    TableCodePageFacts facts;
    facts.nVersion = nVersion;
    facts.nMark = nMark;
    facts.nUtf8Sample = nSample;
    return DecideTableCodePages(facts);
}

bool Utf8(std::initializer_list<std::string> pieces) {
    CUtf8Sample sample;
    for (const std::string& str : pieces) sample.Add(str);
    return sample.IsUtf8();
}

}  // namespace

TEST(TableCodePage, MarksNameTheirPairAndTheSideOfTheText) {
    CScopedCodePages locale("CP437", "CP1252");
    const struct {
        uint8_t nMark;
        const char *pszOem, *pszAnsi;
        bool bOem;
    } cases[] = {
        {0x65, "CP866", "CP1251", true},   {0x26, "CP866", "CP1251", true},  {0xC9, "CP866", "CP1251", false},
        {0x01, "CP437", "CP1252", true},   {0x02, "CP850", "CP1252", true},  {0x03, "CP850", "CP1252", false},
        {0x64, "CP852", "CP1250", true},   {0xC8, "CP852", "CP1250", false}, {0x6A, "CP737", "CP1253", true},
        {0xCA, "CP857", "CP1254", false},  {0x7D, "CP862", "CP1255", false}, {0x7E, "CP864", "CP1256", false},
        {0x08, "CP865", "CP1252", true},   {0x04, "CP437", "MACINTOSH", false},  // the locale's DOS side
        {0x00, "CP437", "CP1252", true},   {0xF0, "CP437", "CP1252", true},  // no page named: the locale's
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.nMark));
        const TableCodePages pages = Decide(0x03, c.nMark);
        EXPECT_EQ(pages.pOem->GetName(), c.pszOem);
        EXPECT_EQ(pages.pAnsi->GetName(), c.pszAnsi);
        EXPECT_EQ(pages.bOemText, c.bOem);
        EXPECT_FALSE(pages.IsWholeText());
        EXPECT_EQ(pages.eSource, c.nMark == 0 || c.nMark == 0xF0 ? CodePageSource::locale : CodePageSource::mark);
    }
    const TableCodePages japanese = Decide(0x30, 0x7B);
    EXPECT_EQ(japanese.strMultiBytePage, "CP932");
    EXPECT_EQ(japanese.WholeTextEncoding(), "CP932");
    // Pages glibc cannot decode: said so, and the locale's pair stays.
    const TableCodePages mazovia = Decide(0x30, 0x69);
    EXPECT_EQ(mazovia.pOem->GetName(), "CP437");
    EXPECT_EQ(mazovia.eSource, CodePageSource::locale);
    EXPECT_NE(mazovia.strNote.find("0x69 (Mazovia"), std::string::npos) << mazovia.strNote;
    EXPECT_TRUE(NeedsUtf8Sample(0x69, false));
    EXPECT_FALSE(NeedsUtf8Sample(0xC9, false));
    EXPECT_FALSE(NeedsUtf8Sample(0x00, true));
}

TEST(TableCodePage, CpgFilesNameThePageAndWinOverTheMark) {
    const struct {
        const char* pszText;
        bool bOk, bUtf8, bMulti, bOem;
        const char* pszPage;
    } cases[] = {
        {"UTF-8", true, true, false, false, ""},       {"utf8\r\n", true, true, false, false, ""},
        {"\xEF\xBB\xBF" "65001", true, true, false, false, ""}, {"1251", true, false, false, false, "CP1251"},
        {"CP1252", true, false, false, false, "CP1252"}, {"ANSI 1251", true, false, false, false, "CP1251"},
        {"Windows-1250", true, false, false, false, "CP1250"}, {"88591", true, false, false, false, "ISO-8859-1"},
        {"8859-5", true, false, false, false, "ISO-8859-5"}, {"ISO-8859-15", true, false, false, false, "ISO-8859-15"},
        {"866", true, false, false, true, "CP866"},      {"OEM 850", true, false, false, true, "CP850"},
        {"932", true, false, true, false, "CP932"},      {"KOI8-R", true, false, false, false, "KOI8-R"},
        {"no such page", false, false, false, false, ""}, {"", false, false, false, false, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszText);
        CpgPage page;
        EXPECT_EQ(ParseCpgText(c.pszText, page), c.bOk);
        if (!c.bOk) continue;
        EXPECT_EQ(page.bUtf8, c.bUtf8);
        EXPECT_EQ(page.bMultiByte, c.bMulti);
        EXPECT_EQ(page.bOem, c.bOem);
        if (!c.bUtf8) {
            EXPECT_EQ(page.strPage, c.pszPage);
        }
    }

    CScopedCodePages locale("CP437", "CP1252");
    TableCodePageFacts facts;
    facts.nVersion = 0x03;
    facts.nMark = 0x65;  // a DOS mark ...
    facts.bHasCpg = ParseCpgText("ANSI 1251", facts.cpg);
    TableCodePages pages = DecideTableCodePages(facts);  // ... and a .cpg saying Windows 1251: the .cpg wins
    EXPECT_EQ(pages.eSource, CodePageSource::cpg);
    EXPECT_FALSE(pages.bOemText);
    EXPECT_EQ(pages.pAnsi->GetName(), "CP1251");
    EXPECT_EQ(pages.pOem->GetName(), "CP866");
    facts.bHasCpg = ParseCpgText("UTF-8", facts.cpg);
    EXPECT_TRUE(DecideTableCodePages(facts).bUtf8);
    // The user's pair wins over both, a side at a time; the text's side stays.
    facts.bHasCpg = false;
    facts.strAnsiOverride = "CP1250";
    pages = DecideTableCodePages(facts);
    EXPECT_EQ(pages.pOem->GetName(), "CP866");
    EXPECT_EQ(pages.pAnsi->GetName(), "CP1250");
    EXPECT_TRUE(pages.bOemText);

    testing_support::TempDir dir;
    EXPECT_EQ(FindCpgFile(dir.Path("roads.dbf")), "");
    testing_support::WriteFileBytes(dir.Path("ROADS.Cpg"), std::string("1251\n"));
    EXPECT_EQ(FindCpgFile(dir.Path("roads.dbf")), dir.Path("ROADS.Cpg")) << "any letter case";
    CpgPage page;
    ASSERT_TRUE(ReadCpgFile(FindCpgFile(dir.Path("roads.dbf")), page));
    EXPECT_EQ(page.strPage, "CP1251");
}

TEST(TableCodePage, Utf8IsDecidedFromAValidSampleWithAMultiByteCharacter) {
    EXPECT_TRUE(Utf8({"plain", "Rechtschreibpr\xC3\xBC" "fung"}));
    EXPECT_FALSE(Utf8({"plain", "ascii only"})) << "no multi-byte character: nothing says UTF-8";
    EXPECT_FALSE(Utf8({"Pr\xC3\xBC" "fung", "\xFC" "ber"})) << "one Latin-1 byte anywhere decides against it";
    // Forms that decode to a character no encoder writes are no UTF-8: the
    // overlong '/' of two, three and four bytes, a surrogate, beyond U+10FFFF.
    for (const char* pszBad : {"\xC0\xAF", "\xE0\x80\xAF", "\xF0\x80\x80\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xC3"}) {
        EXPECT_FALSE(Utf8({"\xC3\xBC", pszBad})) << pszBad;
        EXPECT_FALSE(IsValidUtf8Text(pszBad));
        size_t i = 0;
        char32_t c = 0;
        EXPECT_FALSE(DecodeUtf8Char(pszBad, i, c) && c == U'/') << "never decodes to '/'";
    }
    // A character is never taken to run from one field into the next.
    EXPECT_FALSE(Utf8({"ab\xC3", "\xBC" "cd"}));
    EXPECT_TRUE(Decide(0x03, 0x00, 1).bUtf8);
    EXPECT_EQ(Decide(0x03, 0x00, 1).eSource, CodePageSource::utf8Sample);
    EXPECT_FALSE(Decide(0x03, 0xC9, 1).bUtf8) << "a mark that names a page is not second-guessed";
}

TEST(TableCodePage, WholeTextIsCutAtCharacterBoundariesAndKeepsEveryByte) {
    const std::string strRussian = "\xD0\x9F\xD1\x80\xD0\xB8";  // "При", two bytes a letter
    EXPECT_EQ(CharacterBoundaryCut("UTF-8", strRussian, 6), 6u);
    EXPECT_EQ(CharacterBoundaryCut("UTF-8", strRussian, 5), 4u);
    EXPECT_EQ(CharacterBoundaryCut("UTF-8", strRussian, 1), 0u);
    EXPECT_EQ(CharacterBoundaryCut("UTF-8", "a\xE2\x82\xAC", 3), 1u) << "never inside the euro sign";
    const std::string strJapanese = "a\x82\xA0\x82\xA2";  // 'a' and two double-byte characters of CP932
    EXPECT_EQ(CharacterBoundaryCut("CP932", strJapanese, 4), 3u);
    EXPECT_EQ(CharacterBoundaryCut("CP932", strJapanese, 2), 1u);
    EXPECT_EQ(CharacterBoundaryCut("CP1252", "abc", 2), 2u);
    // Bytes that are no character travel through UTF-8 and come back.
    for (auto [pszEncoding, strBytes] : {std::pair<const char*, std::string>{"UTF-8", "ok \xFF\xC3 \xC3\xBC \xEF\x9F\xA9"},
                                         {"CP932", "a\x82\xA0\x82"}}) {
        const std::string strUtf8 = WholeTextToUtf8(pszEncoding, strBytes);
        EXPECT_TRUE(IsValidUtf8Text(strUtf8)) << pszEncoding;
        EXPECT_EQ(WholeTextFromUtf8(pszEncoding, strUtf8), strBytes) << pszEncoding;
    }
    EXPECT_EQ(WholeTextToUtf8("CP932", "\x82\xA0"), "\xE3\x81\x82");
}
