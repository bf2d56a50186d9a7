// The viewer document's column list beside its reader.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"
#include "viewer/reader/viewer_document.h"

using namespace reader_test;
using ViewerDocData = ReaderTest;

TEST_F(ViewerDocData, DocumentBuildsOneVisibleColumnPerFieldAndFailureClears) {
    TableBuilder t;
    std::string strTable = t.Field("A", 'C', 1).Field("B", 'N', 3).Field("C", 'L', 1).Write(dir.Path("t.dbf"));
    CViewerDocData doc;
    doc.GetReader().SetErrorSink(&sink);
    ASSERT_TRUE(doc.OnOpenDocument(strTable));
    ASSERT_EQ(doc.GetColumns().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const ViewerColumnInfo& c = doc.GetColumns()[size_t(i)];
        EXPECT_EQ(std::tuple(c.bVisible, c.nField, c.nGridCol, c.nWidth), std::tuple(1, i, -1, -1)) << i;
    }
    doc.GetColumns()[0].bVisible = 0;
    EXPECT_FALSE(doc.OnOpenDocument(dir.Path("gone.dbf")));
    EXPECT_TRUE(doc.GetColumns().empty());
    EXPECT_FALSE(doc.GetReader().IsOpen());
    EXPECT_EQ(sink.errors.size(), 1u);

    ASSERT_TRUE(doc.OnOpenDocument(strTable));
    EXPECT_EQ(doc.GetColumns()[0].bVisible, 1);
    doc.OnNewDocument();
    EXPECT_FALSE(doc.GetReader().IsOpen());
    EXPECT_TRUE(doc.GetColumns().empty());
}
