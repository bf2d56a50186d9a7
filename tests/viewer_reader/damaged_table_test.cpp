// Tables whose numbers do not agree with each other or with the file show
// empty text and at most one message per open. That nothing is read outside
// a buffer is checked by the sanitizer build and by the reader's fuzz replay.
#include <cstring>

#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using ReaderDamaged = ReaderTest;

TEST_F(ReaderDamaged, FieldsRunningPastTheRecordShowEmptyText) {
    TableBuilder t;
    t.Field("A", 'C', 3).Field("B", 'C', 200).Field("C", 'I', 4).Field("D", 'M', 10).Field("E", '0', 8);
    t.SetRecordLength(6);  // room for A and two bytes of B
    t.RawRecord(" abcde").RawRecord(" fghij");
    ASSERT_TRUE(Open(t));
    EXPECT_EQ(Text(0, 1), "abc");
    EXPECT_EQ(Text(0, 2), "fgh");
    for (int i = 1; i < 5; ++i) {
        bool bShown = false;
        EXPECT_EQ(Text(i, 1, &bShown), "") << i;
        EXPECT_TRUE(bShown) << i;
    }
}

TEST_F(ReaderDamaged, RecordsTheHeaderCannotHoldShowEmptyText) {
    // Record length 0.
    ASSERT_TRUE(Open(TableBuilder().Field("A", 'C', 3).SetRecordLength(0).Record({"abc"}).Record({"def"})));
    EXPECT_EQ(reader.GetRecordLength(), 0);
    EXPECT_EQ(Text(0, 1), "");
    EXPECT_EQ(Text(0, 2), "");
    EXPECT_EQ(reader.ReadRecord(1)[0], 0);
    EXPECT_TRUE(sink.errors.empty());
    // A negative record count.
    ASSERT_TRUE(Open(TableBuilder().Field("A", 'C', 3).Record({"abc"}).SetRecordCount(-3)));
    EXPECT_EQ(reader.GetRecordCount(), 0);
    // Record and field numbers outside the table.
    ASSERT_TRUE(Open(TableBuilder().Field("A", 'C', 3).Record({"abc"})));
    for (auto [nField, nRecord] : {std::pair{0, 0}, {0, -5}, {0, INT32_MAX}, {-1, 1}, {1, 1}})
        EXPECT_EQ(Text(nField, nRecord), "") << nField << "/" << nRecord;
    EXPECT_EQ(Text(0, 1), "abc");
}

TEST_F(ReaderDamaged, RecordsPastTheEndOfTheFileShowEmptyTextAndOneMessagePerOpen) {
    TableBuilder t;
    t.Field("A", 'C', 3).Field("B", 'C', 4).SetRecordCount(1000).Record({"abc", "defg"}).Record({"hij", "klmn"});
    Bytes bytes = t.Build();
    bytes.resize(bytes.size() - 4);  // the second record loses "lmn" and the end byte
    WriteFileBytes(dir.Path("t.dbf"), bytes);
    ASSERT_TRUE(Open(dir.Path("t.dbf")));
    EXPECT_EQ(reader.GetRecordCount(), 1000);
    EXPECT_EQ(Text(1, 1), "defg");
    EXPECT_EQ(Text(0, 2), "hij");  // what the file still holds of record 2
    EXPECT_EQ(Text(1, 2), "");
    for (int32_t n = 3; n <= 1000; ++n) EXPECT_EQ(Text(0, n), "");
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_EQ(sink.errors[0].nId, kReaderFileErrorId);
    EXPECT_NE(sink.errors[0].strText.find("past its end"), std::string::npos);

    ASSERT_TRUE(Open(dir.Path("t.dbf")));
    EXPECT_EQ(Text(0, 500), "");
    EXPECT_EQ(sink.errors.size(), 1u) << "each open may say it once again";
}

TEST_F(ReaderDamaged, FileErrorWhileReadingARecordIsShownOnceAndTheRecordIsEmpty) {
    ASSERT_TRUE(Open(TableBuilder().Field("A", 'C', 3).Record({"abc"}).Record({"def"})));
    {
        platform::FileFaults::Scope faults;
        platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO, true);
        EXPECT_EQ(Text(0, 1), "");
        EXPECT_EQ(Text(0, 2), "");
        EXPECT_EQ(reader.ReadRecord(2)[0], 0);
    }
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_NE(sink.errors[0].strText.find(strerror(EIO)), std::string::npos);
    EXPECT_EQ(Text(0, 2), "def") << "the failed record was not kept";
}
