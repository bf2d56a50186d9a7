// Every table of the corpus of real tables through the reader: each opens and
// every cell reads, and for every field whose type the reader and the engine
// read the same way (C, N, F, D, L, I and memo text), the reader's text
// agrees with the engine's value record by record.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "engine/dbf_exception.h"
#include "engine/file_cursor.h"
#include "platform/core/ole_date.h"
#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using ReaderCorpus = ReaderTest;

namespace {

std::string TrimRight(std::string str) {
    while (!str.empty() && std::isspace(static_cast<unsigned char>(str.back()))) str.pop_back();
    return str;
}

// Compares one cell; false for a type (or a placeholder) with nothing to compare.
bool CompareCell(const ReaderField& field, const std::string& strText, bool bShown, bool bLogical,
                 const dbf::FieldValue& value) {
    switch (field.GetType()) {
    case 'C':
        EXPECT_EQ(value.GetText(), field.desc.flags == dbf::kFieldFlagBinary ? strText : TrimRight(strText));
        return true;
    case 'N':
    case 'F': EXPECT_DOUBLE_EQ(value.GetDouble(), std::strtod(strText.c_str(), nullptr)); return true;
    case 'D':
        if (strText.empty()) {
            EXPECT_TRUE(value.IsEmpty());
        } else {
            EXPECT_EQ(platform::FormatOleDate(value.GetDate(), "%m/%d/%Y"), strText);
        }
        return true;
    case 'L': {
        char c = strText.empty() ? ' ' : strText[0];
        EXPECT_EQ(value.GetBool() == 1, c == 'T' || c == 't' || c == 'Y' || c == 'y');
        EXPECT_EQ(bLogical, c == 'T' || c == 'Y');
        return true;
    }
    case 'I': EXPECT_EQ(std::to_string(value.GetInt32()), strText); return true;
    case 'M':
        if (!bShown) return false;  // a placeholder word: no text to compare
        EXPECT_EQ(value.GetKind(), dbf::FieldKind::Text);
        if (value.GetKind() == dbf::FieldKind::Text) {
            EXPECT_EQ(value.GetText().substr(0, value.GetText().find('\0')), strText);
        }
        return true;
    default: return false;
    }
}

}  // namespace

TEST_F(ReaderCorpus, EveryCorpusTableReadsAsTheEngineReadsIt) {
    REQUIRE_CORPUS();
    std::vector<std::string> tables;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(CorpusDir())) {
        std::string strExt = entry.path().extension().string();
        for (char& c : strExt) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (strExt == ".dbf" || strExt == ".dbc") tables.push_back(entry.path().string());
    }
    ASSERT_GE(tables.size(), 15u);
    int nTables = 0, nCells = 0;
    for (const std::string& strTable : tables) {
        SCOPED_TRACE(strTable);
        // The reader checks no numbers at open, so even the tables the engine
        // refuses (dBASE II, dBASE 7) open, and every cell must be readable.
        ASSERT_TRUE(Open(strTable));
        dbf::CDBFFileCursor engine;
        try {
            engine.Open(strTable, 64);
        } catch (const dbf::CDBFException&) {
        }
        if (engine.IsOpen()) {
            ++nTables;
            EXPECT_EQ(engine.GetFieldCount(), reader.GetFieldCount());
            EXPECT_EQ(engine.GetRecordCount(), reader.GetRecordCount());
        }
        int32_t nRecords = std::min<int32_t>(reader.GetRecordCount(), 100000);
        for (int32_t n = 1; n <= nRecords; ++n) {
            if (engine.IsOpen()) engine.SetAbsolutePosition(n - 1);
            for (int i = 0; i < reader.GetFieldCount(); ++i) {
                bool bShown = false, bLogical = false;
                std::string strText = Text(i, n, &bShown, &bLogical);
                if (!engine.IsOpen()) continue;
                SCOPED_TRACE("record " + std::to_string(n) + " field " + reader.GetField(i).GetName());
                nCells += CompareCell(reader.GetField(i), strText, bShown, bLogical, engine.GetFieldValue(i));
            }
        }
        EXPECT_LE(sink.errors.size(), 3u);
        if (strTable.find("dbase_02") == std::string::npos && strTable.find("dbase_8c") == std::string::npos &&
            strTable.find("missing_memo") == std::string::npos) {
            EXPECT_TRUE(sink.errors.empty()) << sink.errors[0].strText;
        }
    }
    EXPECT_GE(nTables, 12);
    EXPECT_GT(nCells, 10000);
}

TEST_F(ReaderCorpus, CorpusTablesShowTheirBytesAndPlaceholders) {
    REQUIRE_CORPUS();
    ASSERT_TRUE(Open(CorpusFile("dbase_83.dbf")));
    EXPECT_EQ(reader.GetRecordCount(), 67);
    ASSERT_EQ(reader.GetFieldCount(), 15);
    EXPECT_EQ(Text(0, 1), std::string(17, ' ') + "87") << "numbers as stored, leading spaces kept";
    EXPECT_EQ(Text(6, 1), "Assorted Petits Fours" + std::string(79, ' ')) << "text with its trailing spaces";
    EXPECT_EQ(Text(11, 1).substr(0, 23), "Our Original assortment");
    bool bLogical = false;
    EXPECT_EQ(Text(13, 1, nullptr, &bLogical), "T");
    EXPECT_TRUE(bLogical);
    EXPECT_EQ(Text(5, 10), "AB01" + std::string(46, ' '));

    std::string strTable = CorpusFile("dbase_83_missing_memo.dbf");
    ASSERT_TRUE(Open(strTable));
    ASSERT_EQ(sink.errors.size(), 1u);
    EXPECT_EQ(sink.errors[0].strText, "Can't find file:\n" + strTable.substr(0, strTable.size() - 3) + "DBT");
    bool bShown = true;
    EXPECT_EQ(Text(11, 1, &bShown), "Memo");
    EXPECT_FALSE(bShown);
}
