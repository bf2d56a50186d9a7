// Opening tables: the checks of the header and descriptors with their error
// codes, the field layout, the memo file a version calls for and where it is
// found, reopening in another mode, and closing.
#include "engine/table_def.h"

#include <gtest/gtest.h>

#include "engine/memory_cursorset.h"
#include "tests/support/engine_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

using dbf::CDBFException;
using dbf::CDBFMemoryCursorset;
using dbf::CDBFTableDef;
using namespace testing_support;

namespace {

// The engine error a table's open raises, or its field count (as minus the
// count) when it opens; a table that stays closed without an error gives 1.
int OpenCode(const std::string& strPath) {
    CDBFTableDef table;
    const int nCode = ErrorCodeOf([&] { table.Open(strPath, kReadOnly); });
    EXPECT_TRUE(nCode == 0 || !table.IsOpen());
    return nCode ? nCode : table.IsOpen() ? -table.GetFieldCount() : 1;
}

dbf::DBFHeader HeaderOf(uint8_t nVersion) {
    dbf::DBFHeader header{};
    header.version = nVersion;
    return header;
}

TableBuilder People() {
    TableBuilder b(0x03);
    b.Field("NAME", 'C', 10).Field("AGE", 'N', 3).Field("BORN", 'D', 8);
    b.Record({"Ann", "34", "19900101"}).Record({"Bob", "7", "20170505"});
    return b;
}

}  // namespace

TEST(TableOpen, LaysDBaseFieldsOutFromByteOneWhateverTheyStore) {
    TempDir dir;
    TableBuilder b = People();
    b.SetDisplacement(0, 0xDEADBEEF).SetDisplacement(1, 0).SetDisplacement(2, 500);
    CDBFTableDef table;
    table.Open(b.Write(dir.Path("t.dbf")), kReadOnly);
    ASSERT_TRUE(table.IsOpen());
    EXPECT_EQ(table.GetFieldCount(), 3);
    EXPECT_EQ(table.GetRecordCount(), 2u);
    EXPECT_EQ(table.GetFieldDesc(0).GetDisplacement(), 1u);
    EXPECT_EQ(table.GetFieldDesc(1).GetDisplacement(), 11u);
    EXPECT_EQ(table.GetFieldDesc(2).GetDisplacement(), 14u);
    EXPECT_EQ(table.GetOpenFlags(), 0x8040u) << "the binary flag is always added";
    EXPECT_EQ(table.GetMemoFile(), nullptr);
}

