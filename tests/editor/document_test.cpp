// The document around the table: settings files read at open and written at
// close, the recent files, Save As and New, and what they refuse.
#include "platform/core/file.h"
#include "platform/core/private_profile.h"
#include "tests/editor/editor_test_support.h"

namespace {

using editor_test::TabulonTest;
using testing_support::Bytes;
using testing_support::ReadFileBytes;
using namespace platform;

class DocumentTest : public TabulonTest {
protected:
    std::string m_strPath;

    void SetUp() override {
        TabulonTest::SetUp();
        m_strPath = editor_test::MakeTable(m_dir.Path("stock.dbf"), 0x03,
                                           {{"ITEM", 'C', 10, 0}, {"PRICE", 'N', 8, 2}, {"ITEM", 'C', 4, 0}},
                                           {{"Tea", "1.5", "a"}, {"Jam", "2", "b"}});
    }
    std::string Ini(const std::string& strPath, const char* pszSection, const char* pszKey) {
        return CPrivateProfile::Read(strPath).GetString(pszSection, pszKey, "<none>");
    }
};

TEST_F(DocumentTest, ClosingWritesTheTableSettingsOnlyWhenTheyExistOrAutoCreateIsOn) {
    ASSERT_NE(Open(m_strPath), nullptr);
    Command(ID_FILE_CLOSE);
    EXPECT_FALSE(CFile::Exists(m_dir.Path("stock.ini")));

    CPrivateProfile::WriteString(SettingsPath(), "Setting", "AutoCreateIni", "True");
    ASSERT_NE(Open(m_strPath), nullptr);
    Command(ID_FILE_CLOSE);
    std::string strIni = m_dir.Path("stock.ini");
    EXPECT_EQ(Ini(strIni, "Grid", "ColField3"), "ITEM");
    EXPECT_EQ(Ini(strIni, "Grid", "ColVisibl2"), "TRUE");
    EXPECT_EQ(Ini(strIni, "Grid", "CodePage"), "DOS");
    EXPECT_EQ(Ini(strIni, "Records", "ShowDeleded"), "True");
}

TEST_F(DocumentTest, AStoredLayoutShowsItsColumnsAndTheSecondOfTwoSameNamedFieldsSurvives) {
    testing_support::WriteFileBytes(m_dir.Path("stock.ini"),
                                    std::string("[Grid]\nColField1=ITEM\nColVisibl1=TRUE\nColWidth1=1500\nColHead1=Second\n"
                                                "ColField2=PRICE\nColVisibl2=false\nColField3=ITEM\nColVisibl3=true\n"
                                                "ColHead3=First\nColWidth3=-1\n"));
    ASSERT_NE(Open(m_strPath), nullptr);
    CDBFView* pView = View();
    ASSERT_EQ(pView->GetColumnCount(-1), 2);
    EXPECT_EQ(pView->GetColumnHeader(0, 0).strText, "Second");
    EXPECT_EQ(pView->GetColumnWidth(0, -1), 1000);
    EXPECT_EQ(pView->FieldOfColumn(1), 2) << "the second ITEM is the field not yet used";
    EXPECT_EQ(Cell(1, 1), "b");
}

TEST_F(DocumentTest, TheFontSizeIsStoredWhenTheProgramClosesAndTheRecentFilesWhenATableOpens) {
    ASSERT_NE(Open(m_strPath), nullptr);
    EXPECT_EQ(Ini(SettingsPath(), "Recent File List", "File1"), m_strPath);
    EXPECT_TRUE(State(ID_VIEW_FONT_SMALL).GetCheck());
    Command(ID_VIEW_FONT_LARGE);
    EXPECT_TRUE(State(ID_VIEW_FONT_LARGE).GetCheck());
    StopProgram();
    EXPECT_EQ(Ini(SettingsPath(), "Font", "FontSize"), "-16");
}

TEST_F(DocumentTest, AnEmptyTableStandsOnNoRecord) {
    std::string strEmpty = editor_test::MakeTable(m_dir.Path("empty.dbf"), 0x03, {{"A", 'C', 5, 0}}, {});
    ASSERT_NE(Open(strEmpty), nullptr);
    Frame()->UpdateUserInterface();
    EXPECT_EQ(Frame()->GetPane(ID_INDICATOR_RECORD)->text().toStdString(), "Record: 0/0");
}

TEST_F(DocumentTest, SaveAsRefusesTheOpenTableAndACancelledDialogChangesNothing) {
    ASSERT_NE(Open(m_strPath), nullptr);
    Bytes original = ReadFileBytes(m_strPath);
    {
        // Cancelled with the Visual FoxPro filter chosen: the next Save is in place.
        CScopedFileDialogHook cancel([](FileDialogRequest& request) {
            request.nFilterIndex = 3;
            return false;
        });
        Command(ID_FILE_SAVE_AS);
    }
    Doc()->SetModifiedFlag(true);
    Command(ID_FILE_SAVE);
    EXPECT_EQ(ReadFileBytes(m_strPath)[0], 0x03) << "still dBASE III, written in place";

    CScopedFileDialogHook same([&](FileDialogRequest& request) {
        request.strPath = m_dir.Path("./stock.dbf");
        request.nFilterIndex = 3;
        return true;
    });
    CScopedMessageBoxHook hook;
    Doc()->SetModifiedFlag(true);
    Command(ID_FILE_SAVE_AS);
    ASSERT_EQ(hook.GetRequests().size(), 1u);
    EXPECT_TRUE(hook.GetRequests()[0].strText.contains("is open in this program"));
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(Doc()->GetPathName(), m_strPath);
}

TEST_F(DocumentTest, AFailedCopyIsSaidAndTheWindowKeepsItsTableAndEdits) {
    ASSERT_NE(Open(m_strPath), nullptr);
    ASSERT_TRUE(View()->StoreCellText(0, 0, "Changed"));
    Doc()->SetModifiedFlag(true);
    CScopedFileDialogHook answer([&](FileDialogRequest& request) {
        request.strPath = m_dir.Path("no-such-folder/copy.dbf");
        request.nFilterIndex = 1;
        return true;
    });
    CScopedMessageBoxHook hook;
    Command(ID_FILE_SAVE_AS);
    EXPECT_EQ(hook.GetRequests().size(), 1u);
    EXPECT_EQ(Doc()->GetPathName(), m_strPath);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(Cell(0, 0), "Changed");
}

TEST_F(DocumentTest, NewOverAnExistingTableReplacesItOnlyOnOk) {
    Bytes original = ReadFileBytes(m_strPath);
    CScopedFileDialogHook answer([&](FileDialogRequest& request) {
        request.strPath = m_strPath;
        request.nFilterIndex = 3;
        return true;
    });
    {
        CScopedDialogHook cancel([](CDialog&) { return IDCANCEL; });
        Command(ID_FILE_NEW);
        EXPECT_EQ(cancel.GetCount(), 1);
    }
    EXPECT_EQ(ReadFileBytes(m_strPath), original);
    EXPECT_EQ(Doc(), nullptr);
    {
        CScopedDialogHook ok([](CDialog&) { return IDOK; });
        Command(ID_FILE_NEW);
    }
    ASSERT_NE(Doc(), nullptr);
    EXPECT_TRUE(Doc()->m_bEditable);
    Bytes created = ReadFileBytes(m_strPath);
    EXPECT_EQ(created[0], 0x30) << "a Visual FoxPro table, as the filter said";
    EXPECT_EQ(Doc()->GetFieldNames(), std::vector<std::string>{"NEWFIELD"});
}

}  // namespace
