// dbftool's writing commands on the tables that used to trip them: tables
// named like their backup, a backup that cannot be written, fields that
// cannot be typed into, typed values checked before they are stored, null
// flags, cut memo texts, damaged lengths, and tables with structural indexes.
#include <sys/stat.h>

#include <gtest/gtest.h>

#include "platform/core/file.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using namespace testing_support;

namespace {

CommandResult Tool(const std::vector<std::string>& args, const std::string& strEnv = "") {
    return RunCommand(DBFTOOL_PATH, args, strEnv);
}

CommandResult Set(const std::string& strTable, const std::string& strRecord, const std::string& strField,
                  const std::string& strValue, const std::vector<std::string>& more = {}) {
    std::vector<std::string> args = {"set", strTable, "--record", strRecord, "--field", strField, "--value", strValue};
    args.insert(args.end(), more.begin(), more.end());
    return Tool(args);
}

// A dBASE III table with memo (ID N 4, NAME C 10, DAY D, OK L, AMOUNT N 10.2,
// NOTE M) at dir/strName, its memo file under the same base name.
std::string MemoTable(const TempDir& dir, const std::string& strName) {
    CMemoImage memo = CMemoImage::DBase3(1);
    TableBuilder b(0x83);
    b.Field("ID", 'N', 4).Field("NAME", 'C', 10).Field("DAY", 'D', 8).Field("OK", 'L', 1).Field("AMOUNT", 'N', 10, 2);
    b.Field("NOTE", 'M', 10);
    b.Record({"1", "first", "20020304", "T", "1.50", MemoRef10(memo.Add("the original text of the first memo"))});
    b.Record({"2", "second", "", "?", "", MemoRef10(0)});
    const std::string strPath = b.Write(dir.Path(strName));
    memo.Save(dir, strName.substr(0, strName.rfind('.')) + ".dbt");
    return strPath;
}

std::string FirstLine(const std::string& str) { return str.substr(0, str.find('\n')); }

}  // namespace

TEST(DbftoolWrite, TablesNamedLikeTheirBackupSurvivePackAndSet) {
    TempDir dir;
    const std::string strTable = MemoTable(dir, "data.bak");
    const Bytes before = ReadFileBytes(strTable);
    CommandResult r = Tool({"pack", strTable});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(ReadFileBytes(dir.Path("data.bak.bak")), before);
    const Bytes packed = ReadFileBytes(strTable);
    r = Set(strTable, "1", "NAME", "X");
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_NE(Tool({"dump", strTable}).strOut.find("\"NAME\":\"X\""), std::string::npos) << "the edit is in the table";
    EXPECT_EQ(ReadFileBytes(dir.Path("data.bak.bak")), packed);
}

TEST(DbftoolWrite, ABackupThatCannotBeWrittenChangesNeitherFile) {
    TempDir dir;
    const std::string strTable = MemoTable(dir, "t.dbf");
    ASSERT_EQ(::mkdir(dir.Path("t.bak").c_str(), 0755), 0);  // no file can take the backup's name
    const Bytes table = ReadFileBytes(strTable), memo = ReadFileBytes(dir.Path("t.dbt"));
    for (const char* pszField : {"NOTE", "NAME"}) {
        CommandResult r = Set(strTable, "1", pszField, "REPLACED");
        EXPECT_EQ(r.nExit, 1) << pszField;
        EXPECT_EQ(ReadFileBytes(strTable), table) << pszField;
        EXPECT_EQ(ReadFileBytes(dir.Path("t.dbt")), memo) << pszField << ": the memo is untouched";
    }
    EXPECT_NE(Tool({"dump", strTable}).strOut.find("the original text"), std::string::npos);
}

TEST(DbftoolWrite, TypedValuesAreCheckedAndStoredAsMeant) {
    TempDir dir;
    const std::string strTable = MemoTable(dir, "t.dbf");
    const Bytes before = ReadFileBytes(strTable);
    // Text that is no date (or a day the calendar lacks), no logical, no
    // number, or too wide: refused with the reason, nothing written.
    const struct {
        const char *pszField, *pszValue, *pszError;
    } refused[] = {
        {"DAY", "2023-02-29", "dbftool: Field DAY: \"2023-02-29\" is not a date: month 2 of 2023 has 28 days\n"},
        {"DAY", "2024-13-01", "dbftool: Field DAY: \"2024-13-01\" is not a date: there is no month 13\n"},
        {"DAY", "abc", "dbftool: Field DAY: \"abc\" is not a date: type it as MM/DD/YYYY, YYYYMMDD or YYYY-MM-DD\n"},
        {"OK", "maybe", "dbftool: Field OK: \"maybe\" is not a logical value: type T or F (Y or N), or ? for none\n"},
        {"AMOUNT", "1,2345", "dbftool: Field AMOUNT: \"1,2345\" is not a number\n"},
    };
    for (const auto& c : refused) {
        CommandResult r = Tool({"set", strTable, "--record", "1", "--field", c.pszField, "--value", c.pszValue}, "LC_ALL=C");
        EXPECT_EQ(r.nExit, 1) << c.pszValue;
        EXPECT_EQ(r.strErr, c.pszError);
    }
    EXPECT_EQ(ReadFileBytes(strTable), before);

    // The storage form and ISO dates, the letters of logicals, the decimals typed.
    const struct {
        const char *pszField, *pszValue, *pszShown;
    } stored[] = {
        {"DAY", "20240101", "\"DAY\":\"2024-01-01\""}, {"DAY", "2024-02-29", "\"DAY\":\"2024-02-29\""},
        {"DAY", "", "\"DAY\":null"},                   {"OK", "t", "\"OK\":true"},
        {"OK", "N", "\"OK\":false"},                   {"AMOUNT", "1.005", "\"AMOUNT\":1.01"},
        {"AMOUNT", "2.675", "\"AMOUNT\":2.68"},
    };
    for (const auto& c : stored) {
        CommandResult r = Tool({"set", strTable, "--record", "2", "--field", c.pszField, "--value", c.pszValue}, "LC_ALL=C");
        EXPECT_EQ(r.nExit, 0) << c.pszValue << ": " << r.strErr;
        const std::string strDump = Tool({"dump", strTable}).strOut;
        EXPECT_NE(strDump.find(c.pszShown), std::string::npos) << c.pszValue << ": " << strDump;
    }
}

