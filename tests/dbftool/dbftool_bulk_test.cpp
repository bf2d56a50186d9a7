// dbftool's bulk commands, run as the built program: dump's list options,
// pack, export, set and create, their output and their refusals.
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

// NAME C 8, AMOUNT N 6.2: four records, "Bob" deleted.
std::string People(const TempDir& dir, const std::string& strName = "t.dbf") {
    TableBuilder b;
    b.Field("NAME", 'C', 8).Field("AMOUNT", 'N', 6, 2);
    b.Record({"Ann", "12.50"}).DeletedRecord({"Bob", "7"}).Record({"\x8E" "pfel", "-1"}).Record({"dan", "12.50"});
    return b.Write(dir.Path(strName));
}

const std::string kAnn = "{\"_flag\":\" \",\"NAME\":\"Ann\",\"AMOUNT\":12.5}\n";
const std::string kBob = "{\"_flag\":\"*\",\"NAME\":\"Bob\",\"AMOUNT\":7}\n";
const std::string kApfel = "{\"_flag\":\" \",\"NAME\":\"\xC3\x84pfel\",\"AMOUNT\":-1}\n";
const std::string kDan = "{\"_flag\":\" \",\"NAME\":\"dan\",\"AMOUNT\":12.5}\n";
const std::vector<std::string> kText = {"--oem=CP437", "--ansi=CP1252"};

std::vector<std::string> With(std::vector<std::string> args, const std::vector<std::string>& more) {
    args.insert(args.end(), more.begin(), more.end());
    return args;
}

}  // namespace

TEST(DbftoolDumpList, HidesSortsAndFiltersLikeTheTableWindow) {
    TempDir dir;
    const std::string strTable = People(dir);
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, kAnn + kBob + kApfel + kDan},  // file order by default
        {{"--hide-deleted"}, kAnn + kApfel + kDan},
        {{"--sort=AMOUNT:desc"}, kAnn + kDan + kBob + kApfel},  // equal amounts keep their order
        {{"--sort=name"}, kAnn + kBob + kDan + kApfel},  // a field name in any letter case; bytes order the text
        {{"--filter=AN"}, kAnn + kDan},                  // any field, any case
        {{"--filter=12.5@amount"}, kAnn + kDan},         // the number as dump shows it
        {{"--filter=\xC3\xA4PF"}, kApfel},  // table text decoded by its code page, letter case folded
        {{"--filter=n@nosuch"}, ""},        // no field of that name: the whole text is searched for
        {{"--filter=-", "--hide-deleted", "--sort=NAME:desc"}, kApfel},
    };
    for (const auto& [options, strExpected] : cases)
        EXPECT_EQ(Tool(With(With({"dump", strTable}, options), kText)).strOut, strExpected) << options.size();
    CommandResult r = Tool({"dump", strTable, "--sort=NOPE"});
    EXPECT_EQ(r.nExit, 2);
    EXPECT_EQ(r.strErr, "dbftool: the table has no field named 'NOPE'\n");
    EXPECT_EQ(Tool({"dump", strTable, "--sort=NAME:up"}).nExit, 2);
}

TEST(DbftoolPack, RemovesDeletedRecordsAndKeepsTheOldFile) {
    TempDir dir;
    const std::string strTable = People(dir);
    const Bytes before = ReadFileBytes(strTable);
    CommandResult r = Tool({"pack", strTable});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "{\"records\":3,\"removed\":1}\n");
    EXPECT_EQ(Tool(With({"dump", strTable}, kText)).strOut, kAnn + kApfel + kDan);
    EXPECT_EQ(ReadFileBytes(dir.Path("t.bak")), before);
    EXPECT_EQ(Tool({"pack", dir.Path("missing.dbf")}).nExit, 1);
    EXPECT_EQ(Tool({"pack"}).nExit, 2);
}

