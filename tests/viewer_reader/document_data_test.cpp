// The viewer document's column list beside its reader.
#include <gtest/gtest.h>

#include "tests/viewer_reader/reader_test_util.h"
#include "viewer/reader/viewer_document.h"

using namespace reader_test;
using testing_support::TempDir;

TEST(ViewerDocData, OpenBuildsOneVisibleColumnPerFieldAndFailureClears) {
    TempDir dir;
    TableBuilder t;
    t.Field("A", 'C', 1).Field("B", 'N', 3).Field("C", 'L', 1).Record("x  1T");
    t.Write(dir.Path("t.dbf"));
    CViewerDocData doc;
    CRecordingSink sink;
    doc.GetReader().SetErrorSink(&sink);
    ASSERT_TRUE(doc.OnOpenDocument(dir.Path("t.dbf")));
    ASSERT_EQ(doc.GetColumns().size(), 3u);
    for (int i = 0; i < 3; ++i) {
        const ViewerColumnInfo& c = doc.GetColumns()[size_t(i)];
        EXPECT_EQ(c.bVisible, 1);
        EXPECT_EQ(c.nField, i);
        EXPECT_EQ(c.nGridCol, -1);
        EXPECT_EQ(c.nWidth, -1);
    }

    doc.GetColumns()[0].bVisible = 0;
    EXPECT_FALSE(doc.OnOpenDocument(dir.Path("gone.dbf")));
    EXPECT_TRUE(doc.GetColumns().empty());
    EXPECT_FALSE(doc.GetReader().IsOpen());
    ASSERT_EQ(sink.errors.size(), 1u);

    ASSERT_TRUE(doc.OnOpenDocument(dir.Path("t.dbf")));
    EXPECT_EQ(doc.GetColumns()[0].bVisible, 1);
    doc.OnNewDocument();
    EXPECT_FALSE(doc.GetReader().IsOpen());
    EXPECT_TRUE(doc.GetColumns().empty());
}
