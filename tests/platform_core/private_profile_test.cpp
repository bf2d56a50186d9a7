// The private-profile files: reading rules, byte-exact edits, atomic
// replacement and what a failed write leaves behind.
#include "platform/core/private_profile.h"

#include <cerrno>
#include <climits>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include "platform/core/file.h"
#include "tests/support/test_support.h"

using platform::CPrivateProfile;
namespace FileFaults = platform::FileFaults;
using testing_support::ReadTextFile;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

// A Windows file: CRLF endings, comments, blank lines, spacing around "=".
const char kWindowsFile[] =
    "; written by hand\r\n"
    "[Setting]\r\n"
    "AutoCreateIni = True\r\n"
    "\r\n"
    "; the grid\r\n"
    "[Grid]\r\n"
    "ColField1=NAME\r\n"
    "ColHead1=Name \xC4\xE0\r\n"
    "\r\n"
    "[Records]\r\n"
    "ShowDeleded=False\r\n";

size_t EntriesIn(const std::string& strFolder) {
    size_t n = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(strFolder)) ++n;
    return n;
}

ino_t InodeOf(const std::string& strPath) {
    struct stat st {};
    return ::stat(strPath.c_str(), &st) == 0 ? st.st_ino : 0;
}

}  // namespace

TEST(PrivateProfileRead, NamesIgnoreCaseFirstMatchWinsAndValuesFollowTheReadingRules) {
    TempDir dir;
    std::string strPath = dir.Path("a.ini");
    WriteFileBytes(strPath, std::string("\xEF\xBB\xBF[One]\r\n"
                                        "Key=first\r\n"
                                        "key=second\r\n"
                                        "  Spaced  =   padded value \t \r\n"
                                        "Quoted=\"  inner  \"\r\n"
                                        "Single='x'\r\n"
                                        "Half=\"open\r\n"
                                        "Empty=\r\n"
                                        ";Comment=no\r\n"
                                        "#Hash=no\r\n"
                                        "Bytes=\xFF\x80\x01\r\n"
                                        "no equals sign\r\n"
                                        "[two]\n"
                                        "A=1\n"
                                        "[ONE]\n"
                                        "Later=from the second [One]\n"
                                        "KEY=third\n"
                                        "[Broken\n"
                                        "B=2"));
    CPrivateProfile profile = CPrivateProfile::Read(strPath);
    ASSERT_TRUE(profile.Exists());
    const struct {
        const char *pszSection, *pszKey;
        std::optional<std::string> value;
    } cases[] = {
        {"one", "KEY", "first"},          {"One", "Spaced", "padded value"},
        {"One", "Quoted", "  inner  "},   {"One", "Single", "x"},
        {"One", "Half", "\"open"},        {"One", "Empty", ""},
        {"One", "Comment", std::nullopt}, {"One", ";Comment", std::nullopt},
        {"One", "#Hash", std::nullopt},   {"One", "Bytes", "\xFF\x80\x01"},
        {"TWO", "a", "1"},                {"one", "later", "from the second [One]"},
        {"one", "B", "2"},                {"Three", "Key", std::nullopt},
        {"One", "no equals sign", std::nullopt},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszSection) + "/" + c.pszKey);
        EXPECT_EQ(profile.Find(c.pszSection, c.pszKey), c.value);
    }
    EXPECT_EQ(profile.GetString("One", "Missing", "dflt"), "dflt");
    EXPECT_EQ(profile.GetString("One", "Spaced", "", 6), "padded") << "cut to the caller's limit";
    EXPECT_EQ(profile.GetString("One", "Missing", "default", 3), "def");

    std::vector<std::pair<std::string, std::string>> section = profile.GetSection("ONE");
    std::vector<std::string> keys;
    for (const auto& entry : section) keys.push_back(entry.first);
    EXPECT_EQ(keys, (std::vector<std::string>{"Key", "Spaced", "Quoted", "Single", "Half", "Empty", "Bytes", "Later", "B"}));
    EXPECT_EQ(section.front().second, "first");

    CPrivateProfile missing = CPrivateProfile::Read(dir.Path("none.ini"));
    EXPECT_FALSE(missing.Exists());
    EXPECT_EQ(missing.GetString("One", "Key", "dflt"), "dflt");
    EXPECT_EQ(CPrivateProfile::ReadString(dir.Path("no/such/folder.ini"), "One", "Key", "x"), "x");
}