TEST(DbftoolExport, WritesTheListedRecordsInEitherDialect) {
    TempDir dir;
    const std::string strTable = People(dir);
    CommandResult r = Tool(With({"export", strTable, dir.Path("copy.dbf"), "--as=dbase3", "--hide-deleted", "--sort=NAME:desc"},
                      kText));
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(r.strOut, "{\"records\":3}\n");
    EXPECT_EQ(Tool(With({"dump", dir.Path("copy.dbf")}, kText)).strOut, kApfel + kDan + kAnn);

    r = Tool({"export", strTable, dir.Path("copy_vfp.dbf"), "--as=vfp", "--filter=bob"});
    EXPECT_EQ(r.strOut, "{\"records\":1}\n");
    EXPECT_EQ(Tool({"info", dir.Path("copy_vfp.dbf")}).strOut.rfind("{\"version\":48,\"records\":1,", 0), 0u);

    EXPECT_EQ(Tool({"export", strTable, dir.Path("x.dbf"), "--as=dbase4"}).nExit, 2);
    EXPECT_EQ(Tool({"export", strTable, dir.Path("x.dbf")}).nExit, 2);
    r = Tool({"export", strTable, dir.Path("no/such/folder/x.dbf"), "--as=vfp"});
    EXPECT_EQ(r.nExit, 1);
    EXPECT_NE(r.strErr.find("cannot create"), std::string::npos) << r.strErr;
}

TEST(DbftoolSet, ChangesOneFieldThroughTheRecordCursor) {
    TempDir dir;
    const std::string strTable = People(dir);
    CommandResult r = Tool(With({"set", strTable, "--record", "3", "--field", "name", "--value", "\xC3\x96l"}, kText));
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    CommandResult dump = Tool(With({"dump", strTable}, kText));
    EXPECT_NE(dump.strOut.find("\"NAME\":\"\xC3\x96l\""), std::string::npos) << dump.strOut;
    EXPECT_EQ(ReadFileBytes(strTable)[97 + 2 * 15 + 1], 0x99) << "stored in the table's DOS code page";
    EXPECT_TRUE(platform::CFile::Exists(dir.Path("t.bak"))) << "saved in place after a backup";

    const Bytes before = ReadFileBytes(strTable);
    r = Tool({"set", strTable, "--record", "1", "--field", "AMOUNT", "--value", "abc"});
    EXPECT_EQ(r.nExit, 1);
    EXPECT_EQ(r.strErr, "dbftool: Field AMOUNT: \"abc\" is not a number\n");
    const struct {
        const char *pszRecord, *pszField, *pszValue;
        int nExit;
    } refused[] = {
        {"1", "AMOUNT", "1234567", 1},  // too wide for N 6.2, even without its decimals
        {"5", "AMOUNT", "1", 1}, {"1", "NOPE", "1", 1}, {"0", "NAME", "1", 2}};
    for (const auto& c : refused)
        EXPECT_EQ(Tool({"set", strTable, "--record", c.pszRecord, "--field", c.pszField, "--value", c.pszValue}).nExit,
                  c.nExit) << c.pszRecord << " " << c.pszField << " " << c.pszValue;
    EXPECT_EQ(ReadFileBytes(strTable), before) << "nothing refused is written";

    r = Tool({"set", strTable, "--record", "1", "--field", "AMOUNT", "--value", "-3.25"});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    const std::string strDump = Tool(With({"dump", strTable}, kText)).strOut;
    EXPECT_EQ(strDump.substr(0, strDump.find('\n') + 1), "{\"_flag\":\" \",\"NAME\":\"Ann\",\"AMOUNT\":-3.25}\n");
}

TEST(DbftoolSet, MemoFieldGetsItsTextInTheMemoFile) {
    TempDir dir;
    const std::string strTable = dir.Path("m.dbf");
    CMemoImage::DBase3(1).Save(dir, "m.DBT");
    TableBuilder b(0x83);
    b.Field("NAME", 'C', 10).Field("NOTE", 'M', 10).Record({"x", MemoRef10(0)});
    b.Write(strTable);
    CommandResult r = Tool({"set", strTable, "--record", "1", "--field", "NOTE", "--value", "a memo"});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(Tool({"dump", strTable}).strOut, "{\"_flag\":\" \",\"NAME\":\"x\",\"NOTE\":\"a memo\"}\n");
}

