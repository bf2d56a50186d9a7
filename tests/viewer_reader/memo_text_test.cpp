// Reading memo text from the FoxPro and the two dBASE layouts, and the
// damaged memos the reader must show as placeholders without reading past
// the file or showing more than one message.
#include <gtest/gtest.h>

#include "platform/core/byte_order.h"
#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using ReaderMemoText = ReaderTest;

namespace {

// A table with a memo field per record referring to the blocks: ten digits,
// or four binary bytes in Visual FoxPro.
TableBuilder MemoTable(uint8_t nVersion, const std::vector<uint32_t>& blocks) {
    bool bBinary = nVersion == 0x30;
    TableBuilder t(nVersion);
    t.Field("NAME", 'C', 2).Field("NOTES", 'M', bBinary ? 4 : 10);
    for (uint32_t n : blocks) t.Record({"ab", bBinary ? LE32(n) : MemoRef10(n)});
    return t;
}

std::string LongText(size_t n) {
    std::string s;
    for (size_t i = 0; i < n; ++i) s += char('a' + i % 26);
    return s;
}

}  // namespace

TEST_F(ReaderMemoText, MemosOfEveryLayoutComeBackWhole) {
    const struct {
        const char* pszWhat;
        uint8_t nVersion;
        CMemoImage memo;
        const char* pszMemo;
        std::vector<std::string> memos;
    } cases[] = {
        {"FoxPro, longer than 16 bits can count", 0x30, CMemoImage::Fpt(0, 64), "t.FPT",
         {"first memo", LongText(70000), "third"}},
        {"dBASE III, ending well past the first piece read", 0x83, CMemoImage::DBase3(0), "t.DBT",
         {"short", LongText(20000) + "\r\nend", "short"}},
        {"dBASE IV, by its stored length past an end byte", 0x8B, CMemoImage::DBase4(0, 512), "t.DBT",
         {LongText(600) + std::string("\x1A inside", 8), "x"}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        CMemoImage memo = c.memo;
        std::vector<uint32_t> blocks;
        for (const std::string& str : c.memos) blocks.push_back(memo.Add(str));
        memo.Save(dir.Path(c.pszMemo));
        ASSERT_TRUE(Open(MemoTable(c.nVersion, blocks)));
        for (size_t i = 0; i < blocks.size(); ++i) {
            bool bShown = false;
            EXPECT_EQ(Text(1, int32_t(i + 1), &bShown), c.memos[i]) << i;
            EXPECT_TRUE(bShown);
        }
        EXPECT_TRUE(sink.errors.empty());
        platform::CFile::Remove(dir.Path(c.pszMemo));
    }
}

TEST_F(ReaderMemoText, FoxProLengthOrBlockPastTheEndShowsThePlaceholderAndOneMessage) {
    CMemoImage memo = CMemoImage::Fpt(0, 64);
    std::vector<uint32_t> blocks = {memo.Add("first"), memo.Add("second"), 1000000, 0xFFFFFFFFu};
    Bytes fpt = memo.GetBytes();
    platform::PutBE32(&fpt[blocks[0] * 64 + 4], 0xFFFFFFF0u);
    platform::PutBE32(&fpt[blocks[1] * 64 + 4], 0x7FFFFFFFu);
    WriteFileBytes(dir.Path("t.FPT"), fpt);
    ASSERT_TRUE(Open(MemoTable(0x30, blocks)));
    for (int nPass = 0; nPass < 3; ++nPass)
        for (int32_t n = 1; n <= 4; ++n) EXPECT_EQ(Text(1, n), "Memo") << n;
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_EQ(sink.errors[0].nId, idsMemoReadError);
    EXPECT_EQ(sink.errors[0].strText, "Memo read error !");
}

TEST_F(ReaderMemoText, DamagedDBaseMemosShowThePlaceholderAndOneMessage) {
    CMemoImage memo = CMemoImage::DBase4(0, 512);
    std::vector<uint32_t> blocks = {memo.Add("first"), memo.Add("second"), memo.Add("third")};
    Bytes dbt = memo.GetBytes();
    platform::PutLE32(&dbt[blocks[0] * 512 + 4], 0xFFFFFFFFu);  // past the end
    platform::PutLE32(&dbt[blocks[1] * 512 + 4], 8);            // counts only its own header
    // A block with fewer than eight bytes left is plain dBASE III text.
    blocks.push_back(uint32_t(dbt.size() / 512));
    dbt.insert(dbt.end(), {0xFF, 0xFF, 0x08, 'a', 'b'});
    WriteFileBytes(dir.Path("t.DBT"), dbt);
    ASSERT_TRUE(Open(MemoTable(0x8B, blocks)));
    EXPECT_EQ(Text(1, 1), "Memo");
    EXPECT_EQ(Text(1, 2), "Memo");
    EXPECT_EQ(Text(1, 3), "third");
    EXPECT_EQ(Text(1, 4), "\xFF\xFF\x08" "ab");
    EXPECT_EQ(sink.errors.size(), 1u);

    // dBASE III blocks past the end of the file.
    CMemoImage::DBase3(1).Save(dir.Path("u.DBT"));
    ASSERT_TRUE(Open(MemoTable(0x83, {0xFFFFFFFFu, 50}), "u.dbf"));
    EXPECT_EQ(Text(1, 1), "Memo");
    EXPECT_EQ(Text(1, 2), "Memo");
    EXPECT_EQ(sink.errors.size(), 1u);
}

TEST_F(ReaderMemoText, DBase3MemoWithoutEndByteStopsAtTheEndOfTheFile) {
    const std::string strText = LongText(3 * 1024 * 1024);  // 3 MB and no 0x1A
    WriteFileBytes(dir.Path("t.DBT"), std::string(512, '\0') + strText);
    ASSERT_TRUE(Open(MemoTable(0x83, {1, 6000})));
    EXPECT_EQ(Text(1, 1), strText);
    EXPECT_EQ(Text(1, 2).size(), strText.size() - (6000 - 1) * 512);
    EXPECT_TRUE(sink.errors.empty());
}

TEST_F(ReaderMemoText, FileErrorWhileReadingAMemoIsShownOnce) {
    CMemoImage memo = CMemoImage::Fpt(0, 64);
    std::vector<uint32_t> blocks = {memo.Add("one"), memo.Add("two")};
    memo.Save(dir.Path("t.FPT"));
    ASSERT_TRUE(Open(MemoTable(0x30, blocks)));
    ASSERT_NE(reader.ReadRecord(1), nullptr);
    ASSERT_NE(reader.ReadRecord(2), nullptr);  // record 2 stays cached
    platform::FileFaults::Scope faults;
    platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO, true);
    EXPECT_EQ(Text(1, 2), "Memo");
    EXPECT_EQ(Text(1, 2), "Memo");
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_EQ(sink.errors[0].nId, kReaderFileErrorId);
    platform::FileFaults::Reset();
    EXPECT_EQ(Text(1, 2), "two");
}
