// The program settings file: where it lives, its keys' defaults and reading
// rules, the bytes its writers leave, the code-page pair and the recent files.
#include "editor/settings/program_settings.h"

#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/core/code_page.h"
#include "platform/core/file.h"
#include "platform/core/string_table.h"
#include "tests/support/test_support.h"

using namespace tabulon;
using testing_support::ReadTextFile;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

TEST(ProgramSettingsPath, BesideTheExecutableOnlyWhenThatFileExistsInAWritableFolder) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("bin"));
    std::string strExe = dir.Path("bin/tabulon");
    const struct {
        const char *pszXdg, *pszExpected;
    } cases[] = {
        {"/x/cfg", "/x/cfg/tabulon/tabulon.ini"},
        {"/x/cfg/", "/x/cfg/tabulon/tabulon.ini"},
        {nullptr, "/home/u/.config/tabulon/tabulon.ini"},
        {"", "/home/u/.config/tabulon/tabulon.ini"},
        {"relative/cfg", "/home/u/.config/tabulon/tabulon.ini"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(ProgramSettingsPath(strExe, c.pszXdg, "/home/u"), c.pszExpected) << (c.pszXdg ? c.pszXdg : "unset");

    WriteFileBytes(dir.Path("bin/tabulon.ini"), std::string());
    EXPECT_EQ(ProgramSettingsPath(strExe, "/x/cfg", "/home/u"), dir.Path("bin/tabulon.ini"));
    if (::geteuid() != 0) {  // root writes into any folder
        ::chmod(dir.Path("bin").c_str(), 0555);
        EXPECT_EQ(ProgramSettingsPath(strExe, "/x/cfg", "/home/u"), "/x/cfg/tabulon/tabulon.ini");
        ::chmod(dir.Path("bin").c_str(), 0755);
    }
    EXPECT_FALSE(ExecutablePath().empty());
}

TEST(ProgramSettings, MissingValuesGiveTheDefaultsAndValuesReadIgnoringCase) {
    TempDir dir;
    std::string strPath = dir.Path("tabulon.ini");
    const struct {
        const char* pszFile;  // nullptr: no file
        bool bAutoCreate;
        unsigned nMode;
        CodePageSetting eCodePage;
        bool bShowDeleted;
        DateFormat eDate;
        int nFontSize;
    } cases[] = {
        {nullptr, false, 66, CodePageSetting::automatic, true, DateFormat::euro, -11},
        {"[Setting]\nAutoCreateIni=true\nTypeFileOpen=lockfile\n[View]\nCodePage=dos\n[Records]\nShowDeleded=yes\n"
         "[Fields]\nDateFormat=usa\n[Font]\nFontSize=-13\n",
         true, 18, CodePageSetting::dos, false, DateFormat::usa, -13},
        {"[setting]\nautocreateini=TRUE\ntypefileopen=ReadOnly\n[view]\ncodepage=Win\n[records]\nshowdeleded=TRUE\n"
         "[fields]\ndateformat=Ansi\n[font]\nfontsize=-16\n",
         true, 64, CodePageSetting::win, true, DateFormat::ansi, -16},
        {"[Setting]\nAutoCreateIni=1\nTypeFileOpen=bogus\n[View]\nCodePage=Windows\n[Records]\nShowDeleded=\n"
         "[Fields]\nDateFormat=iso\n",
         false, 64, CodePageSetting::automatic, false, DateFormat::euro, -11},
    };
    CProgramSettings settings(strPath);  // one object throughout: nothing is cached, hand edits count at once
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszFile ? c.pszFile : "no file");
        std::filesystem::remove(strPath);
        if (c.pszFile) WriteFileBytes(strPath, std::string(c.pszFile));
        EXPECT_EQ(settings.GetAutoCreateIni(), c.bAutoCreate);
        EXPECT_EQ(settings.GetOpenMode(), c.nMode);
        EXPECT_EQ(settings.GetCodePage(), c.eCodePage);
        EXPECT_EQ(settings.GetShowDeleted(), c.bShowDeleted);
        EXPECT_EQ(settings.GetDateFormat(), c.eDate);
        EXPECT_EQ(settings.GetFontSize(), c.nFontSize);
        EXPECT_EQ(platform::CFile::Exists(strPath), c.pszFile != nullptr) << "reading never writes";
    }
}