TEST(DbftoolCreate, MakesAnEmptyTableOfTheFieldsGiven) {
    TempDir dir;
    CommandResult r = Tool({"create", dir.Path("t.dbf"), "--fields", "name:C:20,AMOUNT:N:10:2,BORN:D,OK:L"});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    const std::string strLocalePair =
        "\"index\":null,\"code_pages\":{\"oem\":\"CP437\",\"ansi\":\"CP1252\",\"text\":\"oem\",\"source\":\"locale\"},";
    EXPECT_EQ(Tool({"info", dir.Path("t.dbf")}, "LC_ALL=C.UTF-8").strOut,
              "{\"version\":3,\"records\":0,\"header_length\":161,\"record_length\":40,\"code_page_mark\":0,"
              "\"memo\":null," + strLocalePair + "\"fields\":[{\"name\":\"NAME\",\"type\":\"C\",\"width\":20,\"decimals\":0},"
              "{\"name\":\"AMOUNT\",\"type\":\"N\",\"width\":10,\"decimals\":2},"
              "{\"name\":\"BORN\",\"type\":\"D\",\"width\":8,\"decimals\":0},"
              "{\"name\":\"OK\",\"type\":\"L\",\"width\":1,\"decimals\":0}]}\n");
    EXPECT_EQ(ReadFileBytes(dir.Path("t.dbf")).size(), 162u);

    r = Tool({"create", dir.Path("v.dbf"), "--fields", "ID:I,CASH:Y,WHEN:T,NOTE:M,X:B:8:3", "--vfp"});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_EQ(Tool({"info", dir.Path("v.dbf")}, "LC_ALL=C.UTF-8").strOut,
              "{\"version\":48,\"records\":0,\"header_length\":456,\"record_length\":33,\"code_page_mark\":0,"
              "\"memo\":\"fpt\"," + strLocalePair + "\"fields\":[{\"name\":\"ID\",\"type\":\"I\",\"width\":4,\"decimals\":0},"
              "{\"name\":\"CASH\",\"type\":\"Y\",\"width\":8,\"decimals\":4},"
              "{\"name\":\"WHEN\",\"type\":\"T\",\"width\":8,\"decimals\":0},"
              "{\"name\":\"NOTE\",\"type\":\"M\",\"width\":4,\"decimals\":0},"
              "{\"name\":\"X\",\"type\":\"B\",\"width\":8,\"decimals\":3}]}\n");
    EXPECT_NE(Tool({"memo", dir.Path("v.FPT")}).strOut.find("block_size: 64"), std::string::npos)
        << "an empty FoxPro memo file beside it";

    r = Tool({"create", dir.Path("m.dbf"), "--fields", "NOTE:M"});
    EXPECT_EQ(r.nExit, 0) << r.strErr;
    EXPECT_NE(Tool({"info", dir.Path("m.dbf")}).strOut.find("\"version\":131"), std::string::npos);
    EXPECT_TRUE(platform::CFile::Exists(dir.Path("m.DBT")));
}

TEST(DbftoolCreate, RefusesWhatIsNoTableAndNeverOverwrites) {
    TempDir dir;
    for (const char* pszFields : {"NAME:C", "NAME:C:300", "N:N:5:4", "1X:C:2", "A:C:1,a:C:2", "D:D:9", "I:I", "A:Z:1"}) {
        CommandResult r = Tool({"create", dir.Path("t.dbf"), "--fields", pszFields});
        EXPECT_EQ(r.nExit, 2) << pszFields << ": " << r.strErr;
        EXPECT_FALSE(platform::CFile::Exists(dir.Path("t.dbf"))) << pszFields;
    }
    const std::string strTable = People(dir);
    const Bytes before = ReadFileBytes(strTable);
    CommandResult r = Tool({"create", strTable, "--fields", "A:C:1"});
    EXPECT_EQ(r.nExit, 1);
    EXPECT_EQ(ReadFileBytes(strTable), before);
    WriteFileBytes(dir.Path("n.DBT"), std::string("someone's memo file"));
    EXPECT_EQ(Tool({"create", dir.Path("n.dbf"), "--fields", "M:M"}).nExit, 1);
    EXPECT_FALSE(platform::CFile::Exists(dir.Path("n.dbf")));
    EXPECT_EQ(ReadTextFile(dir.Path("n.DBT")), "someone's memo file");
}
