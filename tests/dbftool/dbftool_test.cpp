// dbftool info and dump, run as the built program: their exact output on
// tables built here, their agreement with what other libraries read from the
// corpus, and their errors.
#include <sys/wait.h>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "tests/support/corpus_summary.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

struct RunResult {
    int nExit = -1;
    std::string strOut;
    std::string strErr;
};

std::string Quote(const std::string& str) {
    std::string strQuoted = "'";
    for (char c : str) strQuoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return strQuoted + "'";
}

std::string ReadText(const std::string& strPath) {
    std::ifstream in(strPath, std::ios::binary);
    std::stringstream buffer;
    buffer << in.rdbuf();
    return buffer.str();
}

// Runs dbftool with the arguments (and environment assignments in front of
// the command, e.g. "LC_ALL=ru_RU.UTF-8").
RunResult RunTool(const std::vector<std::string>& args, const std::string& strEnv = "") {
    TempDir dir;
    std::string strCommand = strEnv + (strEnv.empty() ? "" : " ") + Quote(DBFTOOL_PATH);
    for (const std::string& arg : args) strCommand += " " + Quote(arg);
    strCommand += " >" + Quote(dir.Path("out")) + " 2>" + Quote(dir.Path("err"));
    RunResult result;
    int nStatus = std::system(strCommand.c_str());
    result.nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    result.strOut = ReadText(dir.Path("out"));
    result.strErr = ReadText(dir.Path("err"));
    return result;
}

std::vector<std::string> Lines(const std::string& str) {
    std::vector<std::string> lines;
    std::istringstream in(str);
    for (std::string strLine; std::getline(in, strLine);) lines.push_back(strLine);
    return lines;
}

// A JSON string of plain text (the names and values compared here have no
// control characters; one that had would show up as a difference).
std::string JsonString(const std::string& str) {
    std::string out = "\"";
    for (char c : str) out += c == '"' || c == '\\' ? std::string("\\") + c : std::string(1, c);
    return out + "\"";
}

std::string JsonNumber(double d) {
    char sz[32];
    return std::string(sz, std::to_chars(sz, sz + sizeof sz, d).ptr);
}

// The values of one record in a corpus *.yml file as dump prints them: a
// list of plain scalars, 'single-quoted' and "double-quoted" strings (the
// latter folded over several lines), true/false and empty entries.
std::vector<std::string> ReadYmlRecord(const std::string& strPath) {
    std::vector<std::string> values;
    std::ifstream in(strPath);
    for (std::string strLine; std::getline(in, strLine);) {
        size_t n = strLine.find_first_not_of(' ');
        if (n == std::string::npos || strLine == "---") continue;
        if (strLine[n] == '-' && (n + 1 == strLine.size() || strLine[n + 1] == ' '))
            values.push_back(strLine.substr(std::min(n + 2, strLine.size())));
        else if (!values.empty())
            values.back() += " " + strLine.substr(n);  // a folded line: the break becomes a space
    }
    for (std::string& str : values) {
        if (str.empty()) {
            str = "null";
        } else if (str[0] == '\'') {
            str = JsonString(str.substr(1, str.size() - 2));
        } else if (str[0] != '"' && str != "true" && str != "false") {  // YAML's "..." escapes are JSON's
            char* pEnd = nullptr;
            double d = std::strtod(str.c_str(), &pEnd);
            str = *pEnd == '\0' ? JsonNumber(d) : JsonString(str);  // a number when all of it reads as one
        }
    }
    return values;
}

}  // namespace

