// The record, navigation and code-page commands, driven by command ids with
// their dialogs and message boxes answered; saved tables read back with
// dbftool and python3-dbfread.
#include <unistd.h>

#include <QLineEdit>

#include "editor/goto_dlg.h"
#include "editor/settings/table_settings.h"
#include "platform/core/code_page.h"
#include "platform/ui/command_ids.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/table_builder.h"

namespace {

using editor_test::TabulonTest;
using platform::CCmdUI;
using testing_support::TableBuilder;

// Debian's python3, which has python3-dbfread, before any other on the path.
std::string Python() { return access("/usr/bin/python3", X_OK) == 0 ? "/usr/bin/python3" : "python3"; }

class RecordCommandsTest : public TabulonTest {
protected:
    // Five records NAME C(10), N N(5,2); the second is deleted in the file.
    std::string FiveRecords(const std::string& strName = "five.dbf") {
        return TableBuilder(0x03)
            .Field("NAME", 'C', 10)
            .Field("N", 'N', 5, 2)
            .Record({"alpha", "1.00"})
            .DeletedRecord({"bravo", "2.00"})
            .Record({"charlie", "3.00"})
            .Record({"delta", "4.00"})
            .Record({"echo", "5.00"})
            .Write(m_dir.Path(strName));
    }
    // The record flag of each row as the view's table has it.
    std::string Marks() {
        std::string str;
        dbf::CDBFMemoryCursorset* pTable = View()->GetTable();
        for (int32_t i = 0; i < pTable->GetRecordCount(); ++i)
            str += char(pTable->GetRecord(i)[0]);
        return str;
    }
    int32_t Row() const { return int32_t(View()->GetCurrentRow() - View()->GetFixedRowCount()); }
    bool Enabled(unsigned nId) const { return State(nId).IsEnabled(); }
    bool Marked(unsigned nId) const { return State(nId).GetCheck() == 1; }
};

TEST_F(RecordCommandsTest, DeleteAndUndeleteWorkOnTheSelectionAndLeaveRecordsInTheirStateAlone) {
    std::string strPath = FiveRecords();
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(Marks(), " *   ");
    View()->SelectRange(0, 0, 0, 2);
    ASSERT_TRUE(Command(ID_RECORD_DELETE));
    EXPECT_EQ(Marks(), "X*X  ");
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_FALSE(Enabled(ID_RECORD_DELETE));  // the current record is deleted now
    View()->SelectRange(0, 0, 1, 3);
    ASSERT_TRUE(Command(ID_RECORD_UNDELETE));
    EXPECT_EQ(Marks(), "X##  ");
    ASSERT_TRUE(Command(platform::ID_FILE_SAVE));
    // Only the first record is deleted on disk, the others are as they were.
    testing_support::CommandResult dump =
        testing_support::RunCommand(DBFTOOL_PATH, {"dump", strPath, "--hide-deleted"});
    ASSERT_EQ(dump.nExit, 0) << dump.strErr;
    EXPECT_EQ(dump.strOut.find("alpha"), std::string::npos);
    EXPECT_NE(dump.strOut.find("bravo"), std::string::npos);
    testing_support::CommandResult read = testing_support::RunCommand(
        Python(), {"-c",
                    "import dbfread,sys\n"
                    "t=dbfread.DBF(sys.argv[1],load=True)\n"
                    "print([r['NAME'] for r in t.records],[r['NAME'] for r in t.deleted])",
                    strPath});
    ASSERT_EQ(read.nExit, 0) << read.strErr;
    EXPECT_EQ(read.strOut, "['bravo', 'charlie', 'delta', 'echo'] ['alpha']\n");
}

TEST_F(RecordCommandsTest, HideDropsRecordsDeletedInTheFileKeepsNewDeletionsAndRefreshShowsThemAgain) {
    ASSERT_NE(Open(FiveRecords()), nullptr);
    View()->GoToCell(0, 4);
    ASSERT_TRUE(Command(ID_RECORD_DELETE));  // echo: X
    ASSERT_TRUE(Command(ID_VIEW_HIDE_DELETED));
    EXPECT_EQ(Marks(), "   X");
    EXPECT_EQ(Row(), 3);  // clamped to the new last row
    EXPECT_TRUE(Marked(ID_VIEW_HIDE_DELETED));
    EXPECT_FALSE(Marked(ID_VIEW_SHOW_DELETED));
    platform::CScopedMessageBoxHook yes;  // lose the deletion
    ASSERT_TRUE(Command(ID_VIEW_REFRESH));
    EXPECT_EQ(Marks(), " *   ");
    EXPECT_TRUE(Marked(ID_VIEW_SHOW_DELETED));
    EXPECT_FALSE(Doc()->IsModified());
}

TEST_F(RecordCommandsTest, RefreshKeepsTheDocumentsModeAndAsksBeforeDroppingChanges) {
    std::string strPath = FiveRecords();
    tabulon::CTableSettings(m_pApp->GetProgramSettings(), strPath).SetOpenMode(64);
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(pDoc->IsReadOnly());
    EXPECT_FALSE(Enabled(ID_RECORD_ADD));
    ASSERT_TRUE(Command(ID_VIEW_REFRESH));
    EXPECT_TRUE(pDoc->m_table.IsOpen());
    EXPECT_EQ(View()->GetRowCount(), 5);
    EXPECT_TRUE(pDoc->IsReadOnly());
    EXPECT_FALSE(Enabled(ID_RECORD_ADD));

    // A read-and-write window with a change: No keeps it, Yes reloads.
    std::string strOther = FiveRecords("other.dbf");
    pDoc = Open(strOther);
    View()->GoToCell(1, 2);
    ASSERT_TRUE(Command(ID_RECORD_ADD));
    EXPECT_EQ(Marks(), " *   !");
    EXPECT_EQ(Row(), 5);
    EXPECT_EQ(View()->GetCurrentColumn(), View()->GetFixedColumnCount()) << "the new record's first cell";
    {
        platform::CScopedMessageBoxHook no([](const platform::MessageBoxRequest&) { return platform::IDNO; });
        ASSERT_TRUE(Command(ID_VIEW_REFRESH));
        ASSERT_EQ(no.GetRequests().size(), 1u);
        EXPECT_EQ(no.GetRequests()[0].nStringId, unsigned(IDS_REFRESH_DISCARD));
    }
    EXPECT_EQ(View()->GetRowCount(), 6);
    EXPECT_TRUE(pDoc->IsModified());
    {
        platform::CScopedMessageBoxHook yes;
        ASSERT_TRUE(Command(ID_VIEW_REFRESH));
    }
    EXPECT_EQ(View()->GetRowCount(), 5);
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(pDoc->m_nOpenMode, 66u);
}

TEST_F(RecordCommandsTest, GoToAndMoveToRefuseNumbersOutsideTheListAndKeepTheDialogOpen) {
    ASSERT_NE(Open(FiveRecords()), nullptr);
    View()->GoToCell(1, 1);  // position 2
    struct Case {
        unsigned nCommand;
        const char* pszText;
        const char* pszMessage;  // "" when accepted
        int32_t nRow;
    };
    const Case kCases[] = {
        {ID_NAV_MOVE, "-2", "Enter an integer between -1 and 3.", 1},
        {ID_NAV_MOVE, "x", "Enter an integer between -1 and 3.", 1},
        {ID_NAV_MOVE, "3", "", 4},
        {ID_NAV_MOVE, "-4", "", 0},
        {ID_NAV_GOTO, "0", "Enter an integer between 1 and 5.", 0},
        {ID_NAV_GOTO, "6", "Enter an integer between 1 and 5.", 0},
        {ID_NAV_GOTO, "3", "", 2},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.pszText);
        platform::CScopedMessageBoxHook boxes;
        int32_t nBefore = Row() + 1;
        int nResult = -1;
        int nPreset = -1;
        platform::CScopedDialogHook answer([&](platform::CDialog& dialog) {
            auto* pEdit = dialog.GetDlgItem<QLineEdit>(c.nCommand == ID_NAV_MOVE ? IDC_MOVETO_OFFSET : IDC_GOTO_RECORD);
            nPreset = pEdit ? pEdit->text().toInt() : -1;
            pEdit->setText(QString::fromLatin1(c.pszText));
            dialog.OnOK();
            nResult = dialog.GetModalResult();
            return nResult < 0 ? platform::IDCANCEL : nResult;
        });
        ASSERT_TRUE(Command(c.nCommand));
        if (c.nCommand == ID_NAV_MOVE)
            EXPECT_EQ(nPreset, 10);
        else
            EXPECT_EQ(nPreset, nBefore);
        if (*c.pszMessage) {
            EXPECT_EQ(nResult, -1);  // still open
            ASSERT_EQ(boxes.GetRequests().size(), 1u);
            EXPECT_EQ(boxes.GetRequests()[0].strText.toStdString(), c.pszMessage);
        } else {
            EXPECT_EQ(nResult, platform::IDOK);
            EXPECT_TRUE(boxes.GetRequests().empty());
        }
        EXPECT_EQ(Row(), c.nRow);
        EXPECT_EQ(View()->GetCurrentColumn() - View()->GetFixedColumnCount(), 1);
    }
}