TEST(PrivateProfileRead, IntegersSaturateInsteadOfOverflowing) {
    TempDir dir;
    std::string strPath = dir.Path("n.ini");
    WriteFileBytes(strPath, std::string("[N]\nA=-13\nB=99999999999999999999\nC=-99999999999\nD=abc\nE=\n"
                                        "F= -12px\nG=+7\nH=2147483647\nI=-2147483648\nJ=2147483648\n"));
    CPrivateProfile profile = CPrivateProfile::Read(strPath);
    const std::pair<const char*, int> cases[] = {{"A", -13},     {"B", INT_MAX},     {"C", INT_MIN}, {"D", 0},
                                                 {"E", 0},       {"F", -12},         {"G", 7},       {"H", INT_MAX},
                                                 {"I", INT_MIN}, {"J", INT_MAX},     {"Missing", -1}};
    for (auto [pszKey, nExpected] : cases) EXPECT_EQ(profile.GetInt("N", pszKey, -1), nExpected) << pszKey;
}

TEST(PrivateProfileWrite, ANewFileGetsItsSectionsInTheOrderWritten) {
    TempDir dir;
    std::string strPath = dir.Path("new.ini");
    CPrivateProfile profile = CPrivateProfile::Read(strPath);
    EXPECT_TRUE(profile.SetString("Grid", "ColField1", "NAME"));
    EXPECT_TRUE(profile.SetInt("Grid", "ColWidth1", -1));
    EXPECT_TRUE(profile.SetString("Records", "ShowDeleded", "True"));
    EXPECT_TRUE(profile.SetString("grid", "CodePage", "DOS")) << "a section named in another case is the same";
    EXPECT_FALSE(CPrivateProfile::Read(strPath).Exists()) << "nothing is written before Save";
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadTextFile(strPath), "[Grid]\nColField1=NAME\nColWidth1=-1\nCodePage=DOS\n\n[Records]\nShowDeleded=True\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "no temporary file stays behind";
}

TEST(PrivateProfileWrite, AWindowsFileKeepsEveryByteItsEditsDoNotTouch) {
    TempDir dir;
    std::string strPath = dir.Path("w.ini");
    WriteFileBytes(strPath, std::string(kWindowsFile));
    CPrivateProfile profile = CPrivateProfile::Read(strPath);
    EXPECT_TRUE(profile.SetString("SETTING", "autocreateini", "False"));
    EXPECT_TRUE(profile.SetString("Grid", "ColWidth1", "80"));
    EXPECT_TRUE(profile.SetString("Grid", "ColHead1", "Name \xC4\xE0")) << "an unchanged value keeps its line";
    EXPECT_TRUE(profile.SetString("Fields", "DateFormat", "USA"));
    ASSERT_TRUE(profile.Save());
    EXPECT_EQ(ReadTextFile(strPath),
              "; written by hand\r\n"
              "[Setting]\r\n"
              "AutoCreateIni = False\r\n"
              "\r\n"
              "; the grid\r\n"
              "[Grid]\r\n"
              "ColField1=NAME\r\n"
              "ColHead1=Name \xC4\xE0\r\n"
              "ColWidth1=80\r\n"
              "\r\n"
              "[Records]\r\n"
              "ShowDeleded=False\r\n"
              "\r\n"
              "[Fields]\r\n"
              "DateFormat=USA\r\n");
}

