// A table's settings file: its name, the open settings and code page it gives,
// the column layouts it keeps (and refuses), the bytes SaveTableSettings
// leaves and the closing rule.
#include "editor/settings/table_settings.h"

#include <cerrno>
#include <climits>
#include <filesystem>

#include <gtest/gtest.h>

#include "platform/core/file.h"
#include "tests/support/test_support.h"

namespace platform {
// Found by the comparisons and printers of layouts below.
bool operator==(const ColumnInfo& a, const ColumnInfo& b) {
    return a.strHead == b.strHead && a.bVisible == b.bVisible && a.nField == b.nField && a.nGridCol == b.nGridCol &&
           a.nWidth == b.nWidth;
}

void PrintTo(const ColumnInfo& c, std::ostream* os) {
    *os << "{\"" << c.strHead << "\", " << c.bVisible << ", " << c.nField << ", " << c.nGridCol << ", " << c.nWidth << "}";
}
}  // namespace platform

using namespace tabulon;
using platform::ColumnInfo;
using platform::ColumnLayout;
using testing_support::ReadTextFile;
using testing_support::TempDir;
using testing_support::WriteFileBytes;

namespace {

const std::vector<std::string> kFields = {"NAME", "CITY", "AMOUNT"};

// A folder with a program settings file and a table path in it; the table
// itself is never needed.
struct Folder {
    TempDir dir;
    std::string strTable = dir.Path("stock.dbf");
    std::string strIni = dir.Path("stock.ini");

    CProgramSettings Program(const char* pszContents = nullptr) {
        if (pszContents) WriteFileBytes(dir.Path("tabulon.ini"), std::string(pszContents));
        return CProgramSettings(dir.Path("tabulon.ini"));
    }
    CTableSettings Table(const char* pszContents, const char* pszProgram = nullptr) {
        std::filesystem::remove(strIni);
        if (pszContents) WriteFileBytes(strIni, std::string(pszContents));
        return CTableSettings(Program(pszProgram), strTable);
    }
};

// Field names from a table file's descriptors: enough to lay out a real table.
std::vector<std::string> FieldNamesOf(const std::string& strTable) {
    testing_support::Bytes bytes = testing_support::ReadFileBytes(strTable);
    std::vector<std::string> names;
    for (size_t nPos = 32; nPos + 32 <= bytes.size() && bytes[nPos] != 0x0D; nPos += 32) {
        std::string strName(reinterpret_cast<const char*>(&bytes[nPos]), 11);
        names.push_back(strName.substr(0, strName.find('\0')));
    }
    return names;
}

}  // namespace

TEST(TableSettingsPath, TheExtensionIsCutInTheFileNameOnly) {
    const std::pair<const char*, const char*> cases[] = {
        {"/d/stock.dbf", "/d/stock.ini"}, {"/d/v1.2/table", "/d/v1.2/table.ini"}, {"/d/a.b.dbf", "/d/a.b.ini"},
        {"stock.DBF", "stock.ini"},       {"v1.2/t", "v1.2/t.ini"},               {"/d/x.", "/d/x.ini"},
    };
    for (auto [pszTable, pszIni] : cases) EXPECT_EQ(TableSettingsPath(pszTable), pszIni) << pszTable;
}

TEST(TableSettingsPath, AFileDifferingOnlyInLetterCaseIsUsedUnlessTheExactOneExists) {
    TempDir dir;
    std::filesystem::create_directory(dir.Path("other.INI"));
    EXPECT_EQ(TableSettingsPath(dir.Path("other.dbf")), dir.Path("other.ini")) << "a folder is no settings file";
    WriteFileBytes(dir.Path("Stock.ini"), std::string());
    WriteFileBytes(dir.Path("STOCK.INI"), std::string());
    EXPECT_EQ(TableSettingsPath(dir.Path("stock.dbf")), dir.Path("STOCK.INI")) << "the first in byte order";
    WriteFileBytes(dir.Path("stock.ini"), std::string());
    EXPECT_EQ(TableSettingsPath(dir.Path("stock.dbf")), dir.Path("stock.ini"));
}