TEST_F(RecordCommandsTest, FirstAndLastAreEnabledOnlyWhereTheyMove) {
    ASSERT_NE(Open(FiveRecords()), nullptr);
    EXPECT_FALSE(Enabled(ID_NAV_FIRST));
    EXPECT_TRUE(Enabled(ID_NAV_LAST));
    ASSERT_TRUE(Command(ID_NAV_LAST));
    EXPECT_EQ(Row(), 4);
    EXPECT_FALSE(Enabled(ID_NAV_LAST));
    EXPECT_TRUE(Enabled(ID_NAV_FIRST));
    ASSERT_TRUE(Command(ID_NAV_FIRST));
    EXPECT_EQ(Row(), 0);

    ASSERT_NE(Open(TableBuilder(0x03).Field("NAME", 'C', 10).Record({"one"}).Write(m_dir.Path("one.dbf"))), nullptr);
    for (unsigned nId : {ID_NAV_FIRST, ID_NAV_LAST, ID_NAV_GOTO, ID_NAV_MOVE})
        EXPECT_FALSE(Enabled(nId)) << nId;
    EXPECT_TRUE(Enabled(ID_RECORD_ADD));
}

// Cyrillic text under the CP866/CP1251 pair: the display switches without
// touching the bytes; the conversions change the bytes, not the display,
// and make the document modified so that bytes and code-page mark are saved
// together.
TEST_F(RecordCommandsTest, CodePageDisplayAndConversionsUnderCp866AndCp1251) {
    platform::CScopedCodePages pages("CP866", "CP1251");
    ASSERT_TRUE(pages.IsValid());
    const std::string kCp866 = "\x8F\xE0\xA8\xA2\xA5\xE2";  // Привет
    const std::string kCp1251 = "\xCF\xF0\xE8\xE2\xE5\xF2";
    std::string strPath = TableBuilder(0x03)
                              .Field("NAME", 'C', 10)
                              .Field("N", 'N', 6, 2)
                              .Field("D", 'D', 8)
                              .Record({kCp866, "12.50", "20020315"})
                              .Record({"plain", "3.00", "20011231"})
                              .Write(m_dir.Path("cyr.dbf"));
    testing_support::Bytes before = testing_support::ReadFileBytes(strPath);
    CDBFDoc* pDoc = Open(strPath);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_TRUE(pDoc->m_bDosCodePage);  // dBASE III: DOS text
    EXPECT_EQ(Cell(0, 0), kCp1251);
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_DOS));  // marked: back to Windows
    EXPECT_FALSE(Marked(ID_VIEW_CODEPAGE_DOS));
    EXPECT_TRUE(Marked(ID_VIEW_CODEPAGE_WIN));
    EXPECT_EQ(Cell(0, 0), kCp866);
    ASSERT_TRUE(Command(ID_VIEW_CODEPAGE_DOS));
    EXPECT_TRUE(Marked(ID_VIEW_CODEPAGE_DOS));
    EXPECT_FALSE(pDoc->IsModified());

    EXPECT_FALSE(Enabled(ID_FILE_WIN_TO_DOS));
    ASSERT_TRUE(Command(ID_FILE_DOS_TO_WIN));
    EXPECT_EQ(Cell(0, 0), kCp1251);
    EXPECT_TRUE(Marked(ID_VIEW_CODEPAGE_WIN));
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_FALSE(Enabled(ID_FILE_DOS_TO_WIN));
    EXPECT_TRUE(Enabled(ID_FILE_WIN_TO_DOS));
    ASSERT_TRUE(Command(platform::ID_FILE_SAVE));

    auto readBack = [&](const char* pszEncoding) {
        testing_support::CommandResult r = testing_support::RunCommand(
            Python(), {"-c",
                        "import dbfread,sys\n"
                        "for r in dbfread.DBF(sys.argv[1],encoding=sys.argv[2]): print(r['NAME'],r['N'],r['D'])",
                        strPath, pszEncoding});
        EXPECT_EQ(r.nExit, 0) << r.strErr;
        return r.strOut;
    };
    EXPECT_EQ(readBack("cp1251"), "Привет 12.5 2002-03-15\nplain 3.0 2001-12-31\n");
    testing_support::Bytes after = testing_support::ReadFileBytes(strPath);
    ASSERT_EQ(after.size(), before.size());
    // The numbers, the dates and the second record are the same bytes.
    size_t nHeader = size_t(before[8]) | size_t(before[9]) << 8;
    EXPECT_EQ(testing_support::Bytes(after.begin() + long(nHeader) + 11, after.end()),
              testing_support::Bytes(before.begin() + long(nHeader) + 11, before.end()));

    ASSERT_TRUE(Command(ID_FILE_WIN_TO_DOS));
    EXPECT_EQ(Cell(0, 0), kCp1251);
    EXPECT_TRUE(pDoc->m_bDosCodePage);
    EXPECT_TRUE(pDoc->IsModified());
    ASSERT_TRUE(Command(platform::ID_FILE_SAVE));
    EXPECT_EQ(readBack("cp866"), "Привет 12.5 2002-03-15\nplain 3.0 2001-12-31\n");
}

}  // namespace