TEST(DbftoolInfo, PrintsHeaderNumbersAndFieldList) {
    TempDir dir;
    TableBuilder b(0x83);
    b.CodePageMark(0x65).Field("NAME", 'C', 300).Field("PRICE", 'N', 10, 2).Field("NOTE", 'M', 10);
    b.Record({"x", "1.5", MemoRef10(0)});
    b.Write(dir.Path("t.dbf"));
    MemoBuilder(MemoLayout::dBase3).Write(dir.Path("t.dbt"));
    RunResult r = RunTool({"info", dir.Path("t.dbf")});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(r.strOut,
              "{\"version\":131,\"records\":1,\"header_length\":129,\"record_length\":321,\"code_page_mark\":101,"
              "\"memo\":\"dbt3\",\"fields\":[{\"name\":\"NAME\",\"type\":\"C\",\"width\":300,\"decimals\":0},"
              "{\"name\":\"PRICE\",\"type\":\"N\",\"width\":10,\"decimals\":2},"
              "{\"name\":\"NOTE\",\"type\":\"M\",\"width\":10,\"decimals\":0}]}\n");

    TableBuilder plain(0x03);
    plain.Field("A", 'C', 1);
    r = RunTool({"info", plain.Write(dir.Path("plain.dbf"))});
    EXPECT_NE(r.strOut.find("\"memo\":null"), std::string::npos) << r.strOut;
}

TEST(DbftoolInfo, CorpusFieldListsAgreeWithTheSummaries) {
    REQUIRE_CORPUS();
    RunResult r = RunTool({"info", CorpusFile("dbase_30.dbf")});
    EXPECT_EQ(r.strOut.rfind("{\"version\":48,\"records\":34,\"header_length\":4936,\"record_length\":3907,"
                             "\"code_page_mark\":3,\"memo\":\"fpt\",\"fields\":[{\"name\":\"ACCESSNO\",\"type\":"
                             "\"C\",\"width\":15,\"decimals\":0},",
                             0),
              0u)
        << r.strOut.substr(0, 300);

    for (const char* pszTable : {"cp1251", "dbase_03", "dbase_03_cyrillic", "dbase_30", "dbase_31", "dbase_32",
                                 "dbase_83", "dbase_8b", "dbase_f5"}) {
        SCOPED_TRACE(pszTable);
        CorpusSummary summary = ReadCorpusSummary(pszTable);
        r = RunTool({"info", CorpusFile(std::string(pszTable) + ".dbf")});
        ASSERT_EQ(r.nExit, 0) << r.strErr;
        std::string strFields = "\"records\":" + std::to_string(summary.nRecords);
        EXPECT_NE(r.strOut.find(strFields), std::string::npos);
        std::string strExpected;
        for (const SummaryField& f : summary.fields) {
            strExpected += (strExpected.empty() ? "" : ",") + std::string("{\"name\":") + JsonString(f.strName) +
                           ",\"type\":" + JsonString(f.strType) + ",\"width\":" + std::to_string(f.nWidth) +
                           ",\"decimals\":" + std::to_string(f.nDecimals) + "}";
        }
        EXPECT_NE(r.strOut.find("\"fields\":[" + strExpected + "]}"), std::string::npos) << r.strOut;
    }
}

TEST(DbftoolErrors, PrintTheEngineMessageAndFail) {
    TempDir dir;
    RunResult r = RunTool({"info", dir.Path("missing.dbf")});
    EXPECT_NE(r.nExit, 0);
    EXPECT_EQ(r.strErr, "Can't open file.\n");
    EXPECT_EQ(r.strOut, "");

    TableBuilder b(0x03);
    b.Field("A", 'C', 3).Record({"abc"}).SetRecordCount(3);
    r = RunTool({"dump", b.Write(dir.Path("bad.dbf"))});
    EXPECT_NE(r.nExit, 0);
    EXPECT_EQ(r.strErr, "File destruct or not .dbf file. \n");

    EXPECT_EQ(RunTool({"dump"}).nExit, 2);
    EXPECT_EQ(RunTool({"info", "a", "b"}).nExit, 2);
    EXPECT_EQ(RunTool({"dump", dir.Path("bad.dbf"), "--codepage=latin"}).nExit, 2);
    EXPECT_EQ(RunTool({"dump", dir.Path("bad.dbf"), "--oem=CP99999"}).nExit, 2);
}