TEST(TableSettings, OpenSettingsComeFromTheTableFileWithTheProgramsValuesAsDefaults) {
    const char* const kProgram = "[Setting]\nTypeFileOpen=LockFile\n[Records]\nShowDeleded=False\n[Fields]\nDateFormat=ANSI\n";
    const struct {
        const char *pszProgram, *pszTable;
        unsigned nMode;
        bool bShowDeleted;
        const char* pszPattern;
    } cases[] = {
        {nullptr, nullptr, 66, true, "%d.%m.%Y"},
        {kProgram, nullptr, 18, false, "%Y-%m-%d"},
        {kProgram, "[Grid]\nCodePage=DOS\n", 18, false, "%Y-%m-%d"},
        {kProgram, "[File]\nTypeFileOpen=readonly\n[Records]\nShowDeleded=true\n[Fields]\nDateFormat=usa\n", 64, true,
         "%m/%d/%Y"},
        {nullptr, "[FILE]\nTYPEFILEOPEN=READWRITE\n[records]\nshowdeleded=yes\n[Fields]\nDateFormat=iso\n", 66, false,
         "%d.%m.%Y"},
    };
    Folder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszProgram ? c.pszProgram : "-") + " | " + (c.pszTable ? c.pszTable : "-"));
        std::filesystem::remove(folder.dir.Path("tabulon.ini"));
        OpenSettings settings = folder.Table(c.pszTable, c.pszProgram).LoadOpenSettings();
        EXPECT_EQ(settings.nOpenMode, c.nMode);
        EXPECT_EQ(settings.bShowDeleted, c.bShowDeleted);
        EXPECT_EQ(settings.strDatePattern, c.pszPattern);
        EXPECT_EQ(folder.Table(c.pszTable, c.pszProgram).GetOpenMode(), c.nMode);
        EXPECT_EQ(platform::CFile::Exists(folder.strIni), c.pszTable != nullptr) << "reading never writes";
    }
}

TEST(TableSettings, TheCodePageIsTheTablesThenTheProgramsThenTheAutomaticAnswer) {
    const struct {
        const char *pszTable, *pszProgram;  // nullptr: no file
        bool bAutomaticIsDos, bDos;
    } cases[] = {
        {nullptr, nullptr, true, true},
        {nullptr, nullptr, false, false},
        {"[Grid]\nCodePage=WIN\n", "[View]\nCodePage=Auto\n", true, false},
        {nullptr, "[View]\nCodePage=DOS\n", false, true},
        {"[grid]\ncodepage=dos\n", "[View]\nCodePage=WIN\n", false, true},
        {"[Setting]\nAutoSaveChange=True\n", "[View]\nCodePage=win\n", true, false},
        {"[Grid]\nCodePage=Auto\n", nullptr, true, true},
    };
    Folder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszTable ? c.pszTable : "-") + " | " + (c.pszProgram ? c.pszProgram : "-"));
        std::filesystem::remove(folder.dir.Path("tabulon.ini"));
        EXPECT_EQ(folder.Table(c.pszTable, c.pszProgram).IsDosCodePage(c.bAutomaticIsDos), c.bDos);
    }
}

TEST(TableSettings, AStoredLayoutIsReadByFieldName) {
    Folder folder;
    CTableSettings table = folder.Table(
        "[Grid]\nColField1=AMOUNT\nColVisibl1=false\nColWidth1=120\nColHead1=Sum\n"
        "ColField2=NAME\nColVisibl2=true\nColHead2=\"  Name\"\n"
        "ColField3=CITY\nColVisibl3=yes\nColWidth3=abc\n");
    std::optional<ColumnLayout> layout = table.LoadColumnLayout(kFields);
    ASSERT_TRUE(layout);
    EXPECT_EQ(*layout, (ColumnLayout{{"Sum", false, 2, -1, 120}, {"  Name", true, 0, -1, -1}, {"", false, 1, -1, 0}}));

    EXPECT_FALSE(folder.Table(nullptr).LoadColumnLayout(kFields)) << "no file, no layout";
}

