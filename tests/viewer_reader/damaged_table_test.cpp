// Tables whose numbers do not agree with each other or with the file: every
// such case shows empty text, at most one message, and never reads outside a
// buffer (the sanitizer build checks the last part).
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using testing_support::TempDir;

TEST(ReaderDamaged, FieldRunningPastTheRecordShowsEmptyText) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3).Field("B", 'C', 200).Field("C", 'I', 4).Field("D", 'M', 10).Field("E", '0', 8);
    t.nRecordLengthOverride = 6;  // room for A and two bytes of B
    t.Record("abcde").Record("fghij");
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(0, 1), "abc");
    EXPECT_EQ(f.Text(0, 2), "fgh");
    for (int i = 1; i < 5; ++i) {
        std::string str;
        bool b;
        EXPECT_TRUE(f.reader.GetFieldText(i, 1, str, b));
        EXPECT_EQ(str, "") << i;
    }
}

TEST(ReaderDamaged, RecordLengthZeroShowsEmptyText) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3);
    t.nRecordLengthOverride = 0;
    t.Record("abc").Record("def");
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetRecordLength(), 0);
    EXPECT_EQ(f.Text(0, 1), "");
    EXPECT_EQ(f.Text(0, 2), "");
    EXPECT_EQ(f.reader.ReadRecord(1)[0], 0);
    EXPECT_TRUE(f.sink.errors.empty());
}

TEST(ReaderDamaged, RecordsPastTheEndOfTheFileShowEmptyTextAndOneMessage) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3).Field("B", 'C', 4);
    t.nRecordCountOverride = 1000;
    t.Record("abcdefg").Record("hijklmn");
    testing_support::Bytes bytes = t.Build();
    bytes.resize(bytes.size() - 4);  // the second record loses "lmn" and the end byte
    testing_support::WriteFileBytes(dir.Path("t.dbf"), bytes);
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetRecordCount(), 1000);
    EXPECT_EQ(f.Text(1, 1), "defg");
    EXPECT_EQ(f.Text(0, 2), "hij");  // what the file still holds of record 2
    EXPECT_EQ(f.Text(1, 2), "");
    for (int32_t n = 3; n <= 1000; ++n) EXPECT_EQ(f.Text(0, n), "");
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].nId, kReaderFileErrorId);
    EXPECT_NE(f.sink.errors[0].strText.find("past its end"), std::string::npos);

    // Each open may say it once again.
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(0, 500), "");
    EXPECT_EQ(f.sink.errors.size(), 2u);
}

TEST(ReaderDamaged, RecordNumbersOutsideTheTableShowEmptyText) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3).Record("abc");
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.Text(0, 0), "");
    EXPECT_EQ(f.Text(0, -5), "");
    EXPECT_EQ(f.Text(0, INT32_MAX), "");
    EXPECT_EQ(f.Text(-1, 1), "");
    EXPECT_EQ(f.Text(1, 1), "");
    EXPECT_EQ(f.Text(0, 1), "abc");
}

TEST(ReaderDamaged, NegativeRecordCountShowsNoRecords) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3).Record("abc");
    t.nRecordCountOverride = -3;
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    EXPECT_EQ(f.reader.GetRecordCount(), 0);
}

TEST(ReaderDamaged, BinaryFieldsNarrowerThanTheirValueShowEmptyText) {
    TempDir dir;
    TableBuilder t;
    t.nVersion = 0x30;
    t.Field("I", 'I', 2).Field("T", 'T', 7).Field("B", 'B', 4).Field("Y", 'Y', 1).Field("D", 'D', 6).Field("L", 'L', 0);
    t.Record(std::string(2 + 7 + 4 + 1 + 6, '\x01'));
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    for (int i = 0; i < 6; ++i) EXPECT_EQ(f.Text(i, 1), "") << i;
}

TEST(ReaderDamaged, FileErrorWhileReadingARecordIsShownOnceAndTheRecordIsEmpty) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 3).Record("abc").Record("def");
    t.Write(dir.Path("t.dbf"));
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(dir.Path("t.dbf")));
    {
        platform::FileFaults::Scope faults;
        platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO, true);
        EXPECT_EQ(f.Text(0, 1), "");
        EXPECT_EQ(f.Text(0, 2), "");
        EXPECT_EQ(f.reader.ReadRecord(2)[0], 0);
    }
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_NE(f.sink.errors[0].strText.find(strerror(EIO)), std::string::npos);
    EXPECT_EQ(f.Text(0, 2), "def");  // the failed record was not kept
}
