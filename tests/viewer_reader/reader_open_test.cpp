// Opening a table: errors, the field list, and finding the memo file.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using ReaderOpen = ReaderTest;
using Kind = CDBFFileReader::MemoKind;

namespace {

// A table with a memo field whose one record refers to block 1.
TableBuilder MemoTable(uint8_t nVersion) {
    return TableBuilder(nVersion).Field("NAME", 'C', 5).Field("NOTES", 'M', 10).Record({"Alpha", MemoRef10(1)});
}

enum class MemoLayout { dBase3, dBase4, foxPro };

// A memo file holding "x" after its header, with nStoredBlockSize where the
// layout states its block size.
Bytes MemoFile(MemoLayout layout, uint16_t nBlockSize, uint16_t nStoredBlockSize) {
    CMemoImage memo = layout == MemoLayout::foxPro   ? CMemoImage::Fpt(0, nBlockSize)
                      : layout == MemoLayout::dBase4 ? CMemoImage::DBase4(0, nBlockSize)
                                                     : CMemoImage::DBase3(0);
    memo.Add("x");
    if (layout == MemoLayout::foxPro) memo.Put(6, {char(nStoredBlockSize >> 8), char(nStoredBlockSize)});
    else memo.Le16(20, nStoredBlockSize);
    return memo.GetBytes();
}

}  // namespace

TEST_F(ReaderOpen, FailedOpenShowsOneMessageAndLeavesNothingOpen) {
    const std::string strTable = MemoTable(0x03).Write(dir.Path("t.dbf"));
    WriteFileBytes(dir.Path("short.dbf"), std::string(31, '\x03'));
    const struct {
        std::string strPath;
        bool bFailRead;
        unsigned nId;
        std::string strText;  // the whole text, or for a file error a part of it
    } cases[] = {
        {dir.Path("none.dbf"), false, idsCantOpenFile, "Can't open file:\n" + dir.Path("none.dbf")},
        {dir.Path("short.dbf"), false, idsDbfHeadReadError, "DBF head read error !"},
        {strTable, true, kReaderFileErrorId, strTable},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.strPath);
        platform::FileFaults::Scope faults;
        if (c.bFailRead) platform::FileFaults::Arm(platform::FileFaults::Op::read, 1, EIO);
        EXPECT_FALSE(Open(c.strPath));
        ASSERT_EQ(sink.errors.size(), 1u);
        EXPECT_EQ(sink.errors[0].nId, c.nId);
        if (c.nId == kReaderFileErrorId) {
            EXPECT_NE(sink.errors[0].strText.find(c.strText), std::string::npos);
        } else {
            EXPECT_EQ(sink.errors[0].strText, c.strText);
        }
        EXPECT_FALSE(reader.IsOpen());
        EXPECT_EQ(reader.GetFieldCount(), 0);
    }
}

TEST_F(ReaderOpen, FieldListComputesDisplacementsAndIgnoresStoredOnes) {
    TableBuilder t;
    t.Field("WIDE", 'C', 300).Field("AMOUNT", 'N', 10, 2).Field("COUNT", 'I', 4).Field("ELEVENCHARS", 'L', 1);
    for (size_t i = 0; i < 4; ++i) t.SetDisplacement(i, 0xDEADBEEF);
    ASSERT_TRUE(Open(t));
    ASSERT_EQ(reader.GetFieldCount(), 4);
    const int kWidths[] = {300, 10, 4, 1}, kDecimals[] = {0, 2, 0, 0};
    const uint32_t kDisplacements[] = {1, 301, 311, 315};
    for (int i = 0; i < 4; ++i) {
        EXPECT_EQ(reader.GetField(i).GetWidth(), kWidths[i]) << i;
        EXPECT_EQ(reader.GetField(i).GetDecimals(), kDecimals[i]) << i;
        EXPECT_EQ(reader.GetField(i).nDisplacement, kDisplacements[i]) << i;
    }
    EXPECT_EQ(reader.GetField(3).GetName(), "ELEVENCHARS");
    EXPECT_TRUE(sink.errors.empty());
}

TEST_F(ReaderOpen, DescriptorsEndAtTheTerminatorOrWhereAHeaderMustEnd) {
    // A header length with room for ten descriptors holding two.
    ASSERT_TRUE(Open(TableBuilder().Field("A", 'C', 2).Field("B", 'C', 3).HeaderPadding(8 * 32).Record({"xx", "yyy"})));
    EXPECT_EQ(reader.GetFieldCount(), 2);
    EXPECT_EQ(Text(1, 1), "yyy");
    // No terminator anywhere: no more descriptors than a 16-bit header length holds.
    Bytes bytes(32 + 32 * 5000, 'A');
    bytes[10] = 100, bytes[11] = 0;
    WriteFileBytes(dir.Path("t.dbf"), bytes);
    ASSERT_TRUE(Open(dir.Path("t.dbf")));
    EXPECT_EQ(reader.GetFieldCount(), 2046);
}

