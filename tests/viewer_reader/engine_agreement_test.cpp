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
