// dbftool info and dump, run as the built program: their exact output on
// tables built here, their agreement with what other libraries read from the
// corpus (and, through python3-dbfread and python3-dbf, from tables they
// write and from every copy export and pack make), and their errors.
#include <charconv>
#include <fstream>
#include <sstream>

#include <gtest/gtest.h>

#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using namespace testing_support;

namespace {

CommandResult Tool(const std::vector<std::string>& args, const std::string& strEnv = "") {
    return RunCommand(DBFTOOL_PATH, args, strEnv);
}

std::vector<std::string> Lines(const std::string& str) {
    std::vector<std::string> lines;
    std::istringstream in(str);
    for (std::string strLine; std::getline(in, strLine);) lines.push_back(strLine);
    return lines;
}

// Runs a check script with the first python3 that has python3-dbf and
// python3-dbfread; the script exits 77 when one is missing.
CommandResult PythonCheck(const std::vector<std::string>& args) {
    std::vector<std::string> shellArgs = {
        "-c", "for p in /usr/bin/python3 python3; do command -v $p >/dev/null 2>&1 || continue; $p \"$@\" 2>&1; "
              "s=$?; [ $s -ne 77 ] && exit $s; done; exit 77", "sh"};
    shellArgs.insert(shellArgs.end(), args.begin(), args.end());
    return RunCommand("/bin/sh", shellArgs);
}

// A JSON string of plain text (the names and values compared here have no
// control characters; one that had would show up as a difference).
std::string JsonString(const std::string& str) {
    std::string out = "\"";
    for (char c : str) out += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

// The corpus' "<table>_summary.txt": the record count and the field list as
// another DBF library read them, in dbftool info's JSON, and the names.
struct Summary {
    std::string strRecords, strFields;
    std::vector<std::string> names;
};

Summary ReadSummary(const std::string& strTable) {
    std::ifstream in(CorpusFile(strTable + "_summary.txt"));
    Summary summary;
    std::string strLine;
    for (bool bFields = false; std::getline(in, strLine);) {
        std::istringstream fields(strLine);
        std::string strName, strType;
        int nWidth = 0, nDecimals = 0;
        if (strLine.rfind("Records:", 0) == 0) {
            summary.strRecords = "\"records\":" + std::to_string(std::stoi(strLine.substr(8))) + ",";
        } else if (strLine.rfind("-----", 0) == 0) {
            bFields = true;
        } else if (bFields && fields >> strName >> strType >> nWidth >> nDecimals) {
            summary.strFields += (summary.names.empty() ? "" : ",") + std::string("{\"name\":") + JsonString(strName) +
                                 ",\"type\":" + JsonString(strType) + ",\"width\":" + std::to_string(nWidth) +
                                 ",\"decimals\":" + std::to_string(nDecimals) + "}";
            summary.names.push_back(strName);
        }
    }
    summary.strFields = "\"fields\":[" + summary.strFields + "]}";
    return summary;
}

// One record of a corpus *.yml file as the dump line prints it: a list of
// plain scalars, 'single-quoted' and "double-quoted" strings (the latter
// folded over several lines), true/false and empty entries, named by the
// summary's field list.
std::string YmlRecordJson(const std::string& strTable, int nRecord) {
    const std::vector<std::string> names = ReadSummary(strTable).names;
    std::vector<std::string> values;
    std::ifstream in(CorpusFile(strTable + "_record_" + std::to_string(nRecord) + ".yml"));
    for (std::string strLine; std::getline(in, strLine);) {
        size_t n = strLine.find_first_not_of(' ');
        if (n == std::string::npos || strLine == "---") continue;
        if (strLine[n] == '-' && (n + 1 == strLine.size() || strLine[n + 1] == ' '))
            values.push_back(strLine.substr(std::min(n + 2, strLine.size())));
        else if (!values.empty())
            values.back() += " " + strLine.substr(n);  // a folded line: the break becomes a space
    }
    EXPECT_EQ(values.size(), names.size());
    std::string strJson = "{\"_flag\":\" \"";
    for (size_t i = 0; i < values.size() && i < names.size(); ++i) {
        std::string& str = values[i];
        if (str.empty()) {
            str = "null";
        } else if (str[0] == '\'') {
            str = JsonString(str.substr(1, str.size() - 2));
        } else if (str[0] != '"' && str != "true" && str != "false") {  // YAML's "..." escapes are JSON's
            char* pEnd = nullptr;
            double d = std::strtod(str.c_str(), &pEnd);
            char sz[32];
            str = *pEnd == '\0' ? std::string(sz, std::to_chars(sz, sz + sizeof sz, d).ptr) : JsonString(str);
        }
        strJson += ",\"" + names[i] + "\":" + str;
    }
    return strJson + "}";
}

}  // namespace

TEST(DbftoolInfo, PrintsHeaderNumbersAndFieldList) {
    TempDir dir;
    TableBuilder b(0x83);
    b.CodePageMark(0x65).Field("NAME", 'C', 300).Field("PRICE", 'N', 10, 2).Field("NOTE", 'M', 10);
    b.Record({"x", "1.5", MemoRef10(0)}).Write(dir.Path("t.dbf"));
    CMemoImage::DBase3(1).Save(dir, "t.dbt");
    CommandResult r = Tool({"info", dir.Path("t.dbf")});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(r.strOut,
              "{\"version\":131,\"records\":1,\"header_length\":129,\"record_length\":321,\"code_page_mark\":101,"
              "\"memo\":\"dbt3\",\"index\":null,"
              "\"code_pages\":{\"oem\":\"CP866\",\"ansi\":\"CP1251\",\"text\":\"oem\",\"source\":\"mark\"},"
              "\"fields\":[{\"name\":\"NAME\",\"type\":\"C\",\"width\":300,\"decimals\":0},"
              "{\"name\":\"PRICE\",\"type\":\"N\",\"width\":10,\"decimals\":2},"
              "{\"name\":\"NOTE\",\"type\":\"M\",\"width\":10,\"decimals\":0}]}\n");
    r = Tool({"info", TableBuilder(0x03).Field("A", 'C', 1).Write(dir.Path("plain.dbf"))});
    EXPECT_NE(r.strOut.find("\"memo\":null"), std::string::npos) << r.strOut;
}

TEST(DbftoolErrors, PrintTheEngineMessageAndFail) {
    TempDir dir;
    CommandResult r = Tool({"info", dir.Path("missing.dbf")});
    EXPECT_NE(r.nExit, 0);
    EXPECT_EQ(r.strErr, "Can't open file.\n");
    EXPECT_EQ(r.strOut, "");
    const std::string strBad = TableBuilder(0x03).Field("A", 'C', 3).Record({"abc"}).SetRecordCount(3).Write(dir.Path("bad.dbf"));
    r = Tool({"dump", strBad});
    EXPECT_NE(r.nExit, 0);
    EXPECT_EQ(r.strErr, "File destruct or not .dbf file. \n");
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"dump"}, {"info", "a", "b"}, {"dump", strBad, "--codepage=latin"}, {"dump", strBad, "--oem=CP99999"}})
        EXPECT_EQ(Tool(args).nExit, 2) << args.back();
}