TEST(TableSettings, ALayoutThatDoesNotFitTheFieldsGivesWayToTheDefault) {
    const struct {
        const char* pszWhy;
        const char* pszGrid;
    } cases[] = {
        {"the second names no field", "ColField1=NAME\nColField2=ZIP\nColField3=AMOUNT\n"},
        {"the second key is missing", "ColField1=NAME\nColField3=AMOUNT\n"},
        {"names match case-sensitively", "ColField1=name\nColField2=CITY\nColField3=AMOUNT\n"},
        {"a field named twice", "ColField1=NAME\nColField2=NAME\nColField3=AMOUNT\n"},
        {"every column hidden",
         "ColField1=NAME\nColVisibl1=FALSE\nColField2=CITY\nColVisibl2=no\nColField3=AMOUNT\nColVisibl3=FALSE\n"},
    };
    Folder folder;
    for (const auto& c : cases) {
        std::string strFile = std::string("[Grid]\n") + c.pszGrid;
        EXPECT_FALSE(folder.Table(strFile.c_str()).LoadColumnLayout(kFields)) << c.pszWhy;
    }
}

TEST(TableSettings, EachFieldIsTakenOnceIgnoringTrailingBlanks) {
    Folder folder;
    const std::vector<std::string> fields = {"Point_ID", "Type  ", "Point_ID"};
    std::optional<ColumnLayout> layout = folder.Table(
        "[Grid]\nColField1=Point_ID\nColWidth1=5000\nColField2=\"Type \"\nColWidth2=1000\n"
        "ColField3=Point_ID\nColWidth3=99999999999\n").LoadColumnLayout(fields);
    ASSERT_TRUE(layout);
    EXPECT_EQ((*layout)[0].nField, 0);
    EXPECT_EQ((*layout)[1].nField, 1);
    EXPECT_EQ((*layout)[2].nField, 2) << "the second Point_ID is the second field of that name";
    for (const ColumnInfo& info : *layout) EXPECT_EQ(info.nWidth, kMaxColumnWidth);
}

TEST(TableSettings, SaveWritesEveryColumnThenTheCodePageAndShowDeleted) {
    Folder folder;
    CTableSettings table = folder.Table(nullptr);
    ColumnLayout layout = {{"Sum", false, 2, 4, 120}, {"  Name", true, 0, 0, -1}, {"\"City\"", true, 1, 1, 5000}};
    ASSERT_TRUE(table.SaveTableSettings(layout, kFields, true, false));
    EXPECT_EQ(ReadTextFile(folder.strIni),
              "[Grid]\n"
              "ColField1=AMOUNT\nColVisibl1=FALSE\nColWidth1=120\nColHead1=Sum\n"
              "ColField2=NAME\nColVisibl2=TRUE\nColWidth2=-1\nColHead2=\"  Name\"\n"
              "ColField3=CITY\nColVisibl3=TRUE\nColWidth3=1000\nColHead3=\"\"City\"\"\n"
              "CodePage=DOS\n\n"
              "[Records]\nShowDeleded=False\n");
    EXPECT_EQ(table.LoadColumnLayout(kFields),
              (ColumnLayout{{"Sum", false, 2, -1, 120}, {"  Name", true, 0, -1, -1}, {"\"City\"", true, 1, -1, 1000}}));
    EXPECT_TRUE(table.IsDosCodePage(false));
    EXPECT_FALSE(table.LoadOpenSettings().bShowDeleted);
}

TEST(TableSettings, HeadersComeBackAsTheyWereWrittenUpTo254Bytes) {
    const std::pair<std::string, std::string> cases[] = {
        {" leading blank", " leading blank"}, {"trailing blank ", "trailing blank "},
        {"'quoted'", "'quoted'"},             {"\"\"", "\"\""},
        {"two\r\nlines", "two  lines"},       {std::string(255, 'h'), std::string(254, 'h')},
        {"", ""},
    };
    Folder folder;
    CTableSettings table = folder.Table(nullptr);
    for (const auto& [strHead, strBack] : cases) {
        ColumnLayout layout = platform::MakeDefaultLayout(kFields);
        layout[1].strHead = strHead;
        ASSERT_TRUE(table.SaveTableSettings(layout, kFields, false, true));
        std::optional<ColumnLayout> back = table.LoadColumnLayout(kFields);
        ASSERT_TRUE(back);
        EXPECT_EQ((*back)[1].strHead, strBack) << strHead;
    }
}