TEST(DbftoolDump, PrintsEveryKindOfValue) {
    TempDir dir;
    MemoBuilder memo(MemoLayout::foxPro, 64);
    uint32_t nText = memo.Add("line 1\r\n\"two\"\t\\");
    uint32_t nBinary = memo.Add(std::string("\x00\xff\x10", 3));
    memo.Write(dir.Path("t.fpt"));
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
    RunResult r = RunTool({"dump", b.Write(dir.Path("t.dbf"))});
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    std::vector<std::string> lines = Lines(r.strOut);
    ASSERT_EQ(lines.size(), 2u) << r.strOut;
    EXPECT_EQ(lines[0],
              "{\"_flag\":\" \",\"NAME\":\"Ann\",\"PRICE\":12.5,\"COUNT\":-7,\"CASH\":\"-12.3456\","
              "\"WHEN\":\"2002-03-04T12:34:57\",\"DAY\":\"2002-03-04\",\"OK\":true,\"RATIO\":0.1,"
              "\"NOTE\":\"line 1\\r\\n\\\"two\\\"\\t\\\\\",\"OLE\":{\"bytes\":\"00ff10\"},\"_NullFlags\":5}");
    EXPECT_EQ(lines[1],
              "{\"_flag\":\"*\",\"NAME\":\"\",\"PRICE\":0,\"COUNT\":0,\"CASH\":\"0.0000\",\"WHEN\":null,"
              "\"DAY\":null,\"OK\":false,\"RATIO\":1e+300,\"NOTE\":null,\"OLE\":null,\"_NullFlags\":0}");
}

TEST(DbftoolDump, DecodesTextThroughTheCodePages) {
    TempDir dir;
    // "Привет" in CP866 and in CP1251.
    const std::string strOem = "\x8f\xe0\xa8\xa2\xa5\xe2", strAnsi = "\xcf\xf0\xe8\xe2\xe5\xf2";
    TableBuilder dos(0x03);
    dos.Field("T", 'C', 6).Record({strOem});
    dos.Write(dir.Path("dos.dbf"));
    const std::string strLine = "{\"_flag\":\" \",\"T\":\"Привет\"}\n";
    EXPECT_EQ(RunTool({"dump", dir.Path("dos.dbf"), "--oem=CP866", "--ansi=CP1251"}).strOut, strLine);
    EXPECT_EQ(RunTool({"dump", dir.Path("dos.dbf")}, "LC_ALL=ru_RU.UTF-8").strOut, strLine)
        << "the default pair follows the locale";
    EXPECT_EQ(RunTool({"dump", dir.Path("dos.dbf"), "--codepage=ansi", "--ansi=CP866"}).strOut, strLine);

    // A Visual FoxPro table marked Windows 1251 is ANSI text by the automatic rule.
    TableBuilder win(0x30);
    win.CodePageMark(0xC9).Field("T", 'C', 6).Record({strAnsi});
    win.Write(dir.Path("win.dbf"));
    EXPECT_EQ(RunTool({"dump", dir.Path("win.dbf"), "--ansi=CP1251"}).strOut, strLine);
    EXPECT_EQ(RunTool({"dump", dir.Path("win.dbf"), "--codepage=oem", "--oem=CP1251", "--ansi=CP1251"}).strOut,
              strLine);
}

TEST(DbftoolDump, WritesNothing) {
    TempDir dir;
    MemoBuilder memo(MemoLayout::dBase3);
    uint32_t nBlock = memo.Add("memo");
    memo.Write(dir.Path("t.DBT"));
    TableBuilder b(0x83);
    b.Field("NOTE", 'M', 10).Record({MemoRef10(nBlock)});
    std::string strPath = b.Write(dir.Path("t.dbf"));
    Bytes table = ReadFileBytes(strPath), memoBytes = ReadFileBytes(dir.Path("t.DBT"));
    EXPECT_EQ(RunTool({"dump", strPath}).strOut, "{\"_flag\":\" \",\"NOTE\":\"memo\"}\n");
    EXPECT_EQ(RunTool({"info", strPath}).nExit, 0);
    EXPECT_EQ(ReadFileBytes(strPath), table);
    EXPECT_EQ(ReadFileBytes(dir.Path("t.DBT")), memoBytes);
}

