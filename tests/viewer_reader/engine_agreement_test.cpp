// The reader and the engine read the same tables: for every field whose type
// both read the same way (C, N, F, D, L, I and memo text), the reader's text
// must agree with the engine's value, record by record, on every table of the
// corpus and on tables built here.
#include <gtest/gtest.h>

#include <cctype>
#include <cstdlib>
#include <filesystem>

#include "engine/dbf_exception.h"
#include "engine/file_cursor.h"
#include "platform/core/ole_date.h"
#include "tests/viewer_reader/reader_test_util.h"

using namespace reader_test;
using testing_support::TempDir;

namespace {

std::string TrimRight(std::string str) {
    while (!str.empty() && std::isspace(static_cast<unsigned char>(str.back()))) str.pop_back();
    return str;
}

std::string UpToNul(const std::string& str) { return str.substr(0, str.find('\0')); }

// Compares every comparable cell of one table; returns the number compared.
int CompareTable(const std::string& strPath) {
    ReaderFixture reader;
    if (!reader.reader.Open(strPath)) return 0;
    dbf::CDBFFileCursor engine;
    try {
        engine.Open(strPath, 64);
    } catch (const dbf::CDBFException& e) {
        return -e.GetCode();  // a table the engine refuses (dBASE II, dBASE 7)
    }
    if (!engine.IsOpen()) return 0;
    EXPECT_EQ(engine.GetFieldCount(), reader.reader.GetFieldCount());
    EXPECT_EQ(engine.GetRecordCount(), reader.reader.GetRecordCount());
    int nCompared = 0;
    for (int32_t n = 0; n < engine.GetRecordCount(); ++n) {
        engine.SetAbsolutePosition(n);
        for (int i = 0; i < engine.GetFieldCount(); ++i) {
            const ReaderField& field = reader.reader.GetField(i);
            std::string strText;
            bool bLogical = false;
            bool bShown = reader.reader.GetFieldText(i, n + 1, strText, bLogical);
            dbf::FieldValue value = engine.GetFieldValue(i);
            SCOPED_TRACE(strPath + " record " + std::to_string(n + 1) + " field " + field.GetName());
            switch (field.GetType()) {
            case 'C':
                if (field.desc.flags == dbf::kFieldFlagBinary) {
                    EXPECT_EQ(value.GetText(), strText);
                } else {
                    EXPECT_EQ(value.GetText(), TrimRight(strText));
                }
                break;
            case 'N':
            case 'F':
                EXPECT_DOUBLE_EQ(value.GetDouble(), std::strtod(strText.c_str(), nullptr));
                break;
            case 'D':
                if (strText.empty()) {
                    EXPECT_TRUE(value.IsEmpty());
                } else {
                    EXPECT_EQ(platform::FormatOleDate(value.GetDate(), "%m/%d/%Y"), strText);
                }
                break;
            case 'L': {
                char c = strText.empty() ? ' ' : strText[0];
                EXPECT_EQ(value.GetBool() == 1, c == 'T' || c == 't' || c == 'Y' || c == 'y');
                EXPECT_EQ(bLogical, c == 'T' || c == 'Y');
                break;
            }
            case 'I':
                EXPECT_EQ(std::to_string(value.GetInt32()), strText);
                break;
            case 'M':
                if (!bShown) continue;  // a placeholder word: the engine's value is no text to compare
                EXPECT_EQ(value.GetKind(), dbf::FieldKind::Text);
                if (value.GetKind() == dbf::FieldKind::Text) {
                    EXPECT_EQ(UpToNul(value.GetText()), strText);
                }
                break;
            default:
                continue;
            }
            ++nCompared;
        }
    }
    return nCompared;
}

}  // namespace

TEST(ReaderEngineAgreement, EveryCorpusTable) {
    REQUIRE_CORPUS();
    int nTables = 0, nCells = 0;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(testing_support::CorpusDir())) {
        std::string strExt = entry.path().extension().string();
        for (char& c : strExt) c = char(std::tolower(static_cast<unsigned char>(c)));
        if (strExt != ".dbf" && strExt != ".dbc") continue;
        int n = CompareTable(entry.path().string());
        if (n > 0) ++nTables;
        nCells += std::max(n, 0);
    }
    EXPECT_GE(nTables, 12);
    EXPECT_GT(nCells, 10000);
}

TEST(ReaderEngineAgreement, BuiltTablesOfEveryMemoLayout) {
    TempDir dir;
    {
        auto blocks = WriteDbt3File(dir.Path("d3.DBT"), {"plain memo", std::string(1300, 'q') + "\r\nend"});
        TableBuilder t;
        t.nVersion = 0x83;
        t.Field("NAME", 'C', 6).Field("AMOUNT", 'N', 8, 2).Field("WHEN", 'D', 8).Field("OK", 'L', 1)
            .Field("NOTES", 'M', 10);
        t.Record("alpha    12.5020240229T         " + std::to_string(blocks[0]));
        t.Record("beta     -3.00        t" + Pad("", 10));
        t.Record(" gamma      .5        ?         " + std::to_string(blocks[1]));
        t.Write(dir.Path("d3.dbf"));
        EXPECT_EQ(CompareTable(dir.Path("d3.dbf")), 14);  // one memo field is empty
    }
    {
        auto blocks = WriteDbt4File(dir.Path("d4.DBT"), 512, 512, {"dBASE IV memo", std::string(700, 'w')});
        TableBuilder t;
        t.nVersion = 0x8B;
        t.Field("NOTES", 'M', 10).Field("RATE", 'F', 10, 4);
        char sz[64];
        std::snprintf(sz, sizeof sz, "%10u   -0.1250%10u    1.0000", blocks[0], blocks[1]);
        std::string strBoth = sz;
        t.Record(strBoth.substr(0, 20)).Record(strBoth.substr(20));
        t.Write(dir.Path("d4.dbf"));
        EXPECT_EQ(CompareTable(dir.Path("d4.dbf")), 4);
    }
    {
        auto blocks = WriteFptFile(dir.Path("vfp.FPT"), 64, {"fox memo", std::string(3000, 'f')});
        TableBuilder t;
        t.nVersion = 0x30;
        t.Field("NAME", 'C', 4).Field("COUNT", 'I', 4).Field("NOTES", 'M', 4);
        t.Record("one " + LE32(uint32_t(-42)) + LE32(blocks[0]));
        t.Record("two " + LE32(7) + LE32(blocks[1]));
        testing_support::Bytes bytes = t.Build();
        bytes[28] = dbf::kTableFlagHasMemo;
        testing_support::WriteFileBytes(dir.Path("vfp.dbf"), bytes);
        EXPECT_EQ(CompareTable(dir.Path("vfp.dbf")), 6);
    }
}