TEST(DbftoolDump, PrintsEveryKindOfValueAndWritesNothing) {
    TempDir dir;
    CMemoImage memo = CMemoImage::Fpt(8);
    uint32_t nText = memo.Add("line 1\r\n\"two\"\t\\"), nBinary = memo.Add(std::string("\x00\xff\x10", 3));
    memo.Save(dir, "t.fpt");
    TableBuilder b(0x30);
    b.TableFlags(2).CodePageMark(0xC9);
    b.Field("NAME", 'C', 6).Field("PRICE", 'N', 8, 2).Field("COUNT", 'I', 4).Field("CASH", 'Y', 8);
    b.Field("WHEN", 'T', 8).Field("DAY", 'D', 8).Field("OK", 'L', 1).Field("RATIO", 'B', 8);
    b.Field("NOTE", 'M', 4).Field("OLE", 'G', 4).Field("_NullFlags", '0', 1);
    b.Record({"Ann", "12.50", LE32(uint32_t(-7)), LE64(uint64_t(-123456)),
              DateTimeBytes(JulianDay(2002, 3, 4), 45296999), "20020304", "T", LEDouble(0.1), LE32(nText),
              LE32(nBinary), std::string(1, '\x05')});
    b.DeletedRecord({"", "", LE32(0), LE64(0), DateTimeBytes(0, 0), "", "?", LEDouble(1e300), LE32(0), LE32(0),
                     std::string(1, '\0')});
    const std::string strPath = b.Write(dir.Path("t.dbf"));
    const Bytes table = ReadFileBytes(strPath), memoBytes = ReadFileBytes(dir.Path("t.fpt"));
    CommandResult r = Tool({"dump", strPath});
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(r.strOut,
              "{\"_flag\":\" \",\"NAME\":\"Ann\",\"PRICE\":12.5,\"COUNT\":-7,\"CASH\":\"-12.3456\","
              "\"WHEN\":\"2002-03-04T12:34:57\",\"DAY\":\"2002-03-04\",\"OK\":true,\"RATIO\":0.1,"
              "\"NOTE\":\"line 1\\r\\n\\\"two\\\"\\t\\\\\",\"OLE\":{\"bytes\":\"00ff10\"},\"_NullFlags\":5}\n"
              "{\"_flag\":\"*\",\"NAME\":\"\",\"PRICE\":0,\"COUNT\":0,\"CASH\":\"0.0000\",\"WHEN\":null,"
              "\"DAY\":null,\"OK\":false,\"RATIO\":1e+300,\"NOTE\":null,\"OLE\":null,\"_NullFlags\":0}\n");
    EXPECT_EQ(Tool({"info", strPath}).nExit, 0);
    EXPECT_EQ(ReadFileBytes(strPath), table);
    EXPECT_EQ(ReadFileBytes(dir.Path("t.fpt")), memoBytes);
}