TEST(TableOpen, OpensOrRefusesEachHeaderWithItsCode) {
    TableBuilder vfp(0x30);
    vfp.Field("A", 'C', 4).Field("B", 'C', 4).Record({"abcd", "efgh"});
    TableBuilder sum(0x03);  // dBASE: the widths add up past the record
    sum.Field("NAME", 'C', 10).Field("AGE", 'N', 3).Field("BORN", 'D', 8).SetRecordLength(21);
    sum.RawRecord(std::string(21, ' ')).RawRecord(std::string(21, ' '));
    // 0x01000000 records of 256 bytes are 2^32 bytes: in 32-bit arithmetic
    // a file of the header alone would look exactly long enough.
    TableBuilder wrap(0x03);
    wrap.Field("DATA", 'C', 255).SetRecordCount(0x01000000);
    TableBuilder none(0x03);
    none.SetRecordLength(2).RawRecord(" x");
    TableBuilder vfpShort(0x30);
    vfpShort.Field("A", 'C', 4).SetHeaderLength(327).EndOfFile(false);
    const struct {
        const char* pszWhat;
        TableBuilder table;
        int nCode;
    } cases[] = {
        {"end-of-file byte", People(), -3},
        {"no end-of-file byte", People().EndOfFile(false), -3},
        {"padded header: the list ends at the terminator", People().HeaderPadding(96), -3},
        {"two end-of-file bytes", People().Trailing("\x1A"), 3006},
        {"a record short", People().EndOfFile(false).SetRecordCount(3), 3006},
        {"record length 1", People().SetRecordLength(1), 3006},
        {"negative count", People().SetRecordCount(-1), 3006},
        {"count x length wraps", wrap, 3006},
        {"widths past the record", sum, 3006},
        {"high width byte", People().SetWidthBytes(0, 10, 1), 3006},
        {"VFP displacement past the record", TableBuilder(vfp).SetDisplacement(1, 6), 3006},
        {"VFP displacement far away", TableBuilder(vfp).SetDisplacement(1, 0xFFFFFFFE), 3006},
        {"VFP overlap wider than the record", TableBuilder(vfp).SetDisplacement(1, 1).SetWidthBytes(1, 8, 0), 3006},
        {"VFP", vfp, -2},
        // Visual FoxPro sizes the list by the header length: the terminator
        // and the backlink of a padded header are no fields.
        {"VFP padded header", TableBuilder(vfp).HeaderPadding(64), -2},
        {"no fields", none, 3007},
        {"VFP header below 328 bytes", vfpShort, 3007},
    };
    TempDir dir;
    for (const auto& c : cases) EXPECT_EQ(OpenCode(c.table.Write(dir.Path("t.dbf"))), c.nCode) << c.pszWhat;
    WriteFileBytes(dir.Path("tiny.dbf"), std::string(31, '\x03'));
    EXPECT_EQ(OpenCode(dir.Path("tiny.dbf")), 3004);
    EXPECT_EQ(OpenCode(dir.Path("missing.dbf")), 3002);
}

TEST(TableOpen, VisualFoxProKeepsStoredDisplacementsUnlessTheyStartAtZero) {
    TempDir dir;
    TableBuilder vfp(0x30);
    vfp.Field("A", 'C', 4).Field("B", 'C', 4).SetRecordLength(12).EndOfFile(false);
    vfp.SetDisplacement(0, 7).SetDisplacement(1, 2).RawRecord(" xBBBBxAAAAx");
    CDBFTableDef stored;
    stored.Open(vfp.Write(dir.Path("stored.dbf")), kReadOnly);
    EXPECT_EQ(stored.GetFieldDesc(0).GetDisplacement(), 7u);
    EXPECT_EQ(stored.GetFieldDesc(1).GetDisplacement(), 2u);

    // Displacements counted from 0 (some writers do) would put the first
    // field on the deletion flag: the fields are laid out from byte 1.
    TableBuilder zero(0x30);
    zero.Field("A", 'C', 4).Field("B", 'C', 4).SetDisplacement(0, 0).SetDisplacement(1, 4).Record({"abcd", "efgh"});
    CDBFTableDef fixed;
    fixed.Open(zero.Write(dir.Path("zero.dbf")), kReadOnly);
    EXPECT_EQ(fixed.GetFieldDesc(0).GetDisplacement(), 1u);
    EXPECT_EQ(fixed.GetFieldDesc(1).GetDisplacement(), 5u);
}

TEST(TableOpen, FieldInfoFollowsTheTypesWidthRule) {
    // Byte 17 is the decimals of B F N Y and the width's high byte of the
    // rest; widths above 32767 must not turn negative.
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("TEXT", 'C', 300).Field("PRICE", 'N', 10, 2).Field("BIG", 'C', 40000);
    CDBFTableDef table;
    table.Open(b.Write(dir.Path("t.dbf")), kReadOnly);
    ASSERT_TRUE(table.IsOpen());
    auto info = [&](int i) {
        dbf::DBFFieldInfo f = table.GetFieldInfo(i);
        return f.strName + " " + f.cType + " " + std::to_string(f.nWidth) + "," + std::to_string(f.nDecimals);
    };
    EXPECT_EQ(info(0), "TEXT C 300,0");
    EXPECT_EQ(info(1), "PRICE N 10,2");
    EXPECT_EQ(info(2), "BIG C 40000,0");
    EXPECT_EQ(table.GetFieldDesc(2).GetDisplacement(), 1u + 300 + 10);
    EXPECT_THROW(table.GetFieldInfo(3), CDBFException);
    EXPECT_THROW(table.GetFieldDesc(-1), CDBFException);
}

