// Opening a table: errors, the field list, and finding the memo file.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using testing_support::TempDir;

namespace {

TableBuilder MemoTable(uint8_t nVersion) {
    TableBuilder t;
    t.nVersion = nVersion;
    t.Field("NAME", 'C', 5).Field("NOTES", 'M', 10);
    t.Record("Alpha         1");
    return t;
}

}  // namespace

TEST(ReaderOpen, MissingTableReportsItsPathAndFails) {
    TempDir dir;
    ReaderFixture f;
    EXPECT_FALSE(f.reader.Open(dir.Path("none.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32801u);
    EXPECT_EQ(f.sink.errors[0].strText, "Can't open file:\n" + dir.Path("none.dbf"));
    EXPECT_FALSE(f.reader.IsOpen());
}

TEST(ReaderOpen, ShortHeaderFailsWithHeadReadError) {
    TempDir dir;
    testing_support::WriteFileBytes(dir.Path("t.dbf"), std::string(31, '\x03'));
    ReaderFixture f;
    EXPECT_FALSE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32803u);
    EXPECT_EQ(f.sink.errors[0].strText, "DBF head read error !");
}

TEST(ReaderOpen, FieldListComputesDisplacementsAndWidths) {
    TempDir dir;
    TableBuilder t;
    t.Field("WIDE", 'C', 0x2C, 0x01)  // 300 bytes: the decimal byte is the width's high byte
        .Field("AMOUNT", 'N', 10, 2)
        .Field("COUNT", 'I', 4, 0)
        .Field("ELEVENCHARS", 'L', 1);
    testing_support::Bytes bytes = t.Build();
    for (size_t i = 0; i < 4; ++i) platform::PutLE32(&bytes[32 + 32 * i + 12], 0xDEADBEEF);  // never used
    testing_support::WriteFileBytes(dir.Path("t.dbf"), bytes);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_EQ(f.reader.GetFieldCount(), 4);
    EXPECT_EQ(f.reader.GetField(0).GetWidth(), 300);
    EXPECT_EQ(f.reader.GetField(0).GetDecimals(), 0);
    EXPECT_EQ(f.reader.GetField(1).GetWidth(), 10);
    EXPECT_EQ(f.reader.GetField(1).GetDecimals(), 2);
    EXPECT_EQ(f.reader.GetField(0).nDisplacement, 1u);
    EXPECT_EQ(f.reader.GetField(1).nDisplacement, 301u);
    EXPECT_EQ(f.reader.GetField(2).nDisplacement, 311u);
    EXPECT_EQ(f.reader.GetField(3).nDisplacement, 315u);
    EXPECT_EQ(f.reader.GetField(3).GetName(), "ELEVENCHARS");
    EXPECT_TRUE(f.sink.errors.empty());
}

TEST(ReaderOpen, DescriptorsStopAtTerminatorWhateverTheHeaderLengthSays) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 2).Field("B", 'C', 3);
    t.Record("xxyyy");
    testing_support::Bytes bytes = t.Build();
    platform::PutLE16(&bytes[8], 32 * 10 + 33);  // claims ten descriptors
    bytes.resize(32 * 10 + 33 + 6, 0);
    testing_support::WriteFileBytes(dir.Path("t.dbf"), bytes);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetFieldCount(), 2);
}

TEST(ReaderOpen, FileWithoutTerminatorReadsNoMoreDescriptorsThanAHeaderCanHold) {
    TempDir dir;
    testing_support::Bytes bytes(32 + 32 * 5000, 'A');  // no 0x0D anywhere
    platform::PutLE16(&bytes[10], 100);
    testing_support::WriteFileBytes(dir.Path("t.dbf"), bytes);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetFieldCount(), 2046);
    std::string str;
    bool b;
    for (int i = 0; i < f.reader.GetFieldCount(); i += 97) EXPECT_TRUE(f.reader.GetFieldText(i, 1, str, b));
}