TEST(DbftoolDump, DecodesTextThroughTheCodePages) {
    TempDir dir;
    // "Привет" in CP866 and in CP1251.
    const std::string strLine = "{\"_flag\":\" \",\"T\":\"Привет\"}\n";
    const std::string strDos = TableBuilder(0x03).Field("T", 'C', 6).Record({"\x8f\xe0\xa8\xa2\xa5\xe2"}).Write(dir.Path("dos.dbf"));
    // A Visual FoxPro table marked Windows 1251 is ANSI text by the automatic rule.
    const std::string strWin =
        TableBuilder(0x30).CodePageMark(0xC9).Field("T", 'C', 6).Record({"\xcf\xf0\xe8\xe2\xe5\xf2"}).Write(dir.Path("win.dbf"));
    EXPECT_EQ(Tool({"dump", strDos, "--oem=CP866", "--ansi=CP1251"}).strOut, strLine);
    EXPECT_EQ(Tool({"dump", strDos}, "LC_ALL=ru_RU.UTF-8").strOut, strLine) << "the default pair follows the locale";
    EXPECT_EQ(Tool({"dump", strDos, "--codepage=ansi", "--ansi=CP866"}).strOut, strLine);
    EXPECT_EQ(Tool({"dump", strWin, "--ansi=CP1251"}).strOut, strLine);
    EXPECT_EQ(Tool({"dump", strWin, "--codepage=oem", "--oem=CP1251", "--ansi=CP1251"}).strOut, strLine);
}

TEST(DbftoolCorpus, FieldListsAndValuesAgreeWithTheCorpusFiles) {
    REQUIRE_CORPUS();
    for (const char* pszTable : {"cp1251", "dbase_03", "dbase_03_cyrillic", "dbase_30", "dbase_31", "dbase_32",
                                 "dbase_83", "dbase_8b", "dbase_f5"}) {
        SCOPED_TRACE(pszTable);
        CommandResult r = Tool({"info", CorpusFile(std::string(pszTable) + ".dbf")});
        ASSERT_EQ(r.nExit, 0) << r.strErr;
        const Summary summary = ReadSummary(pszTable);
        EXPECT_NE(r.strOut.find(summary.strRecords), std::string::npos) << r.strOut;
        EXPECT_NE(r.strOut.find(summary.strFields), std::string::npos) << r.strOut;
    }
    const std::vector<std::string> lines = Lines(Tool({"dump", CorpusFile("dbase_83.dbf")}).strOut);
    ASSERT_EQ(lines.size(), 67u);
    for (int nRecord : {0, 9}) EXPECT_EQ(lines[size_t(nRecord)], YmlRecordJson("dbase_83", nRecord));
}

TEST(DbftoolCorpus, DumpAgreesWithPythonDbfreadOnTablesPythonDbfWrites) {
    // Also the corpus' Windows-1251 and UTF-8 tables and a GDAL table with a
    // UTF-8 .cpg, each with no code-page option under LANG=C.UTF-8.
    TempDir dir;
    std::vector<std::string> args = {DBFTOOL_CROSSCHECK_SCRIPT, DBFTOOL_PATH, dir.Path()};
    if (!CorpusDir().empty()) args.push_back(CorpusDir());
    CommandResult r = PythonCheck(args);
    if (r.nExit == 77) GTEST_SKIP() << "python3 with python3-dbf and python3-dbfread is needed: " << r.strOut;
    EXPECT_EQ(r.nExit, 0) << r.strOut;
}

TEST(DbftoolCorpus, SetOnEveryFieldTypeReadsBackInTheProgramsThatWroteTheTable) {
    TempDir dir;
    CommandResult r = PythonCheck({DBFTOOL_SET_CROSSCHECK_SCRIPT, DBFTOOL_PATH, dir.Path()});
    if (r.nExit == 77) GTEST_SKIP() << "python3 with python3-dbf and python3-dbfread is needed: " << r.strOut;
    EXPECT_EQ(r.nExit, 0) << r.strOut;
}

TEST(DbftoolCorpus, ExportedAndPackedTablesReadBackInOtherLibraries) {
    REQUIRE_CORPUS();
    TempDir dir;
    CommandResult r = PythonCheck({DBFTOOL_ROUNDTRIP_SCRIPT, DBFTOOL_PATH, CorpusDir(), dir.Path()});
    if (r.nExit == 77) GTEST_SKIP() << "python3 with python3-dbf and python3-dbfread is needed: " << r.strOut;
    EXPECT_EQ(r.nExit, 0) << r.strOut;
    EXPECT_NE(r.strOut.find(" 0 difference(s)"), std::string::npos) << r.strOut;
}