TEST(TableOpen, FailedOpenKeepsNothingOpen) {
    TempDir dir;
    std::string strPath = People().SetRecordCount(5).Write(dir.Path("t.dbf"));
    CDBFTableDef table;
    EXPECT_THROW(table.Open(strPath, kExclusive), CDBFException);
    platform::CFile other;
    EXPECT_TRUE(other.Open(strPath, kExclusive | 0x8000)) << "the refused table's exclusive hold is gone with it";

    // A file error while reading leaves the table closed without an error;
    // the same object opens the table once the file reads again.
    strPath = People().Write(dir.Path("good.dbf"));
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::read, 2, EIO);
    EXPECT_NO_THROW(table.Open(strPath, kReadOnly));
    EXPECT_FALSE(table.IsOpen());
    platform::FileFaults::Reset();
    table.Open(strPath, kReadOnly);
    EXPECT_TRUE(table.IsOpen());
}

TEST(TableOpen, AutomaticCodePageFollowsVersionAndMark) {
    const struct {
        uint8_t nVersion, nMark;
        bool bOem;
    } cases[] = {
        {0x30, 199, true},   {0x30, 200, false},  {0x30, 0xC9, false},
        {0x30, 0x00, true},  // no mark: DOS
        {0x30, 0x65, true},  // 866 is a DOS page
        {0x30, 0x03, false}, {0x30, 0x57, false}, {0x30, 0x7B, false}, {0x30, 0x7E, false},  // Windows marks
        {0x31, 0x03, false},  // every Visual FoxPro version reads its mark
        {0x3F, 0, false},    {0x43, 0, false},    {0x8B, 0, false},    {0x8C, 0, false},
        // A mark that names a page says which side of its pair the text is
        // in, whatever the version; one that names nothing (or a page we
        // cannot decode) leaves the version's guess.
        {0x03, 0xC9, false}, {0x83, 0xC9, false}, {0xF5, 0xC9, false}, {0x7B, 0xC9, false},
        {0x03, 0x03, false}, {0x8B, 0x65, true},  {0x03, 0x26, true},  {0x03, 0xF0, true},
        {0x03, 0x69, true},  {0x30, 0x68, true},
    };
    for (const auto& c : cases) {
        dbf::DBFHeader header{};
        header.version = c.nVersion;
        header.codePageMark = c.nMark;
        EXPECT_EQ(dbf::IsOemTextByDefault(header), c.bOem) << int(c.nVersion) << " " << int(c.nMark);
    }
}

