// Tables open into windows and show their cells as the view formats them.
#include "tests/editor/editor_test_support.h"

namespace {

using editor_test::TabulonTest;

TEST_F(TabulonTest, APlainStartShowsNoWindowAndATableOpensWithItsFirstCellCurrent) {
    REQUIRE_CORPUS();
    EXPECT_EQ(Frame()->GetActiveFrame(), nullptr);
    CDBFDoc* pDoc = Open(CopyCorpus("dbase_03.dbf"));
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(View()->GetRowCount(), 14);
    EXPECT_EQ(Cell(0, 0), "0507121");
    EXPECT_EQ(View()->GetCurrentRow(), View()->GetFixedRowCount());
    EXPECT_EQ(View()->GetCurrentColumn(), View()->GetFixedColumnCount());
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_RECORD)->text(), QStringLiteral("Record: 1/14"));
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_FIELD)->text(), QStringLiteral("Field: Point_ID C(12)"));
}

}  // namespace