TEST(ProgramSettings, AFontSizeOutsideSixToNinetySixPixelsIsTheSmallFont) {
    TempDir dir;
    std::string strPath = dir.Path("tabulon.ini");
    const std::pair<const char*, int> cases[] = {
        {"-6", -6},   {"-96", -96}, {"-11", -11}, {"-5", -11},          {"-97", -11},          {"0", -11},
        {"12", -11},  {"abc", -11}, {"", -11},    {"99999999999", -11}, {"-99999999999", -11}, {"-2147483648", -11},
    };
    for (auto [pszValue, nExpected] : cases) {
        WriteFileBytes(strPath, std::string("[Font]\nFontSize=") + pszValue + "\n");
        EXPECT_EQ(CProgramSettings(strPath).GetFontSize(), nExpected) << pszValue;
    }
}

TEST(ProgramSettings, WritersCreateTheFolderAndTheFileInTheOrderWritten) {
    TempDir dir;
    std::string strPath = dir.Path("cfg/tabulon/tabulon.ini");
    CProgramSettings settings(strPath);
    EXPECT_EQ(settings.GetFontSize(), -11);
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("cfg"))) << "reading creates nothing";
    EXPECT_TRUE(settings.SetAutoCreateIni(true));
    EXPECT_TRUE(settings.SetOpenMode(kOpenExclusive));
    EXPECT_TRUE(settings.SetCodePage(CodePageSetting::dos));
    EXPECT_TRUE(settings.SetShowDeleted(false));
    EXPECT_TRUE(settings.SetDateFormat(DateFormat::usa));
    EXPECT_TRUE(settings.SetFontSize(-13));
    EXPECT_TRUE(settings.SetCodePagePair("CP866", "CP1251"));
    EXPECT_EQ(ReadTextFile(strPath),
              "[Setting]\nAutoCreateIni=True\nTypeFileOpen=LockFile\n\n"
              "[View]\nCodePage=DOS\nOemCodePage=CP866\nAnsiCodePage=CP1251\n\n"
              "[Records]\nShowDeleded=False\n\n[Fields]\nDateFormat=USA\n\n[Font]\nFontSize=-13\n");
    struct stat st {};
    ASSERT_EQ(::stat(dir.Path("cfg/tabulon").c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
}

TEST(ProgramSettings, AFailedWriteIsReported) {
    TempDir dir;
    WriteFileBytes(dir.Path("blocked"), std::string("a file where a folder should be"));
    CProgramSettings settings(dir.Path("blocked/tabulon/tabulon.ini"));
    EXPECT_FALSE(settings.SetFontSize(-13));
    EXPECT_EQ(settings.GetLastErrno(), ENOTDIR);
}

TEST(ProgramSettings, TheStoredCodePagePairBecomesTheProgramsOwnEachEmptySideFromTheLocale) {
    struct Restore {
        ~Restore() { platform::ResetCodePages(); }
    } restore;
    TempDir dir;
    CProgramSettings settings(dir.Path("tabulon.ini"));
    platform::CodePagePair locale = platform::CodePagePairFromEnvironment();
    const struct {
        const char *pszOem, *pszAnsi;
        bool bKnown;
        int nOem, nAnsi;
    } cases[] = {
        {"CP866", "CP1251", true, 866, 1251},
        {"852", "", true, 852, locale.nAnsi},
        {"", "", true, locale.nOem, locale.nAnsi},
        {"NOPE", "1250", false, locale.nOem, 1250},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszOem) + "/" + c.pszAnsi);
        ASSERT_TRUE(settings.SetCodePagePair(c.pszOem, c.pszAnsi));
        EXPECT_EQ(settings.GetOemCodePage(), c.pszOem);
        EXPECT_EQ(settings.ApplyCodePagePair(), c.bKnown);
        EXPECT_EQ(platform::OemCodePage().GetNumber(), c.nOem);
        EXPECT_EQ(platform::AnsiCodePage().GetNumber(), c.nAnsi);
    }
}

TEST(SettingsValues, DateFormatsComeFromTheirStringResources) {
    for (auto [eFormat, pszText] : {std::pair{DateFormat::ansi, "yyyy-mm-dd\n%Y-%m-%d"},
                                    {DateFormat::usa, "mm/dd/yyyy\n%m/%d/%Y"}, {DateFormat::euro, "dd.mm.yyyy\n%d.%m.%Y"}}) {
        EXPECT_EQ(DateFormatLabel(eFormat) + "\n" + DateFormatPattern(eFormat), pszText);
        EXPECT_EQ(platform::LoadString(unsigned(eFormat)), pszText);
        EXPECT_EQ(DateFormatFromValue(DateFormatValue(eFormat)), eFormat);
    }
    for (auto [nMode, pszValue] : {std::pair{64u, "ReadOnly"}, {66u, "ReadWrite"}, {18u, "LockFile"}}) {
        EXPECT_STREQ(OpenModeValue(nMode), pszValue);
        EXPECT_EQ(OpenModeFromValue(pszValue), nMode);
    }
}