TEST_F(ReaderOpen, MemoFileIsFoundByTheTableNameAndItsHeaderIsChecked) {
    const struct {
        const char* pszWhat;
        uint8_t nVersion;
        const char* pszTable;
        std::vector<std::pair<std::string, Bytes>> memos;
        Kind eKind;
        const char* pszFound;  // the memo file opened
        int nBlockSize;
        unsigned nErrorId;     // 0 for no message
        const char* pszError;  // the file named by "Can't find file", or the whole text
    } cases[] = {
        {"no memo file: the .DBT is named even for FoxPro", 0xF5, "fox.dbf", {}, Kind::none, nullptr, 0,
         idsCantFindFile, "fox.DBT"},
        {"a .dbc looks only for its .DCT", 0x30, "db.DbC",
         {{"db.FPT", MemoFile(MemoLayout::foxPro, 64, 64)}, {"db.DBT", MemoFile(MemoLayout::dBase3, 512, 0)}},
         Kind::none, nullptr, 0, idsCantFindFile, "db.DCT"},
        {"the .DCT in any letter case", 0x30, "db.DbC", {{"db.dct", MemoFile(MemoLayout::foxPro, 64, 64)}},
         Kind::foxPro, "db.dct", 64, 0, nullptr},
        {".FPT wins over .DBT whatever the version", 0x83, "t.dbf",
         {{"t.FPT", MemoFile(MemoLayout::foxPro, 64, 64)}, {"t.DBT", MemoFile(MemoLayout::dBase3, 512, 0)}},
         Kind::foxPro, "t.FPT", 64, 0, nullptr},
        {"lower-case .dbt", 0x83, "t.dbf", {{"t.dbt", MemoFile(MemoLayout::dBase3, 512, 0)}}, Kind::dBase, "t.dbt",
         512, 0, nullptr},
        {"dBASE IV block size from the header", 0x8B, "t.dbf", {{"t.DBT", MemoFile(MemoLayout::dBase4, 1024, 1024)}},
         Kind::dBase, "t.DBT", 1024, 0, nullptr},
        {"dBASE IV block size 0 means 512", 0x8B, "t.dbf", {{"t.DBT", MemoFile(MemoLayout::dBase4, 512, 0)}},
         Kind::dBase, "t.DBT", 512, 0, nullptr},
        {"dBASE III ignores the header's block size", 0x83, "t.dbf",
         {{"t.DBT", MemoFile(MemoLayout::dBase4, 1024, 1024)}}, Kind::dBase, "t.DBT", 512, 0, nullptr},
        {"short .FPT header", 0xF5, "t.dbf", {{"t.FPT", Bytes(7, 0)}}, Kind::none, nullptr, 0, idsMemoHeadReadError,
         "Memo head read error !"},
        {".FPT block size 0", 0xF5, "t.dbf", {{"t.FPT", Bytes(512, 0)}}, Kind::none, nullptr, 0, idsMemoHeadReadError,
         "Memo head read error !"},
        {"short dBASE IV header", 0x8B, "t.dbf", {{"t.DBT", Bytes(21, 0)}}, Kind::none, nullptr, 0,
         idsMemoHeadReadError, "Memo head read error !"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszWhat);
        TempDir caseDir;
        for (const auto& [strName, bytes] : c.memos) WriteFileBytes(caseDir.Path(strName), bytes);
        ASSERT_TRUE(Open(MemoTable(c.nVersion).Write(caseDir.Path(c.pszTable))));
        EXPECT_EQ(reader.GetMemoKind(), c.eKind);
        if (c.nErrorId == 0) {
            EXPECT_TRUE(sink.errors.empty());
        } else {
            ASSERT_EQ(sink.errors.size(), 1u);
            EXPECT_EQ(sink.errors[0].nId, c.nErrorId);
            EXPECT_EQ(sink.errors[0].strText, c.nErrorId == idsCantFindFile
                                                  ? "Can't find file:\n" + caseDir.Path(c.pszError)
                                                  : std::string(c.pszError));
        }
        if (c.eKind == Kind::none) {
            EXPECT_EQ(Text(1, 1), "Memo") << "a memo that cannot be read";
        } else {
            EXPECT_EQ(reader.GetMemoPath(), caseDir.Path(c.pszFound));
            EXPECT_EQ(reader.GetMemoBlockSize(), c.nBlockSize);
        }
    }
}