TEST(DbftoolWrite, FieldsThatCannotBeWrittenFailTheCommand) {
    TempDir dir;
    CMemoImage memo = CMemoImage::Fpt(8);
    memo.Save(dir, "v.FPT");
    TableBuilder b(0x30);
    b.TableFlags(2).Field("NAME", 'C', 4).Field("PIC", 'P', 4).Field("OLE", 'G', 4).Field("NOTE", 'M', 4).Record({"a"});
    const std::string strTable = b.Write(dir.Path("v.dbf"));
    for (const char* pszField : {"PIC", "OLE"}) {
        CommandResult r = Set(strTable, "1", pszField, "x");
        EXPECT_EQ(r.nExit, 1) << pszField;
        EXPECT_EQ(r.strErr, std::string("dbftool: field ") + pszField +
                                " cannot be written: it holds binary data (a picture or an object)\n");
    }
    // A Visual FoxPro table whose memo flag is clear and whose memo file is
    // not there: its memo field has nowhere to go.
    const std::string strBare = TableBuilder(0x30).Field("NOTE", 'M', 4).Record({}).Write(dir.Path("bare.dbf"));
    const Bytes before = ReadFileBytes(strBare);
    CommandResult r = Set(strBare, "1", "NOTE", "text");
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strErr.find("memo file is missing"), std::string::npos) << r.strErr;
    EXPECT_EQ(ReadFileBytes(strBare), before);
}

TEST(DbftoolWrite, NullFieldsDumpAsNullUntilSet) {
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("NAME", 'C', 4, 0, 0x02).Field("AGE", 'N', 3, 0, 0x02).Field("_NullFlags", '0', 1, 0, 0x05);
    b.Record({"", "", std::string(1, '\x03')}).Record({"Bo", "7", std::string(1, '\x00')});
    const std::string strTable = b.Write(dir.Path("n.dbf"));
    EXPECT_EQ(FirstLine(Tool({"dump", strTable}).strOut), "{\"_flag\":\" \",\"NAME\":null,\"AGE\":null,\"_NullFlags\":3}");
    EXPECT_EQ(Set(strTable, "1", "AGE", "0").nExit, 0);
    EXPECT_EQ(FirstLine(Tool({"dump", strTable}).strOut), "{\"_flag\":\" \",\"NAME\":null,\"AGE\":0,\"_NullFlags\":1}");
}

TEST(DbftoolWrite, ExportSaysHowManyMemoTextsItCut) {
    TempDir dir;
    CMemoImage memo = CMemoImage::DBase3(1);
    const uint32_t nLong = memo.Add(std::string(256, 'x')), nShort = memo.Add("short");
    memo.Save(dir, "m.dbt");
    TableBuilder b(0x83);
    b.Field("NOTES", 'M', 10).Field("MORE", 'M', 10);
    b.Record({MemoRef10(nLong), MemoRef10(nShort)}).Record({MemoRef10(nLong), MemoRef10(nLong)});
    const std::string strTable = b.Write(dir.Path("m.dbf"));
    CommandResult r = Tool({"export", strTable, dir.Path("e.dbf"), "--as=dbase3"});
    EXPECT_EQ(r.nExit, 0);
    EXPECT_EQ(r.strErr, "dbftool: 2 texts of NOTES cut to 255 characters\ndbftool: 1 text of MORE cut to 255 characters\n");
    r = Tool({"export", TableBuilder().Field("A", 'C', 1).Record({"a"}).Write(dir.Path("p.dbf")), dir.Path("f.dbf"),
              "--as=vfp"});
    EXPECT_EQ(r.strErr, "") << "nothing cut, nothing said";
}

