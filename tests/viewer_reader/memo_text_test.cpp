// Reading memo text from the FoxPro and the two dBASE layouts, and every
// damaged memo the reader must survive without reading past the file.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using testing_support::TempDir;

namespace {

// A table with a C field and a memo field per record, referencing blocks.
std::string WriteMemoTable(const TempDir& dir, uint8_t nVersion, const std::vector<uint32_t>& blocks,
                           bool bBinaryRefs = false) {
    TableBuilder t;
    t.nVersion = nVersion;
    t.Field("NAME", 'C', 2).Field("NOTES", 'M', bBinaryRefs ? 4 : 10);
    for (uint32_t n : blocks) {
        char sz[16];
        std::snprintf(sz, sizeof sz, "%10u", n);
        t.Record("ab" + (bBinaryRefs ? LE32(n) : std::string(sz)));
    }
    return t.Write(dir.Path("t.dbf"));
}

std::string LongText(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += char('a' + i % 26);
    return s;
}

}  // namespace

TEST(ReaderMemoText, FoxProMemosComeBackWhole) {
    TempDir dir;
    std::string strBig = LongText(70000);  // longer than 16 bits can count
    auto blocks = WriteFptFile(dir.Path("t.FPT"), 64, {"first memo", strBig, "third"});
    WriteMemoTable(dir, 0x30, blocks, true);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    std::string str;
    bool b;
    EXPECT_TRUE(f.reader.GetFieldText(1, 1, str, b));
    EXPECT_EQ(str, "first memo");
    EXPECT_TRUE(f.reader.GetFieldText(1, 2, str, b));
    EXPECT_EQ(str, strBig);
    EXPECT_TRUE(f.reader.GetFieldText(1, 3, str, b));
    EXPECT_EQ(str, "third");
    EXPECT_TRUE(f.sink.errors.empty());
}

TEST(ReaderMemoText, DBase3MemoLongerThanABlockKeepsEveryByte) {
    TempDir dir;
    std::string strLong = LongText(20000) + "\r\nend";  // ends well past the first piece read
    auto blocks = WriteDbt3File(dir.Path("t.DBT"), {"short", strLong});
    WriteMemoTable(dir, 0x83, blocks);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(1, 1), "short");
    EXPECT_EQ(f.Text(1, 2), strLong);
    EXPECT_EQ(f.Text(1, 1), "short");
}

TEST(ReaderMemoText, DBase4MemosUseTheirStoredLength) {
    TempDir dir;
    std::string strText = LongText(600) + std::string("\x1A inside", 8);
    auto blocks = WriteDbt4File(dir.Path("t.DBT"), 0, 512, {strText, "x"});
    WriteMemoTable(dir, 0x8B, blocks);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(1, 1), strText);
    EXPECT_EQ(f.Text(1, 2), "x");
}

TEST(ReaderMemoText, FoxProLengthPastTheEndShowsOneErrorAndThePlaceholder) {
    TempDir dir;
    auto blocks = WriteFptFile(dir.Path("t.FPT"), 64, {"first", "second"});
    testing_support::Bytes fpt = testing_support::ReadFileBytes(dir.Path("t.FPT"));
    platform::PutBE32(&fpt[blocks[0] * 64 + 4], 0xFFFFFFF0u);
    platform::PutBE32(&fpt[blocks[1] * 64 + 4], 0x7FFFFFFFu);
    testing_support::WriteFileBytes(dir.Path("t.FPT"), fpt);
    WriteMemoTable(dir, 0x30, blocks, true);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    for (int nPass = 0; nPass < 3; ++nPass) {
        EXPECT_EQ(f.Text(1, 1), "Memo");
        EXPECT_EQ(f.Text(1, 2), "Memo");
    }
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, 32805u);
    EXPECT_EQ(f.sink.errors[0].strText, "Memo read error !");
}

TEST(ReaderMemoText, BlockPastTheEndOfTheMemoFileShowsThePlaceholder) {
    TempDir dir;
    WriteFptFile(dir.Path("t.FPT"), 64, {"x"});
    WriteDbt3File(dir.Path("u.DBT"), {"x"});
    WriteMemoTable(dir, 0x30, {1000000, 0xFFFFFFFFu}, true);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(1, 1), "Memo");
    EXPECT_EQ(f.Text(1, 2), "Memo");

    TableBuilder t;
    t.nVersion = 0x83;
    t.Field("NOTES", 'M', 10).Record("4294967295").Record("        50");
    t.Write(dir.Path("u.dbf"));
    ReaderFixture g;
    ASSERT_TRUE(g.reader.Open(dir.Path("u.dbf")));
    EXPECT_EQ(g.Text(0, 1), "Memo");
    EXPECT_EQ(g.Text(0, 2), "Memo");
    EXPECT_EQ(g.sink.errors.size(), 1u);
}

TEST(ReaderMemoText, DBase3MemoWithoutEndByteStopsAtTheEndOfTheFile) {
    TempDir dir;
    std::string file(512, '\0');
    file += LongText(3 * 1024 * 1024);  // 3 MB and no 0x1A
    testing_support::WriteFileBytes(dir.Path("t.DBT"), file);
    WriteMemoTable(dir, 0x83, {1, 6000});
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(1, 1), LongText(3 * 1024 * 1024));
    EXPECT_EQ(f.Text(1, 2).size(), 3u * 1024 * 1024 - (6000 - 1) * 512);
    EXPECT_TRUE(f.sink.errors.empty());
}

TEST(ReaderMemoText, DBase4LengthPastTheEndOrTooShort) {
    TempDir dir;
    auto blocks = WriteDbt4File(dir.Path("t.DBT"), 512, 512, {"first", "second", "third"});
    testing_support::Bytes dbt = testing_support::ReadFileBytes(dir.Path("t.DBT"));
    platform::PutLE32(&dbt[blocks[0] * 512 + 4], 0xFFFFFFFFu);
    platform::PutLE32(&dbt[blocks[1] * 512 + 4], 8);  // counts only its own header
    testing_support::WriteFileBytes(dir.Path("t.DBT"), dbt);
    WriteMemoTable(dir, 0x8B, blocks);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(1, 1), "Memo");
    EXPECT_EQ(f.Text(1, 2), "Memo");
    EXPECT_EQ(f.Text(1, 3), "third");
    EXPECT_EQ(f.sink.errors.size(), 1u);
}

TEST(ReaderMemoText, DBase4BlockNearTheEndIsReadAsDBase3Text) {
    TempDir dir;
    std::string file(512, '\0');
    file += std::string("\xFF\xFF\x08", 3) + "ab";  // fewer than 8 bytes left: plain text
    testing_support::WriteFileBytes(dir.Path("t.DBT"), file);
    WriteMemoTable(dir, 0x8B, {1});
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(1, 1), "\xFF\xFF\x08" "ab");
}

TEST(ReaderMemoText, FileErrorWhileReadingAMemoIsShownOnce) {
    TempDir dir;
    auto blocks = WriteFptFile(dir.Path("t.FPT"), 64, {"one", "two"});
    WriteMemoTable(dir, 0x30, blocks, true);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    ASSERT_NE(f.reader.ReadRecord(1), nullptr);
    ASSERT_NE(f.reader.ReadRecord(2), nullptr);  // record 2 stays cached
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO, true);
    EXPECT_EQ(f.Text(1, 2), "Memo");
    EXPECT_EQ(f.Text(1, 2), "Memo");
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, kReaderFileErrorId);
    platform::FileFaults::Reset();
    EXPECT_EQ(f.Text(1, 2), "two");
}