TEST(TableSettings, SavingOverAWindowsFileChangesOnlyItsOwnLinesAndDropsColumnsBeyondTheFields) {
    Folder folder;
    const char* const kBefore =
        "; stock: settings of the table\r\n"
        "[Setting]\r\n"
        "AutoSaveChange=True\r\n"
        "\r\n"
        "[Grid]\r\n"
        "ColField1=NAME\r\nColVisibl1=TRUE\r\nColWidth1=80\r\nColHead1=\xC8\xEC\xFF\r\n"
        "ColField2=CITY\r\nColVisibl2=TRUE\r\nColWidth2=60\r\nColHead2=City\r\n"
        "ColField3=AMOUNT\r\nColVisibl3=TRUE\r\nColWidth3=-1\r\nColHead3=AMOUNT\r\n"
        "ColField4=OLD\r\nColVisibl4=TRUE\r\nColWidth4=-1\r\nColHead4=OLD\r\n"
        "CodePage=WIN\r\n"
        "; kept\r\n"
        "\r\n"
        "[Records]\r\n"
        "ShowDeleded=True\r\n";
    CTableSettings table = folder.Table(kBefore);
    std::optional<ColumnLayout> layout = table.LoadColumnLayout(kFields);
    ASSERT_TRUE(layout) << "columns beyond the fields are not read";
    (*layout)[1].nWidth = 75;
    ASSERT_TRUE(table.SaveTableSettings(*layout, kFields, false, true));
    EXPECT_EQ(ReadTextFile(folder.strIni),
              "; stock: settings of the table\r\n"
              "[Setting]\r\n"
              "AutoSaveChange=True\r\n"
              "\r\n"
              "[Grid]\r\n"
              "ColField1=NAME\r\nColVisibl1=TRUE\r\nColWidth1=80\r\nColHead1=\xC8\xEC\xFF\r\n"
              "ColField2=CITY\r\nColVisibl2=TRUE\r\nColWidth2=75\r\nColHead2=City\r\n"
              "ColField3=AMOUNT\r\nColVisibl3=TRUE\r\nColWidth3=-1\r\nColHead3=AMOUNT\r\n"
              "CodePage=WIN\r\n"
              "; kept\r\n"
              "\r\n"
              "[Records]\r\n"
              "ShowDeleded=True\r\n");
}

TEST(TableSettings, ALayoutThatDoesNotFitTheFieldsIsNotWritten) {
    Folder folder;
    CTableSettings table = folder.Table(nullptr);
    const ColumnLayout cases[] = {
        platform::MakeDefaultLayout({"NAME", "CITY"}),
        {{"a", true, 0, -1, -1}, {"b", true, 1, -1, -1}, {"c", true, 3, -1, -1}},
        {{"a", true, 0, -1, -1}, {"b", true, 1, -1, -1}, {"c", true, 1, -1, -1}},
        {{"a", true, 0, -1, -1}, {"b", true, 1, -1, -1}, {"c", true, -1, -1, -1}},
    };
    for (const ColumnLayout& layout : cases) {
        EXPECT_FALSE(table.SaveTableSettings(layout, kFields, false, true));
        EXPECT_EQ(table.GetLastErrno(), EINVAL);
    }
    EXPECT_FALSE(platform::CFile::Exists(folder.strIni));
}

