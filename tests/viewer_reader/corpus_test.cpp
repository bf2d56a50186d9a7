// Every table of the corpus of real tables through the reader, with values
// checked against what another library read from them.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;

namespace {

std::vector<std::string> CorpusTables() {
    std::vector<std::string> tables;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(testing_support::CorpusDir())) {
        std::string strExt = entry.path().extension().string();
        for (char& c : strExt) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (strExt == ".dbf" || strExt == ".dbc") tables.push_back(entry.path().string());
    }
    std::sort(tables.begin(), tables.end());
    return tables;
}

}  // namespace

TEST(ReaderCorpus, EveryTableOpensAndEveryCellReads) {
    REQUIRE_CORPUS();
    std::vector<std::string> tables = CorpusTables();
    ASSERT_GE(tables.size(), 15u);
    for (const std::string& strTable : tables) {
        SCOPED_TRACE(strTable);
        ReaderFixture f;
        // The reader checks no numbers at open, so even the tables the engine
        // refuses (dBASE II, dBASE 7) open; their cells are whatever the
        // bytes say, but every one of them must be readable.
        ASSERT_TRUE(f.reader.Open(strTable));
        int32_t nRecords = std::min<int32_t>(f.reader.GetRecordCount(), 100000);
        for (int32_t n = 1; n <= nRecords; ++n)
            for (int i = 0; i < f.reader.GetFieldCount(); ++i) {
                std::string str;
                bool b;
                f.reader.GetFieldText(i, n, str, b);
            }
        EXPECT_LE(f.sink.errors.size(), 3u);
        bool bEngineFormat = strTable.find("dbase_02") == std::string::npos &&
                             strTable.find("dbase_8c") == std::string::npos &&
                             strTable.find("missing_memo") == std::string::npos;
        if (bEngineFormat) {
            EXPECT_TRUE(f.sink.errors.empty()) << f.sink.errors[0].strText;
        }
    }
}

TEST(ReaderCorpus, DBase3MemoTable) {
    REQUIRE_CORPUS();
    ReaderFixture f;
    ASSERT_TRUE(f.reader.Open(testing_support::CorpusFile("dbase_83.dbf")));
    EXPECT_EQ(f.reader.GetRecordCount(), 67);
    ASSERT_EQ(f.reader.GetFieldCount(), 15);
    EXPECT_EQ(f.reader.GetField(11).GetName(), "DESC");
    EXPECT_EQ(f.Text(0, 1), std::string(17, ' ') + "87");
    EXPECT_EQ(f.Text(6, 1), Pad("Assorted Petits Fours", 100));
    EXPECT_EQ(f.Text(11, 1),
              "Our Original assortment...a little taste of heaven for everyone.  Let us\r\nselect a special "
              "assortment of our chocolate and pastel favorites for you.\r\nEach petit four is its own special "
              "hand decorated creation. Multi-layers of\r\nmoist cake with combinations of specialty fillings "
              "create memorable cake\r\nconfections. Varietes include; Luscious Lemon, Strawberry Hearts, "
              "White\r\nChocolate, Mocha Bean, Roasted Almond, Triple Chocolate, Chocolate Hazelnut,\r\nGrand "
              "Orange, Plum Squares, Milk chocolate squares, and Raspberry Blanc.");
    std::string str;
    bool b = false;
    f.reader.GetFieldText(13, 1, str, b);
    EXPECT_TRUE(b);
    EXPECT_EQ(f.Text(5, 10), Pad("AB01", 50));
}

TEST(ReaderCorpus, MissingMemoFileLeavesPlaceholders) {
    REQUIRE_CORPUS();
    ReaderFixture f;
    std::string strTable = testing_support::CorpusFile("dbase_83_missing_memo.dbf");
    ASSERT_TRUE(f.reader.Open(strTable));
    ASSERT_EQ(f.sink.errors.size(), 1u);
    EXPECT_EQ(f.sink.errors[0].strText,
              "Can't find file:\n" + strTable.substr(0, strTable.size() - 3) + "DBT");
    std::string str;
    bool b;
    EXPECT_FALSE(f.reader.GetFieldText(11, 1, str, b));
    EXPECT_EQ(str, "Memo");
}