TEST(TableOpen, SalvageReadsTheRecordsAFileReallyHolds) {
    TempDir dir;
    TableBuilder b;
    b.Field("A", 'C', 3);
    for (const char* psz : {"one", "two", "six"}) b.Record({psz});
    const struct {
        const char* pszName;
        int32_t nHeaderCount;
        std::string strTrailing;
        bool bEndOfFile;
        int64_t nByLength, nRead;
        uint64_t nExtra;
    } cases[] = {
        {"count too high", 5, "", true, 3, 3, 0},
        {"count too low", 2, "", true, 3, 3, 0},       // records another program appended and never counted
        {"bytes after the end", 3, "junk!", true, 4, 3, 5},
        {"cut inside a record", 3, "", false, 2, 2, 3},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        TableBuilder t = b;
        t.SetRecordCount(c.nHeaderCount).Trailing(c.strTrailing).EndOfFile(c.bEndOfFile);
        Bytes bytes = t.Build();
        if (std::string(c.pszName) == "cut inside a record") bytes.resize(bytes.size() - 1);
        const std::string strPath = dir.Path("damaged.dbf");
        WriteFileBytes(strPath, bytes);
        CDBFTableDef table;
        EXPECT_EQ(ErrorCodeOf([&] { table.Open(strPath, kReadOnly); }), 3006) << "still refused for editing";
        table.OpenForSalvage(strPath);
        ASSERT_TRUE(table.IsOpen());
        EXPECT_TRUE(table.IsSalvaged());
        const dbf::TableLengthDamage& damage = table.GetLengthDamage();
        EXPECT_EQ(damage.nHeaderRecords, c.nHeaderCount);
        EXPECT_EQ(damage.nRecordsByLength, c.nByLength);
        EXPECT_EQ(damage.nRecordsRead, c.nRead);
        EXPECT_EQ(damage.nExtraBytes, c.nExtra);
        EXPECT_EQ(table.GetRecordCount(), uint32_t(c.nRead));
        uint8_t record[4];
        EXPECT_EQ(ErrorCodeOf([&] { table.WriteRecord(0, record); }), 3022) << "nothing is ever written";
        EXPECT_EQ(ReadFileBytes(strPath), bytes);
        CDBFMemoryCursorset set;
        set.OpenForSalvage(strPath);
        ASSERT_EQ(set.GetRecordCount(), int32_t(c.nRead));
        set.SetAbsolutePosition(int32_t(c.nRead) - 1);
        EXPECT_EQ(set.GetFieldValue("A").GetText(), c.nRead == 2 ? "two" : "six");
        EXPECT_EQ(ErrorCodeOf([&] { set.Save(); }), 3022);
    }
    // A sound table opens for salvage as it would for reading.
    CDBFTableDef sound;
    sound.OpenForSalvage(b.Write(dir.Path("sound.dbf")));
    EXPECT_FALSE(sound.IsSalvaged());
    EXPECT_EQ(sound.GetRecordCount(), 3u);
    // Other damage is no salvage's to mend: here records of one byte.
    CDBFTableDef bad;
    EXPECT_EQ(ErrorCodeOf([&] { bad.OpenForSalvage(TableBuilder().Write(dir.Path("nofields.dbf"))); }), 3006);
    EXPECT_FALSE(bad.IsOpen());
}

TEST(TableIndex, StructuralIndexIsFoundByVersionFlagAndLetterCase) {
    TempDir dir;
    auto indexOf = [&](uint8_t nVersion, uint8_t nFlags, const std::string& strTable) {
        dbf::DBFHeader header = HeaderOf(nVersion);
        header.tableFlags = nFlags;
        return CDBFTableDef::FindStructuralIndex(dir.Path(strTable), header);
    };
    EXPECT_FALSE(indexOf(0x30, 0x02, "a.dbf").bFlagged);
    dbf::StructuralIndex index = indexOf(0x30, 0x03, "a.dbf");
    EXPECT_TRUE(index.bFlagged);
    EXPECT_FALSE(index.bPresent);
    EXPECT_EQ(index.GetFileName(), "a.CDX");
    WriteFileBytes(dir.Path("a.cdx"), std::string("index"));
    index = indexOf(0x30, 0x01, "a.dbf");
    EXPECT_TRUE(index.bPresent);
    EXPECT_EQ(index.strPath, dir.Path("a.cdx")) << "found by letter case, as memo files are";
    EXPECT_EQ(indexOf(0x8B, 0x01, "b.dbf").GetFileName(), "b.MDX");
    WriteFileBytes(dir.Path("c.MDX"), std::string("index"));
    EXPECT_TRUE(indexOf(0x03, 0x01, "c.dbf").bPresent) << "dBASE III version bytes take either kind";
    EXPECT_EQ(indexOf(0x03, 0x01, "d.dbf").GetFileName(), "d.MDX");

    REQUIRE_CORPUS();
    for (const char* pszTable : {"calls", "contacts", "setup", "types"}) {
        CDBFTableDef table;
        table.Open(CorpusFile(std::string("foxprodb/") + pszTable + ".dbf"), kReadOnly);
        EXPECT_TRUE(table.GetStructuralIndex().bPresent) << pszTable;
        EXPECT_EQ(table.GetStructuralIndex().GetFileName(), std::string(pszTable) + ".CDX");
    }
    for (const char* pszTable : {"cp1251", "dbase_30", "dbase_31"}) {
        CDBFTableDef table;
        table.Open(CorpusFile(std::string(pszTable) + ".dbf"), kReadOnly);
        EXPECT_TRUE(table.GetStructuralIndex().bFlagged) << pszTable;
        EXPECT_FALSE(table.GetStructuralIndex().bPresent) << pszTable;
    }
}

