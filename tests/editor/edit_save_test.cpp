// Editing cells in place and saving: typed values reach the file and nothing
// else changes; refused values, failed saves and a table changed on disk are
// said; the close prompt sees an open editor's text.
#include <sys/stat.h>
#include <unistd.h>

#include <QKeyEvent>

#include "editor/cell_text.h"
#include "platform/core/file.h"
#include "platform/core/user_locale.h"
#include "tests/editor/editor_test_support.h"

namespace {

using editor_test::FieldSpec;
using editor_test::TabulonTest;
using testing_support::Bytes;
using testing_support::ReadFileBytes;
using namespace platform;

constexpr size_t kHeader = 32 + 4 * 32 + 1;
constexpr size_t kRecord = 1 + 12 + 8 + 8 + 1;

class EditSaveTest : public TabulonTest {
protected:
    std::string m_strPath;
    Bytes m_original;

    void SetUp() override {
        TabulonTest::SetUp();
        m_strPath = editor_test::MakeTable(
            m_dir.Path("people.dbf"), 0x03,
            {{"NAME", 'C', 12, 0}, {"AMOUNT", 'N', 8, 2}, {"BORN", 'D', 8, 0}, {"OK", 'L', 1, 0}},
            {{"Ada", "1.5", "1990-01-02", "T"}, {"Bob", "2", "", "F"}, {"Cy", "-3", "2001-05-06", "T"},
             {"Di", "4.25", "2010-10-10", "F"}});
        m_original = ReadFileBytes(m_strPath);
        ui_test::ShowActive(*Frame());
        ASSERT_NE(Open(m_strPath), nullptr);
        View()->setFocus();
        ui_test::Settle();
    }
    // Types a text into a cell and commits it with Enter.
    void TypeInto(int nCol, int nRow, const QString& strText) {
        View()->GoToCell(nCol, nRow);
        View()->setFocus();
        ui_test::Settle();
        ui_test::Type(strText);
        ui_test::Key(Qt::Key_Return);
    }
    Bytes Record(const Bytes& file, int n) const {
        return Bytes(file.begin() + long(kHeader + size_t(n) * kRecord), file.begin() + long(kHeader + size_t(n + 1) * kRecord));
    }
};

TEST_F(EditSaveTest, TypedCellsAreSavedWithABackupAndOtherRecordsKeepTheirBytes) {
    TypeInto(0, 1, "Zed");
    TypeInto(1, 1, "12.5");
    TypeInto(2, 1, "2023-12-24");
    View()->GoToCell(3, 1);
    ui_test::Key(Qt::Key_Space);
    View()->GoToCell(0, 0);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_TRUE(Frame()->windowTitle().startsWith("Tabulon"));
    ui_test::Key(Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(Doc()->IsModified());

    Bytes saved = ReadFileBytes(m_strPath);
    ASSERT_EQ(saved.size(), m_original.size());
    for (int n : {0, 2, 3})
        EXPECT_EQ(Record(saved, n), Record(m_original, n)) << "record " << n;
    EXPECT_EQ(ReadFileBytes(m_dir.Path("people.bak")), m_original);
    std::string strRead = editor_test::ReadWithDbfread(m_strPath);
    if (strRead != "SKIP\n") {
        EXPECT_NE(strRead.find("'Zed'|12.5|datetime.date(2023, 12, 24)|True"), std::string::npos) << strRead;
    }
}

TEST_F(EditSaveTest, AValueThatIsNoDateIsRefusedWithItsReasonAndTheEditorKeepsIt) {
    CScopedMessageBoxHook hook;
    View()->GoToCell(2, 0);
    ui_test::Type("31.02.2024x");
    ui_test::Key(Qt::Key_Return);
    ASSERT_EQ(hook.GetRequests().size(), 1u);
    EXPECT_TRUE(hook.GetRequests()[0].strText.contains("is not a date"));
    EXPECT_EQ(View()->GetCurrentRow() - View()->GetFixedRowCount(), 0) << "the cell stays current";
    EXPECT_EQ(Cell(2, 0), "02.01.1990") << "the record is unchanged";
    EXPECT_FALSE(Doc()->IsModified());
}

// The cells show dates day first ("Euro") and numbers with a point; a user
// whose locale puts the month first, or the comma, types back what a cell
// shows and gets that value, not another nor a refusal.
TEST_F(EditSaveTest, ValuesTypedAsTheCellsShowThemMeanWhatTheyShowedWhateverTheLocale) {
    platform::CScopedUserLocale usa(platform::CUserLocale::FromName("en_US.UTF-8"));
    TypeInto(2, 0, "04.03.2024");
    EXPECT_EQ(Cell(2, 0), "04.03.2024");
    {
        platform::CScopedUserLocale german(platform::CUserLocale::FromName("de_DE.UTF-8"));
        TypeInto(1, 0, "1.25");
        EXPECT_EQ(Cell(1, 0), "1.25");
        TypeInto(1, 1, "2,5");
        EXPECT_EQ(Cell(1, 1), "2.50");
    }
    dbf::FieldValue value;
    Doc()->m_table.SetAbsolutePosition(0);
    Doc()->m_table.GetFieldValue(2, value);
    EXPECT_EQ(cell_text::FormatValue(value, Doc()->m_table.GetTableDef()->GetFieldInfo(2), 8, "%Y-%m-%d"),
              "2024-03-04");
}

TEST_F(EditSaveTest, TheClosePromptSeesTheOpenEditorsText) {
    for (int nAnswer : {IDNO, IDYES}) {
        SCOPED_TRACE(nAnswer);
        if (!Doc()) {
            ASSERT_NE(Open(m_strPath), nullptr);
        }
        View()->GoToCell(0, 2);
        View()->setFocus();
        ui_test::Settle();
        ui_test::Type("Typed");  // the editor is still open
        CScopedMessageBoxHook hook([&](const MessageBoxRequest&) { return nAnswer; });
        Command(ID_FILE_CLOSE);
        ASSERT_EQ(hook.GetRequests().size(), 1u) << "asked once";
        EXPECT_EQ(Doc(), nullptr);
        std::string strRead = editor_test::ReadWithDbfread(m_strPath);
        if (nAnswer == IDNO) {
            EXPECT_EQ(ReadFileBytes(m_strPath), m_original);
        } else if (strRead != "SKIP\n") {
            EXPECT_NE(strRead.find("'Typed'"), std::string::npos) << strRead;
        }
    }
}

TEST_F(EditSaveTest, AFailedSaveIsSaidAndKeepsTheEditsAndTheModifiedFlag) {
    TypeInto(0, 0, "New");
    {
        FileFaults::Scope faults;
        FileFaults::Arm(FileFaults::Op::write, 1, ENOSPC, true);
        CScopedMessageBoxHook hook;
        Command(ID_FILE_SAVE);
        ASSERT_EQ(hook.GetRequests().size(), 1u);
        EXPECT_TRUE(hook.GetRequests()[0].strText.startsWith("The table was not saved"));
    }
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(Cell(0, 0), "New");
    EXPECT_EQ(ReadFileBytes(m_strPath), m_original);
}

TEST_F(EditSaveTest, ATableChangedOnDiskAsksWhetherToOverwriteReloadOrCancel) {
    TypeInto(0, 0, "Mine");
    // Another program appends a record behind our back.
    Bytes other = m_original;
    other.insert(other.end() - 1, m_original.begin() + long(kHeader), m_original.begin() + long(kHeader + kRecord));
    other[4] = 5;
    testing_support::WriteFileBytes(m_strPath, other);

    CScopedMessageBoxHook cancel([](const MessageBoxRequest&) { return IDCANCEL; });
    Command(ID_FILE_SAVE);
    EXPECT_TRUE(Doc()->IsModified());
    EXPECT_EQ(ReadFileBytes(m_strPath), other);

    CScopedMessageBoxHook reload([](const MessageBoxRequest&) { return IDNO; });
    Command(ID_FILE_SAVE);
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_EQ(View()->GetRowCount(), 5) << "the other program's record is shown";
    EXPECT_EQ(Cell(0, 0), "Ada");
}

TEST_F(EditSaveTest, HeaderReleasesSortAscendingDescendingAscending) {
    const char* const kFirst[] = {"-3.00", "4.25", "-3.00"};
    for (int i = 0; i < 3; ++i) {
        View()->OnColumnHeaderUp(1, 0);
        EXPECT_EQ(Cell(1, 0), kFirst[i]);
        int nCol = -1, nRow = -1, nDirection = -1;
        View()->GetSortIndicator(nCol, nRow, nDirection);
        EXPECT_EQ(nCol, 1) << "the arrow stands on the sorted column";
        EXPECT_EQ(nDirection, i % 2);
    }
}

TEST_F(EditSaveTest, TheStateColumnTogglesTheDeleteMarkAndMarksTheTableModified) {
    // A real double click in the state column (the second row header) of data row 1.
    ui_test::ShowActive(*Frame());
    const int nHeight = View()->GetRowHeight();
    const QPoint pt(View()->GetFixedColumnWidth() + 3, (View()->GetFixedRowCount() + 1) * nHeight + nHeight / 2);
    QTest::mouseDClick(View()->viewport(), Qt::LeftButton, Qt::NoModifier, pt);
    ui_test::Settle();
    EXPECT_TRUE(View()->IsRowDeleted(1));
    EXPECT_FALSE(View()->IsRowDeleted(0));
    EXPECT_TRUE(Doc()->IsModified());
    View()->OnRowHeaderDblClk(1, 1);
    EXPECT_FALSE(View()->IsRowDeleted(1));
}

TEST_F(EditSaveTest, AReadOnlyTableOffersNoEditorNorDeleteToggleNorSave) {
    Command(ID_FILE_CLOSE);
    testing_support::WriteFileBytes(m_dir.Path("people.ini"), std::string("[File]\nTypeFileOpen=ReadOnly\n"));
    ASSERT_NE(Open(m_strPath), nullptr);
    EXPECT_TRUE(Doc()->IsReadOnly());
    View()->OnRowHeaderDblClk(1, 1);
    EXPECT_FALSE(View()->IsRowDeleted(1));
    EXPECT_FALSE(Doc()->IsModified());
    EXPECT_FALSE(State(ID_FILE_SAVE).IsEnabled());
    View()->GoToCell(0, 0);
    ui_test::Type("x");
    EXPECT_EQ(View()->GetCurrentEditor(), nullptr);
}

// A table its user may not write opens for reading, says so in its title,
// and offers no editor (as root every file is writable: nothing to try).
TEST_F(EditSaveTest, ATableThatCannotBeWrittenOpensReadOnlyAndSaysSo) {
    if (::geteuid() == 0)
        GTEST_SKIP() << "root may write any file";
    Command(ID_FILE_CLOSE);
    ASSERT_EQ(::chmod(m_strPath.c_str(), 0444), 0);
    ASSERT_NE(Open(m_strPath), nullptr);
    EXPECT_TRUE(Doc()->IsReadOnly());
    EXPECT_EQ(Doc()->GetTitle().toStdString(), "people.dbf (read only)");
    View()->GoToCell(0, 0);
    ui_test::Type("x");
    EXPECT_EQ(View()->GetCurrentEditor(), nullptr);
    EXPECT_FALSE(State(ID_FILE_SAVE).IsEnabled());
}

}  // namespace