TEST(DbftoolWrite, DumpSalvageReadsATableWhoseCountDisagreesWithItsLength) {
    TempDir dir;
    TableBuilder b;
    b.Field("A", 'C', 3).Record({"one"}).Record({"two"});
    const std::string strTable = b.SetRecordCount(5).Trailing("").Write(dir.Path("d.dbf"));
    const Bytes before = ReadFileBytes(strTable);
    CommandResult r = Tool({"info", strTable});
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strOut.find("\"records\":2,"), std::string::npos) << r.strOut;
    EXPECT_NE(r.strOut.find("\"damage\":{\"header_records\":5,\"records_by_length\":2,\"extra_bytes\":0}"),
              std::string::npos) << r.strOut;
    EXPECT_NE(r.strErr.find("the header counts 5 records but the file's length holds 2"), std::string::npos) << r.strErr;
    EXPECT_EQ(Tool({"dump", strTable}).nExit, 1) << "a plain dump still refuses it";
    r = Tool({"dump", strTable, "--salvage"});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "{\"_flag\":\" \",\"A\":\"one\"}\n{\"_flag\":\" \",\"A\":\"two\"}\n");
    EXPECT_EQ(Set(strTable, "1", "A", "x").nExit, 1);
    EXPECT_EQ(ReadFileBytes(strTable), before) << "never written";
}

TEST(DbftoolWrite, DBase3CopiesKeepTheCodePageMark) {
    REQUIRE_CORPUS();
    TempDir dir;
    CommandResult r = Tool({"export", CorpusFile("cp1251.dbf"), dir.Path("e3.dbf"), "--as=dbase3"});
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_NE(Tool({"info", dir.Path("e3.dbf")}).strOut.find("\"code_page_mark\":201"), std::string::npos);
    EXPECT_NE(Tool({"dump", dir.Path("e3.dbf")}, "LC_ALL=C.UTF-8").strOut.find("больничное"), std::string::npos)
        << "the copy reads as the Windows-1251 text it is";
}

TEST(DbftoolIndex, TablesWithAStructuralIndexAreNotWrittenWithoutTheUsersYes) {
    REQUIRE_CORPUS();
    for (const char* pszTable : {"calls", "contacts", "setup", "types"}) {
        SCOPED_TRACE(pszTable);
        TempDir dir;
        const std::string strTable = dir.CopyIn(CorpusFile(std::string("foxprodb/") + pszTable + ".dbf"));
        const std::string strIndex = dir.CopyIn(CorpusFile(std::string("foxprodb/") + pszTable + ".CDX"));
        if (platform::CFile::Exists(CorpusFile(std::string("foxprodb/") + pszTable + ".FPT")))
            dir.CopyIn(CorpusFile(std::string("foxprodb/") + pszTable + ".FPT"));
        const Bytes table = ReadFileBytes(strTable), index = ReadFileBytes(strIndex);
        CommandResult r = Tool({"info", strTable});
        EXPECT_NE(r.strOut.find(std::string("\"index\":{\"file\":\"") + pszTable + ".CDX\",\"present\":true}"),
                  std::string::npos) << r.strOut;
        const std::string strField = r.strOut.substr(r.strOut.find("\"fields\":[{\"name\":\"") + 19);
        const std::string strFirst = strField.substr(0, strField.find('"'));
        for (const std::vector<std::string>& args : {std::vector<std::string>{"set", strTable, "--record", "1", "--field",
                                                                              strFirst, "--value", "1"},
                                                     {"pack", strTable}}) {
            r = Tool(args);
            EXPECT_EQ(r.nExit, 1) << args[0];
            EXPECT_NE(r.strErr.find(std::string("index file '") + pszTable + ".CDX'"), std::string::npos) << r.strErr;
            EXPECT_EQ(ReadFileBytes(strTable), table);
        }
        r = Set(strTable, "1", strFirst, "1", {"--stale-index-ok"});
        EXPECT_EQ(r.nExit, 0) << r.strErr;
        EXPECT_NE(ReadFileBytes(strTable), table) << "written when the user says so";
        EXPECT_EQ(ReadFileBytes(strIndex), index) << "the index itself is never touched";
        // A copy carries no index: its flag is clear.
        ASSERT_EQ(Tool({"export", strTable, dir.Path("copy.dbf"), "--as=vfp"}).nExit, 0);
        EXPECT_NE(Tool({"info", dir.Path("copy.dbf")}).strOut.find("\"index\":null"), std::string::npos);
    }
    // Flagged, but the index is not there: nothing to go stale.
    TempDir dir;
    const std::string strTable = dir.CopyIn(CorpusFile("cp1251.dbf"));
    EXPECT_NE(Tool({"info", strTable}).strOut.find("\"index\":{\"file\":\"cp1251.CDX\",\"present\":false}"),
              std::string::npos);
    CommandResult r = Set(strTable, "1", "NAME", "x");
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    // create does not write beside an index file of the new table's name.
    WriteFileBytes(dir.Path("new.CDX"), std::string("index"));
    EXPECT_EQ(Tool({"create", dir.Path("new.dbf"), "--fields", "A:C:1"}).nExit, 1);
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("new.dbf")));
    EXPECT_EQ(Tool({"create", dir.Path("new.dbf"), "--fields", "A:C:1", "--stale-index-ok"}).nExit, 0);
}