TEST(ReaderMemoFile, MissingMemoNamesTheDbtPathEvenForFoxPro) {
    TempDir dir;
    MemoTable(0xF5).Write(dir.Path("fox.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("fox.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32802u);
    EXPECT_EQ(f.sink.errors[0].strText, "Can't find file:\n" + dir.Path("fox.DBT"));
    EXPECT_EQ(f.reader.GetMemoKind(), CDBFFileReader::MemoKind::none);
}

TEST(ReaderMemoFile, DbcTableLooksOnlyForItsDct) {
    TempDir dir;
    MemoTable(0x30).Write(dir.Path("db.DbC"));
    WriteFptFile(dir.Path("db.FPT"), 64, {"x"});
    WriteDbt3File(dir.Path("db.DBT"), {"x"});
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("db.DbC")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].strText, "Can't find file:\n" + dir.Path("db.DCT"));

    WriteFptFile(dir.Path("db.dct"), 64, {"x"});  // any letter case counts
    ReaderFixture g;
    ASSERT_TRUE(g.reader.Open(dir.Path("db.DbC")));
    EXPECT_TRUE(g.sink.errors.empty());
    EXPECT_EQ(g.reader.GetMemoKind(), CDBFFileReader::MemoKind::foxPro);
    EXPECT_EQ(g.reader.GetMemoPath(), dir.Path("db.dct"));
}

TEST(ReaderMemoFile, FptWinsOverDbtWhateverTheVersionByte) {
    TempDir dir;
    MemoTable(0x83).Write(dir.Path("t.dbf"));
    WriteFptFile(dir.Path("t.FPT"), 64, {"fox"});
    WriteDbt3File(dir.Path("t.DBT"), {"dbase"});
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetMemoKind(), CDBFFileReader::MemoKind::foxPro);
    EXPECT_EQ(f.reader.GetMemoBlockSize(), 64);
}

TEST(ReaderMemoFile, LowerCaseMemoNameIsFound) {
    TempDir dir;
    MemoTable(0x83).Write(dir.Path("t.dbf"));
    WriteDbt3File(dir.Path("t.dbt"), {"x"});
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_TRUE(f.sink.errors.empty());
    EXPECT_EQ(f.reader.GetMemoKind(), CDBFFileReader::MemoKind::dBase);
}

TEST(ReaderMemoFile, DBase4BlockSizeComesFromTheHeaderAndZeroMeans512) {
    TempDir dir;
    MemoTable(0x8B).Write(dir.Path("t.dbf"));
    WriteDbt4File(dir.Path("t.DBT"), 1024, 1024, {"x"});
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetMemoBlockSize(), 1024);

    WriteDbt4File(dir.Path("t.DBT"), 0, 512, {"x"});
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetMemoBlockSize(), 512);

    // dBASE III tables never look at the header's block size.
    MemoTable(0x83).Write(dir.Path("t.dbf"));
    WriteDbt4File(dir.Path("t.DBT"), 1024, 1024, {"x"});
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetMemoBlockSize(), 512);
    EXPECT_TRUE(f.sink.errors.empty());
}

TEST(ReaderMemoFile, ShortOrZeroFptHeaderLeavesTheMemoUnavailable) {
    TempDir dir;
    MemoTable(0xF5).Write(dir.Path("t.dbf"));
    testing_support::WriteFileBytes(dir.Path("t.FPT"), std::string(7, '\0'));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32804u);
    EXPECT_EQ(f.sink.errors[0].strText, "Memo head read error !");
    EXPECT_EQ(f.reader.GetMemoKind(), CDBFFileReader::MemoKind::none);

    testing_support::WriteFileBytes(dir.Path("t.FPT"), std::string(512, '\0'));  // block size 0
    f.sink.errors.clear();
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32804u);
}

TEST(ReaderMemoFile, ShortDBase4HeaderLeavesTheMemoUnavailable) {
    TempDir dir;
    MemoTable(0x8B).Write(dir.Path("t.dbf"));
    testing_support::WriteFileBytes(dir.Path("t.DBT"), std::string(21, '\0'));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32804u);
    EXPECT_EQ(f.Text(1, 1), "Memo");
}

TEST(ReaderOpen, FileErrorWhileReadingTheHeaderShowsThePlatformText) {
    TempDir dir;
    MemoTable(0x03).Write(dir.Path("t.dbf"));
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO);
    ReaderFixture f;
    EXPECT_FALSE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, kReaderFileErrorId);
    EXPECT_NE(f.sink.errors[0].strText.find(dir.Path("t.dbf")), std::string::npos);
    EXPECT_FALSE(f.reader.IsOpen());
    EXPECT_EQ(f.reader.GetFieldCount(), 0);
}