TEST(TableSettings, AFailedSaveLeavesTheOldFileAndIsReported) {
    Folder folder;
    const char* const kOld = "[Grid]\nColField1=NAME\n";
    CTableSettings table = folder.Table(kOld);
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::rename, 1, EROFS);
    EXPECT_FALSE(table.SaveTableSettings(platform::MakeDefaultLayout(kFields), kFields, false, true));
    EXPECT_EQ(table.GetLastErrno(), EROFS);
    EXPECT_EQ(ReadTextFile(folder.strIni), kOld);
    platform::FileFaults::Arm(platform::FileFaults::Op::write, 1, ENOSPC);
    EXPECT_FALSE(table.SetAutoSaveChange(false));
    EXPECT_EQ(table.GetLastErrno(), ENOSPC);
    EXPECT_EQ(ReadTextFile(folder.strIni), kOld);
}

TEST(TableSettings, ClosingWritesWhenTheFileExistsOrAutoCreateIsOnAndAutoSaveChangeIsOn) {
    const struct {
        const char *pszTable, *pszProgram;
        bool bWrites;
    } cases[] = {
        {nullptr, nullptr, false},
        {nullptr, "[Setting]\nAutoCreateIni=False\n", false},
        {nullptr, "[Setting]\nAutoCreateIni=true\n", true},
        {"", nullptr, true},
        {"[Setting]\nAutoSaveChange=False\n", nullptr, false},
        {"[Setting]\nAutoSaveChange=yes\n", "[Setting]\nAutoCreateIni=True\n", false},
        {"[setting]\nautosavechange=TRUE\n", nullptr, true},
    };
    Folder folder;
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.pszTable ? c.pszTable : "-") + " | " + (c.pszProgram ? c.pszProgram : "-"));
        std::filesystem::remove(folder.dir.Path("tabulon.ini"));
        EXPECT_EQ(folder.Table(c.pszTable, c.pszProgram).ShouldSaveOnClose(), c.bWrites);
    }
}

TEST(TableSettings, TheSheetsValuesAreWrittenAsTheFileKeepsThem) {
    Folder folder;
    CTableSettings table = folder.Table(nullptr, "[Setting]\nTypeFileOpen=LockFile\n[Fields]\nDateFormat=USA\n");
    EXPECT_EQ(table.GetOpenMode(), unsigned(kOpenExclusive));
    EXPECT_EQ(table.GetDateFormat(), DateFormat::usa);
    EXPECT_TRUE(table.GetAutoSaveChange());
    ASSERT_TRUE(table.SetAutoSaveChange(false));
    ASSERT_TRUE(table.SetOpenMode(kOpenReadOnly));
    ASSERT_TRUE(table.SetDateFormat(DateFormat::ansi));
    EXPECT_EQ(ReadTextFile(folder.strIni),
              "[Setting]\nAutoSaveChange=False\n\n[File]\nTypeFileOpen=ReadOnly\n\n[Fields]\nDateFormat=ANSI\n");
    EXPECT_FALSE(table.GetAutoSaveChange());
    EXPECT_EQ(table.GetOpenMode(), unsigned(kOpenReadOnly));
    EXPECT_EQ(table.GetDateFormat(), DateFormat::ansi);
}

TEST(TableSettingsCorpus, Dbase03KeepsBothColumnsOfItsTwicePresentField) {
    REQUIRE_CORPUS();
    std::vector<std::string> fields = FieldNamesOf(testing_support::CorpusFile("dbase_03.dbf"));
    ASSERT_EQ(fields.size(), 31u);
    ASSERT_EQ(fields[0], "Point_ID");
    ASSERT_EQ(fields[30], "Point_ID");
    Folder folder;
    CTableSettings table(folder.Program(), folder.dir.Path("dbase_03.dbf"));
    // The numeric Point_ID moves up beside the character one; names alone
    // tell them apart only by their order, which the layout keeps.
    ColumnLayout layout = platform::MakeDefaultLayout(fields);
    ColumnInfo numeric = layout.back();
    layout.pop_back();
    numeric.nWidth = 40;
    layout.insert(layout.begin() + 1, numeric);
    ASSERT_TRUE(table.SaveTableSettings(layout, fields, false, true));
    std::optional<ColumnLayout> back = table.LoadColumnLayout(fields);
    ASSERT_TRUE(back);
    EXPECT_EQ(*back, layout) << "both Point_ID columns survive";
}