TEST(PrivateProfileWrite, ValuesComeBackAsWrittenAndStayOnTheirLine) {
    TempDir dir;
    std::string strPath = dir.Path("v.ini");
    const struct {
        std::string strValue, strLine, strReadBack;
    } cases[] = {
        {"plain", "K=plain", "plain"},
        {"", "K=", ""},
        {"  leading", "K=\"  leading\"", "  leading"},
        {"trailing\t", "K=\"trailing\t\"", "trailing\t"},
        {"\"quoted\"", "K=\"\"quoted\"\"", "\"quoted\""},
        {"'single'", "K=\"'single'\"", "'single'"},
        {"\"", "K=\"", "\""},
        {"a=b;c [d]", "K=a=b;c [d]", "a=b;c [d]"},
        {"two\r\nlines\nhere", "K=two  lines here", "two  lines here"},
        {std::string("\xFE\x00\x81", 3), std::string("K=\xFE\x00\x81", 5), std::string("\xFE\x00\x81", 3)},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strLine);
        ASSERT_TRUE(CPrivateProfile::WriteString(strPath, "S", "K", c.strValue));
        EXPECT_EQ(ReadTextFile(strPath), "[S]\n" + c.strLine + "\n");
        EXPECT_EQ(CPrivateProfile::ReadString(strPath, "S", "K", "?"), c.strReadBack);
    }
}

TEST(PrivateProfileWrite, EditsKeepTheFilesOwnSpellingSpacingAndLastLine) {
    TempDir dir;
    std::string strPath = dir.Path("e.ini");
    const struct {
        const char *pszBefore, *pszAfter;
        std::function<void(CPrivateProfile&)> edit;
    } cases[] = {
        {"[A]\nKey  =  old  \n", "[A]\nKey  =  new\n", [](CPrivateProfile& p) { p.SetString("a", "KEY", "new"); }},
        {"[A]\nx=1", "[A]\nx=1\ny=2\n", [](CPrivateProfile& p) { p.SetString("A", "y", "2"); }},
        {"[A]\nx=1\n\n; B follows\n[B]\n", "[A]\nx=1\ny=2\n\n; B follows\n[B]\n",
         [](CPrivateProfile& p) { p.SetString("A", "y", "2"); }},
        {"[A]\n", "[A]\ny=2\n", [](CPrivateProfile& p) { p.SetString("A", "y", "2"); }},
        {"top=1\n[A]\nk=1\n[a]\nk=2\nm=3\n", "top=1\n[A]\nk=9\nn=4\n[a]\nk=2\nm=8\n",
         [](CPrivateProfile& p) {
             p.SetString("A", "k", "9");
             p.SetString("A", "m", "8");
             p.SetString("A", "n", "4");
         }},
        {"[A]\nk=1\nK=2\nj=3\n[a]\nk=4\n", "[A]\nj=3\n[a]\n", [](CPrivateProfile& p) { p.DeleteKey("a", "K"); }},
        {"[A]\r\nk=1\r\nj=2", "[A]\r\nj=2", [](CPrivateProfile& p) { p.DeleteKey("A", "k"); }},
        {"[A]\nk=1\n\n", "[A]\nk=1\n\n[B]\nz=0\n", [](CPrivateProfile& p) { p.SetString("B", "z", "0"); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszBefore);
        WriteFileBytes(strPath, std::string(c.pszBefore));
        CPrivateProfile profile = CPrivateProfile::Read(strPath);
        c.edit(profile);
        EXPECT_EQ(profile.GetBytes(), c.pszAfter);
        ASSERT_TRUE(profile.Save());
        EXPECT_EQ(ReadTextFile(strPath), c.pszAfter);
    }
    CPrivateProfile missing = CPrivateProfile::Read(dir.Path("missing.ini"));
    EXPECT_FALSE(missing.DeleteKey("A", "k"));
    EXPECT_TRUE(missing.Save());
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("missing.ini"))) << "deleting from no file creates none";
}

TEST(PrivateProfileWrite, NamesThatCouldNotBeReadBackAreRefused) {
    CPrivateProfile profile("unused.ini");
    for (auto [pszSection, pszKey] : {std::pair{"", "k"}, {"S]", "k"}, {" S", "k"}, {"S\n", "k"}, {"S", ""},
                                      {"S", "a=b"}, {"S", "k "}, {"S", "[k"}, {"S", ";k"}, {"S", "#k"}, {"S", "k\r"}}) {
        EXPECT_FALSE(profile.SetString(pszSection, pszKey, "v")) << pszSection << "/" << pszKey;
    }
    EXPECT_EQ(profile.GetBytes(), "");
}