TEST(DbftoolDump, CorpusValuesAgreeWithTheRecordFiles) {
    REQUIRE_CORPUS();
    RunResult r = RunTool({"dump", CorpusFile("dbase_83.dbf")});
    ASSERT_EQ(r.nExit, 0) << r.strErr;
    std::vector<std::string> lines = Lines(r.strOut);
    ASSERT_EQ(lines.size(), 67u);
    CorpusSummary summary = ReadCorpusSummary("dbase_83");
    for (int nRecord : {0, 9}) {
        std::vector<std::string> values = ReadYmlRecord(CorpusFile("dbase_83_record_" + std::to_string(nRecord) + ".yml"));
        ASSERT_EQ(values.size(), summary.fields.size());
        std::string strExpected = "{\"_flag\":\" \"";
        for (size_t i = 0; i < values.size(); ++i) strExpected += ",\"" + summary.fields[i].strName + "\":" + values[i];
        EXPECT_EQ(lines[size_t(nRecord)], strExpected + "}");
    }
}

TEST(DbftoolDump, CorpusTablesPrintTheirTextDatesAndFlags) {
    // (Every record of every corpus table is compared value by value with
    // python3-dbfread through the export round trip of dbftool_bulk_test.)
    REQUIRE_CORPUS();
    RunResult r = RunTool({"dump", CorpusFile("cp1251.dbf"), "--ansi=CP1251"});
    EXPECT_EQ(Lines(r.strOut).at(0), "{\"_flag\":\" \",\"RN\":1,\"NAME\":\"амбулаторно-поликлиническое\"}");
    r = RunTool({"dump", CorpusFile("mazovia.dbf")});
    EXPECT_EQ(Lines(r.strOut).at(0), "{\"_flag\":\"\\u0000\",\"A1\":\"2020-01-04\",\"A2\":\"English\"}");
    r = RunTool({"dump", CorpusFile("foxprodb/calls.dbf")});
    EXPECT_EQ(Lines(r.strOut).at(0),
              "{\"_flag\":\" \",\"CALL_ID\":1,\"CONTACT_ID\":1,\"CALL_DATE\":\"1994-11-21T13:35:39\","
              "\"CALL_TIME\":\"1899-12-30T13:35:39\",\"SUBJECT\":\"Buy flavored coffees.\",\"NOTES\":\"Nancy told me "
              "about their blends. Thinking about it. Should call back later.\"}");
}

TEST(DbftoolDump, AgreesWithPythonDbfreadOnTablesPythonDbfWrites) {
    TempDir dir;
    // The first python3 that has both modules runs the check; the script
    // exits 77 when one is missing.
    std::string strCommand = "for p in /usr/bin/python3 python3; do command -v $p >/dev/null 2>&1 || continue; $p " +
                             Quote(DBFTOOL_CROSSCHECK_SCRIPT) + " " + Quote(DBFTOOL_PATH) + " " + Quote(dir.Path()) +
                             " >" + Quote(dir.Path("log")) + " 2>&1; s=$?; [ $s -ne 77 ] && exit $s; done; exit 77";
    int nStatus = std::system(strCommand.c_str());
    int nExit = WIFEXITED(nStatus) ? WEXITSTATUS(nStatus) : -1;
    std::string strLog = ReadText(dir.Path("log"));
    if (nExit == 77) GTEST_SKIP() << "python3 with python3-dbf and python3-dbfread is needed: " << strLog;
    EXPECT_EQ(nExit, 0) << strLog;
}