TEST(TableMemo, VersionByteChoosesTheMemoLayout) {
    const struct {
        uint8_t nVersion, nTableFlags;
        CMemoImage memo;
        const char* pszFile;
        int nType;  // 0: no memo file opened
    } cases[] = {
        {0x83, 0, CMemoImage::DBase3(1), "t.DBT", 1},     {0x8B, 0, CMemoImage::DBase4(1), "t.DBT", 3},
        {0x7B, 0, CMemoImage::DBase4(1), "t.DBT", 3},     {0xCB, 0, CMemoImage::DBase4(1), "t.DBT", 3},
        {0xF5, 0, CMemoImage::Fpt(8), "t.FPT", 4},        {0x30, 2, CMemoImage::Fpt(8), "t.FPT", 4},
        {0xE5, 0, CMemoImage::Smt(16, 32), "t.SMT", 16},
        // Visual FoxPro without the memo flag, as other programs write it:
        // memo fields and the file there are enough.
        {0x30, 0, CMemoImage::Fpt(8), "t.FPT", 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(int(c.nVersion));
        TempDir dir;
        TableBuilder b(c.nVersion);
        b.TableFlags(c.nTableFlags).Field("NOTE", 'M', c.nVersion == 0xE5 ? 10 : 4).Record({});
        b.Write(dir.Path("t.dbf"));
        c.memo.Save(dir, c.pszFile);
        CDBFTableDef table;
        table.Open(dir.Path("t.dbf"), kReadOnly);
        ASSERT_TRUE(table.IsOpen());
        if (c.nType == 0) {
            EXPECT_EQ(table.GetMemoFile(), nullptr);
            continue;
        }
        ASSERT_NE(table.GetMemoFile(), nullptr);
        EXPECT_EQ(table.GetMemoFile()->GetMemoType(), c.nType);
        EXPECT_TRUE(table.GetMemoFile()->IsOpen());
        EXPECT_EQ(table.GetMemoPath(), dir.Path(c.pszFile));
    }
    // Without the flag and without the file, the table has no memo file
    // (the flag set and the file missing is the usual 3010).
    TempDir dir;
    TableBuilder b(0x30);
    b.Field("NOTE", 'M', 4).Record({}).Write(dir.Path("t.dbf"));
    CDBFTableDef table;
    table.Open(dir.Path("t.dbf"), kReadOnly);
    ASSERT_TRUE(table.IsOpen());
    EXPECT_EQ(table.GetMemoFile(), nullptr);
    table.Close();
    b.TableFlags(2).Write(dir.Path("t.dbf"));
    EXPECT_EQ(ErrorCodeOf([&] { table.Open(dir.Path("t.dbf"), kReadOnly); }), 3010);
}

TEST(TableMemo, MemoNameDiffersOnlyInLetterCase) {
    TempDir dir;
    TableBuilder b(0xF5);
    b.Field("NOTE", 'M', 10).Write(dir.Path("t.dbf"));
    CMemoImage::Fpt(8).Save(dir, "T.fpt");
    EXPECT_EQ(CDBFTableDef::MemoPathFor(dir.Path("t.dbf"), HeaderOf(0xF5)), dir.Path("T.fpt"));

    // Several candidates: the exact upper-case name, then the table's base
    // name with a lower-case extension, then the first in byte order.
    CMemoImage::Fpt(8).Save(dir, "t.Fpt");
    EXPECT_EQ(CDBFTableDef::MemoPathFor(dir.Path("t.dbf"), HeaderOf(0xF5)), dir.Path("T.fpt"));
    CMemoImage::Fpt(8).Save(dir, "t.fpt");
    EXPECT_EQ(CDBFTableDef::MemoPathFor(dir.Path("t.dbf"), HeaderOf(0xF5)), dir.Path("t.fpt"));
    CMemoImage::Fpt(8).Save(dir, "t.FPT");
    EXPECT_EQ(CDBFTableDef::MemoPathFor(dir.Path("t.dbf"), HeaderOf(0xF5)), dir.Path("t.FPT"));

    CDBFTableDef table;
    table.Open(dir.Path("t.dbf"), kReadOnly);
    EXPECT_EQ(table.GetMemoPath(), dir.Path("t.FPT"));
}

TEST(TableMemo, PathWithoutExtensionGetsTheMemoExtensionAppended) {
    EXPECT_EQ(CDBFTableDef::MemoPathFor("/nonexistent/dir.v2/table", HeaderOf(0x83)),
              "/nonexistent/dir.v2/table.DBT");
    EXPECT_EQ(CDBFTableDef::MemoPathFor("/nonexistent/a.b.dbf", HeaderOf(0x83)), "/nonexistent/a.b.DBT");
    EXPECT_EQ(CDBFTableDef::MemoPathFor("/nonexistent/a.dbf", HeaderOf(0x03)), "");

    TempDir dir;
    TableBuilder(0x83).Field("NOTE", 'M', 10).Write(dir.Path("plain"));
    CMemoImage::DBase3(1).Save(dir, "plain.DBT");
    CDBFTableDef table;
    table.Open(dir.Path("plain"), kReadOnly);
    EXPECT_TRUE(table.IsOpen());
}

TEST(TableMode, ReopensTableAndMemoForWriting) {
    TempDir dir;
    TableBuilder(0x83).Field("NOTE", 'M', 10).Record({}).Write(dir.Path("t.dbf"));
    CMemoImage::DBase3(1).Save(dir, "t.DBT");
    CDBFTableDef table;
    table.Open(dir.Path("t.dbf"), kReadOnly);
    EXPECT_THROW(table.WriteHeader(), CDBFException) << "read only";

    ASSERT_TRUE(table.ChangeOpenMode(kExclusive));
    EXPECT_EQ(table.GetOpenFlags(), 0x8012u);
    EXPECT_NO_THROW(table.WriteHeader());
    uint32_t nBlock = 0, nLength = 0;
    table.WriteMemo(nBlock, nLength, "memo text");
    EXPECT_NE(nBlock, 0u) << "the memo file is writable too";
    platform::CFile other;
    EXPECT_FALSE(other.Open(dir.Path("t.DBT"), kReadOnly | 0x8000)) << "and exclusive";
}

TEST(TableMode, RefusedModeKeepsTheOldOne) {
    TempDir dir;
    TableBuilder(0x83).Field("NOTE", 'M', 10).Record({}).Write(dir.Path("t.dbf"));
    CMemoImage::DBase3(1).Save(dir, "t.DBT");
    CDBFTableDef table;
    table.Open(dir.Path("t.dbf"), kReadWrite);
    platform::CFile other;
    ASSERT_TRUE(other.Open(dir.Path("t.dbf"), kReadWrite | 0x8000));

    // The memo file reopens exclusively, the table file cannot: both go
    // back to shared read-write.
    platform::CFile memoHolder;
    EXPECT_FALSE(table.ChangeOpenMode(kExclusive));
    EXPECT_EQ(table.GetOpenFlags(), 0x8042u);
    EXPECT_TRUE(table.IsOpen());
    EXPECT_TRUE(memoHolder.Open(dir.Path("t.DBT"), kReadWrite | 0x8000)) << "memo file back in shared mode";
    std::vector<uint8_t> record(table.GetRecordLength());
    EXPECT_NO_THROW(table.ReadRecord(0, record.data()));
    EXPECT_NO_THROW(table.WriteRecord(0, record.data()));
}