TEST(PrivateProfileSave, ReplacesTheFileInOneStepKeepingItsModeAndLinks) {
    TempDir dir;
    std::string strReal = dir.Path("real.ini"), strLink = dir.Path("link.ini");
    WriteFileBytes(strReal, std::string("[S]\nk=1\n"));
    ::chmod(strReal.c_str(), 0640);
    ASSERT_EQ(::symlink("real.ini", strLink.c_str()), 0);
    ino_t nOld = InodeOf(strReal);

    CPrivateProfile unchanged = CPrivateProfile::Read(strLink);
    unchanged.SetString("S", "k", "1");
    ASSERT_TRUE(unchanged.Save());
    EXPECT_EQ(InodeOf(strReal), nOld) << "a save that changes nothing leaves the file alone";

    ASSERT_TRUE(CPrivateProfile::WriteString(strLink, "S", "k", "2"));
    EXPECT_NE(InodeOf(strReal), nOld) << "the new contents arrive as a new file renamed over the old";
    struct stat st {};
    ASSERT_EQ(::lstat(strLink.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode)) << "the link stays a link";
    ASSERT_EQ(::stat(strReal.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ReadTextFile(strReal), "[S]\nk=2\n");
    EXPECT_EQ(EntriesIn(dir.Path()), 2u);
}

TEST(PrivateProfileSave, AFailedWriteLeavesTheOldFileWholeAndSaysWhy) {
    TempDir dir;
    std::string strPath = dir.Path("f.ini");
    const std::string strOld(kWindowsFile);
    const struct {
        FileFaults::Op op;
        int nErrno;
    } cases[] = {{FileFaults::Op::open, EACCES}, {FileFaults::Op::write, ENOSPC}, {FileFaults::Op::rename, EIO}};
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.op));
        FileFaults::Scope faults;
        WriteFileBytes(strPath, strOld);
        CPrivateProfile profile = CPrivateProfile::Read(strPath);
        profile.SetString("Grid", "ColWidth1", "80");
        FileFaults::Arm(c.op, 1, c.nErrno);
        EXPECT_FALSE(profile.Save());
        EXPECT_EQ(profile.GetLastErrno(), c.nErrno);
        EXPECT_EQ(ReadTextFile(strPath), strOld);
        EXPECT_EQ(EntriesIn(dir.Path()), 1u) << "the temporary file is removed";
        EXPECT_TRUE(profile.Save()) << "the edit is still there to retry";
        EXPECT_NE(ReadTextFile(strPath), strOld);
    }
}

TEST(PrivateProfileSave, AFileThatCannotBeReadIsNeverReplaced) {
    TempDir dir;
    std::string strPath = dir.Path("d.ini");
    std::filesystem::create_directory(strPath);
    CPrivateProfile folder(strPath);
    EXPECT_FALSE(folder.Load());
    EXPECT_TRUE(folder.Exists());
    folder.SetString("S", "k", "v");
    EXPECT_FALSE(folder.Save());
    EXPECT_TRUE(std::filesystem::is_directory(strPath));

    std::string strFile = dir.Path("r.ini");
    WriteFileBytes(strFile, std::string("[S]\nkeep=me\n"));
    {
        FileFaults::Scope faults;
        FileFaults::Arm(FileFaults::Op::read, 1, EIO);
        CPrivateProfile profile(strFile);
        EXPECT_FALSE(profile.Load());
        EXPECT_EQ(profile.GetString("S", "keep", "default"), "default");
        profile.SetString("S", "k", "v");
        EXPECT_FALSE(profile.Save());
        EXPECT_EQ(profile.GetLastErrno(), EIO);
    }
    EXPECT_EQ(ReadTextFile(strFile), "[S]\nkeep=me\n");

    EXPECT_FALSE(CPrivateProfile::WriteString(dir.Path("missing/x.ini"), "S", "k", "v")) << "a missing folder";
}
