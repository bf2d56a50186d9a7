// A table whose structural index file is there: the window names the index,
// and the first write asks once, because this program never updates it.
#include "tests/editor/editor_test_support.h"

namespace {

using editor_test::TabulonTest;
using testing_support::ReadFileBytes;
using namespace platform;

TEST_F(TabulonTest, TheFirstWriteToATableWithAnIndexAsksOnceAndNoChangesNothing) {
    REQUIRE_CORPUS();
    m_dir.CopyIn(testing_support::CorpusFile("foxprodb/calls.CDX"));
    m_dir.CopyIn(testing_support::CorpusFile("foxprodb/calls.FPT"));
    std::string strPath = m_dir.CopyIn(testing_support::CorpusFile("foxprodb/calls.dbf"));
    auto original = ReadFileBytes(strPath);
    auto index = ReadFileBytes(m_dir.Path("calls.CDX"));
    ASSERT_NE(Open(strPath), nullptr);
    EXPECT_EQ(Doc()->GetTitle().toStdString(), "calls.dbf (index calls.CDX)");

    ASSERT_TRUE(View()->StoreCellText(0, 0, "77"));
    Doc()->SetModifiedFlag(true);
    {
        CScopedMessageBoxHook no([](const MessageBoxRequest&) { return IDNO; });
        Command(ID_FILE_SAVE);
        ASSERT_EQ(no.GetRequests().size(), 1u);
        EXPECT_TRUE(no.GetRequests()[0].strText.contains("calls.CDX"));
    }
    EXPECT_EQ(ReadFileBytes(strPath), original);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(Cell(0, 0), "77");

    CScopedMessageBoxHook yes;
    Command(ID_FILE_SAVE);
    EXPECT_FALSE(Doc()->IsModified());
    ASSERT_TRUE(View()->StoreCellText(0, 1, "78"));
    Doc()->SetModifiedFlag(true);
    Command(ID_FILE_SAVE);
    EXPECT_EQ(yes.GetRequests().size(), 1u) << "asked once a window";
    EXPECT_NE(ReadFileBytes(strPath), original);
    EXPECT_EQ(ReadFileBytes(m_dir.Path("calls.CDX")), index) << "the index itself is left alone";
}

TEST_F(TabulonTest, AnIndexFlagWithoutItsFileAsksNothing) {
    REQUIRE_CORPUS();
    ASSERT_NE(Open(CopyCorpus("cp1251.dbf")), nullptr);
    EXPECT_EQ(Doc()->GetTitle().toStdString(), "cp1251.dbf");
    ASSERT_TRUE(View()->StoreCellText(0, 0, "5"));
    Doc()->SetModifiedFlag(true);
    CScopedMessageBoxHook hook;
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(hook.GetRequests().empty());
    EXPECT_FALSE(Doc()->IsModified());
}

}  // namespace
