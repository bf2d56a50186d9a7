// Tables open into windows and show their cells as the view formats them.
#include <cstdio>
#include <sstream>

#include "tests/editor/editor_test_support.h"

namespace {

using editor_test::TabulonTest;
using testing_support::RunCommand;

// The text of a JSON string literal (the subset expected_cells.py writes).
std::string JsonString(const std::string& strJson) {
    std::string str;
    for (size_t i = 1; i + 1 < strJson.size(); ++i) {
        char c = strJson[i];
        if (c != '\\') {
            str += c;
            continue;
        }
        char e = strJson[++i];
        switch (e) {
        case 'n': str += '\n'; break;
        case 'r': str += '\r'; break;
        case 't': str += '\t'; break;
        case 'u': {
            unsigned n = unsigned(std::stoul(strJson.substr(i + 1, 4), nullptr, 16));
            i += 4;
            str += QString(QChar(char16_t(n))).toStdString();
            break;
        }
        default: str += e; break;
        }
    }
    return str;
}

TEST_F(TabulonTest, APlainStartShowsNoWindowAndATableOpensWithItsFirstCellCurrent) {
    REQUIRE_CORPUS();
    EXPECT_EQ(Frame()->GetActiveFrame(), nullptr);
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_RECORD)->isVisibleTo(Frame()), false);
    CDBFDoc* pDoc = Open(CopyCorpus("dbase_03.dbf"));
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(View()->GetRowCount(), 14);
    EXPECT_EQ(View()->GetCurrentRow(), View()->GetFixedRowCount());
    EXPECT_EQ(View()->GetCurrentColumn(), View()->GetFixedColumnCount());
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_RECORD)->text().toStdString(), std::string("Record: 1/14"));
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_FIELD)->text().toStdString(), std::string("Field: Point_ID C(12)"));
    View()->GoToCell(10, 0);  // Max_PDOP N(5,1)
    Frame()->UpdateUserInterface();
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_FIELD)->text().toStdString(), std::string("Field: Max_PDOP N(5,1)"));
    EXPECT_EQ(Frame()->windowTitle().toStdString(), "Tabulon - dbase_03.dbf");
    // Opening it again only brings its window forward.
    EXPECT_EQ(Open(m_dir.Path("dbase_03.dbf")), pDoc);
    EXPECT_EQ(Frame()->GetChildFrames().size(), 1u);
}

TEST_F(TabulonTest, CorpusCellsShowWhatDbftoolReadsFormattedByTheViewsRules) {
    REQUIRE_CORPUS();
    const std::pair<const char*, const char*> kTables[] = {
        {"dbase_03.dbf", ""}, {"dbase_30.dbf", "dbase_30.fpt"}, {"dbase_83.dbf", "dbase_83.dbt"}, {"cp1251.dbf", ""}};
    for (auto [pszTable, pszMemo] : kTables) {
        SCOPED_TRACE(pszTable);
        std::string strPath = CopyCorpus(pszTable, pszMemo);
        auto result = RunCommand("/usr/bin/python3", {TESTS_EDITOR_DIR "/expected_cells.py", DBFTOOL_PATH, strPath});
        ASSERT_EQ(result.nExit, 0) << result.strErr;
        ASSERT_NE(Open(strPath), nullptr);
        CDBFView* pView = View();
        std::istringstream lines(result.strOut);
        std::string strLine;
        int nCells = 0;
        while (std::getline(lines, strLine)) {
            std::istringstream fields(strLine);
            int nRecord = 0, nField = 0;
            std::string strJson;
            fields >> nRecord >> nField;
            std::getline(fields >> std::ws, strJson);
            std::string strShown = pView->GetTextCodec().ToUnicode(pView->GetCellText(nField, nRecord)).toStdString();
            EXPECT_EQ(strShown, JsonString(strJson)) << "record " << nRecord << " field " << nField;
            ++nCells;
        }
        EXPECT_GT(nCells, 0);
        Command(platform::ID_FILE_CLOSE);
    }
}

}  // namespace

namespace {

TEST_F(TabulonTest, ATableOfUtf8TextNamedByItsCpgFileIsShownAndEditedWhole) {
    std::string strPath = editor_test::MakeTable(m_dir.Path("roads.dbf"), 0x03, {{"NAME", 'C', 12, 0}},
                                                 {{"M\xC3\xBCller"}, {"\xD0\x9C\xD0\xB8\xD1\x80"}});
    testing_support::WriteFileBytes(m_dir.Path("roads.cpg"), std::string("UTF-8\n"));
    ASSERT_NE(Open(strPath), nullptr);
    const platform::CTextCodec& codec = View()->GetTextCodec();
    EXPECT_EQ(codec.ToUnicode(Cell(0, 1)).toStdString(), "Мир");
    // Twelve bytes hold six Cyrillic letters: the seventh is cut whole.
    ASSERT_TRUE(View()->StoreCellText(0, 0, codec.FromUnicode(QStringLiteral("Ярославль"))));
    EXPECT_EQ(codec.ToUnicode(Cell(0, 0)).toStdString(), "Яросла");
}

}  // namespace
