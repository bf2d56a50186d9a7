// The settings sheets and the Columns command driven by control ids: what
// each sheet writes (read back byte for byte), which pages apply, the
// reopen in another mode and its failures, write failures said, and the
// Columns dialog's result applied to the window.
#include <csignal>
#include <cstdlib>
#include <functional>
#include <sys/wait.h>
#include <unistd.h>

#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QPushButton>
#include <QRadioButton>

#include "editor/settings_sheets.h"
#include "grid/columns/columns_dlg.h"
#include "platform/core/file.h"
#include "platform/core/private_profile.h"
#include "tests/editor/editor_test_support.h"

namespace {

using editor_test::TabulonTest;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;
using namespace platform;

std::string FileText(const std::string& strPath) {
    if (!CFile::Exists(strPath))
        return "<absent>";
    testing_support::Bytes bytes = ReadFileBytes(strPath);
    return std::string(bytes.begin(), bytes.end());
}

// Clicks a page's radio button or check box as a user does.
void Click(CPropertyPage* pPage, int nId) {
    auto* pButton = pPage->GetDlgItem<QAbstractButton>(nId);
    ASSERT_NE(pButton, nullptr) << "control " << nId;
    pButton->click();
}

// Chooses an item of a page's list as a user does.
void Choose(CPropertyPage* pPage, int nId, int nIndex) {
    auto* pList = pPage->GetDlgItem<QComboBox>(nId);
    ASSERT_NE(pList, nullptr) << "control " << nId;
    pList->setCurrentIndex(nIndex);
    emit pList->activated(nIndex);
}

bool Checked(CPropertyPage* pPage, int nId) {
    auto* pButton = pPage->GetDlgItem<QAbstractButton>(nId);
    return pButton && pButton->isChecked();
}

class SettingsSheetTest : public TabulonTest {
protected:
    std::string m_strTable;
    std::string m_strIni;

    void SetUp() override {
        TabulonTest::SetUp();
        m_strTable = editor_test::MakeTable(m_dir.Path("stock.dbf"), 0x03,
                                            {{"ITEM", 'C', 10, 0}, {"BORN", 'D', 8, 0}, {"QTY", 'N', 5, 0}},
                                            {{"Tea", "2024-03-01", "1"}, {"Jam", "2023-12-31", "2"}}, {1});
        m_strIni = m_dir.Path("stock.ini");
    }

    // Runs a command whose sheet (or dialog) the function answers; the
    // result the dialog ended with (-1 while it stays open).
    int RunSheet(unsigned nCommand, const std::function<void(CDialog&)>& answer) {
        int nResult = -2;
        CScopedDialogHook hook([&](CDialog& dialog) {
            answer(dialog);
            nResult = dialog.GetModalResult();
            return nResult < 0 ? IDCANCEL : nResult;
        });
        Command(nCommand);
        EXPECT_GE(hook.GetCount(), 1) << "no dialog was shown";
        return nResult;
    }
};

// ---- the program's sheet ----------------------------------------------------------------------

TEST_F(SettingsSheetTest, ProgramSheetOkAfterOnlyTheFilePageWritesNoViewKey) {
    int nResult = RunSheet(ID_SETTING_PROGRAM, [](CDialog& dialog) {
        auto& sheet = dynamic_cast<CSettingPrpSheet&>(dialog);
        EXPECT_EQ(sheet.windowTitle().toStdString(), "Programm setting (for file by default)");
        CPropertyPage* pFile = sheet.GetFilePage();
        // The defaults: read and write, no settings files made.
        EXPECT_TRUE(Checked(pFile, IDC_OPEN_READ_WRITE));
        EXPECT_FALSE(Checked(pFile, IDC_AUTO_CREATE_INI));
        EXPECT_FALSE(sheet.GetApplyButton()->isEnabled());
        Click(pFile, IDC_OPEN_EXCLUSIVE);
        Click(pFile, IDC_AUTO_CREATE_INI);
        EXPECT_TRUE(sheet.GetApplyButton()->isEnabled()) << "a changed page makes Apply active";
        EXPECT_FALSE(sheet.GetViewPage()->IsInitialized());
        sheet.OnOK();
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(FileText(SettingsPath()), "[Setting]\nAutoCreateIni=True\nTypeFileOpen=LockFile\n");
}

TEST_F(SettingsSheetTest, ProgramSheetWritesEveryKeyAndLeavesOpenTablesAsTheyAre) {
    ASSERT_NE(Open(m_strTable), nullptr);
    ASSERT_EQ(Doc()->m_nOpenMode, 66u);
    // A date format that is none of the three selects nothing, and is kept.
    WriteFileBytes(SettingsPath(), std::string("[Fields]\nDateFormat=iso\n"));
    int nResult = RunSheet(ID_SETTING_PROGRAM, [](CDialog& dialog) {
        auto& sheet = dynamic_cast<CSettingPrpSheet&>(dialog);
        CPropertyPage* pFile = sheet.GetFilePage();
        CPropertyPage* pView = sheet.GetViewPage();
        Click(pFile, IDC_OPEN_READ_ONLY);
        ASSERT_TRUE(sheet.SetActivePage(1));
        EXPECT_TRUE(Checked(pView, IDC_CODEPAGE_AUTO));
        EXPECT_TRUE(Checked(pView, IDC_SHOW_DELETED));
        auto* pDates = pView->GetDlgItem<QComboBox>(IDC_DATE_FORMAT);
        ASSERT_EQ(pDates->count(), 3);
        EXPECT_EQ(pDates->itemText(1).toStdString(), "mm/dd/yyyy");
        EXPECT_EQ(pDates->itemData(1).toUInt(), 59422u);
        EXPECT_EQ(pDates->currentIndex(), -1);
        sheet.Apply();
        EXPECT_FALSE(sheet.GetApplyButton()->isEnabled()) << "applied: nothing is modified any more";
        Click(pView, IDC_CODEPAGE_DOS);
        Click(pView, IDC_SHOW_DELETED);
        auto* pOem = pView->GetDlgItem<QComboBox>(IDC_OEM_CODE_PAGE);
        int nCp866 = pOem->findData(QStringLiteral("CP866"));
        ASSERT_GT(nCp866, 0);
        Choose(pView, IDC_OEM_CODE_PAGE, nCp866);
        sheet.OnOK();
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_EQ(FileText(SettingsPath()),
              "[Fields]\nDateFormat=iso\n\n[Setting]\nAutoCreateIni=False\nTypeFileOpen=ReadOnly\n\n"
              "[View]\nCodePage=DOS\nOemCodePage=CP866\nAnsiCodePage=\n\n[Records]\nShowDeleded=False\n");
    EXPECT_EQ(Doc()->m_nOpenMode, 66u) << "open tables keep their mode";
    EXPECT_FALSE(Doc()->IsReadOnly());

    RunSheet(ID_SETTING_PROGRAM, [](CDialog& dialog) {
        auto& sheet = dynamic_cast<CSettingPrpSheet&>(dialog);
        sheet.SetActivePage(1);
        Choose(sheet.GetViewPage(), IDC_DATE_FORMAT, 0);
        sheet.OnOK();
    });
    EXPECT_EQ(CPrivateProfile::Read(SettingsPath()).GetString("Fields", "DateFormat", ""), "ANSI");
}

TEST_F(SettingsSheetTest, AFailedWriteOnOkIsSaidAndTheSheetStaysOpen) {
    CScopedMessageBoxHook boxes;
    FileFaults::Scope faults;
    int nResult = RunSheet(ID_SETTING_PROGRAM, [](CDialog& dialog) {
        auto& sheet = dynamic_cast<CSettingPrpSheet&>(dialog);
        FileFaults::Arm(FileFaults::Op::write, 1, ENOSPC, true);
        sheet.OnOK();
    });
    EXPECT_EQ(nResult, -1);
    ASSERT_EQ(boxes.GetRequests().size(), 1u);
    EXPECT_TRUE(boxes.GetRequests()[0].strText.contains(QString::fromStdString(SettingsPath())));
    EXPECT_EQ(FileText(SettingsPath()), "<absent>");
}

// ---- the table's sheet ------------------------------------------------------------------------

TEST_F(SettingsSheetTest, TableSheetAppliesToTheWindowAndWritesEvenWithAutoSaveOff) {
    WriteFileBytes(m_strIni, std::string("[Setting]\nAutoSaveChange=False\n"));
    ASSERT_NE(Open(m_strTable), nullptr);
    ASSERT_TRUE(Doc()->m_bDosCodePage) << "dBASE III text is DOS text by default";
    ASSERT_EQ(View()->GetRecordCount(), 2);
    int nResult = RunSheet(ID_SETTING_FILE, [&](CDialog& dialog) {
        if (auto* pColumns = dynamic_cast<CColumnsDlg*>(&dialog)) {
            // "settings...": the second field goes first and the third hides.
            pColumns->GetList()->MoveToEntry(1);
            pColumns->OnUp();
            pColumns->GetList()->MoveToEntry(2);
            pColumns->OnHide();
            pColumns->OnOK();
            return;
        }
        auto& sheet = dynamic_cast<CFileSettingPrpSheet&>(dialog);
        EXPECT_EQ(sheet.windowTitle().toStdString(), "File setting");
        CPropertyPage* pFile = sheet.GetFilePage();
        EXPECT_TRUE(Checked(pFile, IDC_OPEN_READ_WRITE));
        EXPECT_FALSE(Checked(pFile, IDC_AUTO_SAVE_CHANGE));
        ASSERT_TRUE(sheet.SetActivePage(1));
        CPropertyPage* pView = sheet.GetViewPage();
        EXPECT_TRUE(Checked(pView, IDC_CODEPAGE_DOS));
        EXPECT_TRUE(Checked(pView, IDC_SHOW_DELETED));
        EXPECT_EQ(pView->GetDlgItem<QComboBox>(IDC_DATE_FORMAT)->currentIndex(), 2) << "dd.mm.yyyy by default";
        Click(pView, IDC_CODEPAGE_WIN);
        Click(pView, IDC_SHOW_DELETED);
        Choose(pView, IDC_DATE_FORMAT, 1);
        pView->GetDlgItem<QPushButton>(IDC_COLUMNS_SETTINGS)->click();
        EXPECT_TRUE(sheet.GetApplyButton()->isEnabled());
        sheet.OnOK();
    });
    EXPECT_EQ(nResult, IDOK);
    CDBFDoc* pDoc = Doc();
    EXPECT_FALSE(pDoc->m_bDosCodePage);
    EXPECT_EQ(pDoc->m_strDateFormat, "%m/%d/%Y");
    EXPECT_EQ(View()->GetRecordCount(), 1) << "the deleted record is hidden";
    ASSERT_EQ(View()->GetColumnCount(-1), 2);
    EXPECT_EQ(View()->GetColumnHeader(0, 0).strText, "BORN");
    EXPECT_EQ(Cell(0, 0), "03/01/2024");
    // The widths are the ones the window gave its columns when it opened.
    auto width = [&](size_t i) { return std::to_string(pDoc->m_columns[i].nWidth); };
    EXPECT_EQ(FileText(m_strIni),
              "[Setting]\nAutoSaveChange=False\n\n[File]\nTypeFileOpen=ReadWrite\n\n[Fields]\nDateFormat=USA\n\n"
              "[Grid]\nColField1=BORN\nColVisibl1=TRUE\nColWidth1=" + width(0) + "\nColHead1=BORN\n"
              "ColField2=ITEM\nColVisibl2=TRUE\nColWidth2=" + width(1) + "\nColHead2=ITEM\n"
              "ColField3=QTY\nColVisibl3=FALSE\nColWidth3=" + width(2) + "\nColHead3=QTY\nCodePage=WIN\n\n"
              "[Records]\nShowDeleded=False\n");
    // AutoSaveChange is off: closing the window leaves the file as the sheet wrote it.
    std::string strWritten = FileText(m_strIni);
    View()->SetColumnWidth(0, 0, 77);
    Command(ID_FILE_CLOSE);
    EXPECT_EQ(FileText(m_strIni), strWritten);
}

TEST_F(SettingsSheetTest, TheSameModeReopensNothing) {
    ASSERT_NE(Open(m_strTable), nullptr);
    // A reopen would meet no file.
    ASSERT_EQ(std::rename(m_strTable.c_str(), m_dir.Path("moved.dbf").c_str()), 0);
    CScopedMessageBoxHook boxes;
    int nResult = RunSheet(ID_SETTING_FILE, [](CDialog& dialog) {
        auto& sheet = dynamic_cast<CFileSettingPrpSheet&>(dialog);
        Click(sheet.GetFilePage(), IDC_OPEN_READ_WRITE);
        sheet.OnOK();
    });
    EXPECT_EQ(nResult, IDOK);
    EXPECT_TRUE(boxes.GetRequests().empty());
    EXPECT_TRUE(Doc()->IsTableOpen());
    EXPECT_EQ(FileText(m_strIni), "[Setting]\nAutoSaveChange=True\n\n[File]\nTypeFileOpen=ReadWrite\n");
}

// A process of its own holding the table open (read and write, shared) until
// the object goes.
class CHolder {
public:
    explicit CHolder(const std::string& strPath) {
        int fds[2];
        if (::pipe(fds) != 0)
            return;
        m_pid = ::fork();
        if (m_pid == 0) {
            ::close(fds[0]);
            CFile file;
            char c = file.Open(strPath, 66 | 0x8000) ? 'y' : 'n';
            (void)!::write(fds[1], &c, 1);
            ::pause();
            ::_exit(0);
        }
        ::close(fds[1]);
        char c = 0;
        m_bHolding = ::read(fds[0], &c, 1) == 1 && c == 'y';
        ::close(fds[0]);
    }
    ~CHolder() {
        if (m_pid > 0) {
            ::kill(m_pid, SIGKILL);
            ::waitpid(m_pid, nullptr, 0);
        }
    }
    bool IsHolding() const { return m_bHolding; }

private:
    pid_t m_pid = -1;
    bool m_bHolding = false;
};

TEST_F(SettingsSheetTest, AFailedReopenKeepsTheSheetOpenAndTheSettingsFileUnchanged) {
    WriteFileBytes(m_strIni, std::string("[Setting]\nAutoSaveChange=True\n"));
    std::string strBefore = FileText(m_strIni);
    ASSERT_NE(Open(m_strTable), nullptr);
    auto tryExclusive = [&](const std::function<void()>& arrange) {
        CScopedMessageBoxHook boxes;
        int nResult = RunSheet(ID_SETTING_FILE, [&](CDialog& dialog) {
            auto& sheet = dynamic_cast<CFileSettingPrpSheet&>(dialog);
            Click(sheet.GetFilePage(), IDC_OPEN_EXCLUSIVE);
            Click(sheet.GetFilePage(), IDC_AUTO_SAVE_CHANGE);
            // A page after the one that refuses is not applied.
            sheet.SetActivePage(1);
            Click(sheet.GetViewPage(), IDC_CODEPAGE_WIN);
            arrange();
            sheet.OnOK();
            EXPECT_EQ(sheet.GetActivePage(), sheet.GetFilePage());
        });
        EXPECT_EQ(nResult, -1) << "the sheet stays open";
        ASSERT_EQ(boxes.GetRequests().size(), 1u);
        EXPECT_EQ(boxes.GetRequests()[0].nStringId, unsigned(IDS_CANT_REOPEN));
        EXPECT_EQ(FileText(m_strIni), strBefore);
        EXPECT_EQ(Doc()->m_nOpenMode, 66u);
        EXPECT_TRUE(Doc()->IsTableOpen());
        EXPECT_TRUE(Doc()->m_bDosCodePage);
    };
    {
        FileFaults::Scope faults;
        tryExclusive([] { FileFaults::Arm(FileFaults::Op::open, 1, EACCES); });
    }
    CHolder holder(m_strTable);
    ASSERT_TRUE(holder.IsHolding());
    tryExclusive([] {});
}

TEST_F(SettingsSheetTest, ASuccessfulReopenIsStoredAndMakesTheWindowReadOnly) {
    ASSERT_NE(Open(m_strTable), nullptr);
    RunSheet(ID_SETTING_FILE, [](CDialog& dialog) {
        auto& sheet = dynamic_cast<CFileSettingPrpSheet&>(dialog);
        Click(sheet.GetFilePage(), IDC_OPEN_READ_ONLY);
        sheet.OnOK();
    });
    EXPECT_EQ(Doc()->m_nOpenMode, 64u);
    EXPECT_TRUE(Doc()->IsReadOnly());
    EXPECT_FALSE(State(ID_FILE_SAVE).IsEnabled());
    EXPECT_EQ(CPrivateProfile::Read(m_strIni).GetString("File", "TypeFileOpen", ""), "ReadOnly");
}

// ---- the Columns command ------------------------------------------------------------------------

TEST_F(SettingsSheetTest, ColumnsAppliesTheLayoutAtOnceAndCancelChangesNothing) {
    ASSERT_NE(Open(m_strTable), nullptr);
    View()->GoToCell(2, 1);
    platform::ColumnLayout before = Doc()->m_columns;
    RunSheet(ID_VIEW_COLUMNS, [](CDialog& dialog) {
        auto& columns = dynamic_cast<CColumnsDlg&>(dialog);
        columns.GetList()->MoveToEntry(0);
        columns.OnHide();
        dialog.OnCancel();
    });
    EXPECT_EQ(View()->GetColumnCount(-1), 3);
    EXPECT_EQ(Doc()->m_columns.size(), before.size());
    EXPECT_TRUE(Doc()->m_columns[0].bVisible);

    RunSheet(ID_VIEW_COLUMNS, [](CDialog& dialog) {
        auto& columns = dynamic_cast<CColumnsDlg&>(dialog);
        EXPECT_EQ(columns.GetVariant(), ColumnsDlgVariant::Editor);
        columns.GetList()->MoveToEntry(2);
        columns.OnUp();
        columns.OnUp();
        columns.GetList()->MoveToEntry(1);
        columns.OnHide();
        columns.OnOK();
    });
    CDBFView* pView = View();
    ASSERT_EQ(pView->GetColumnCount(-1), 2);
    EXPECT_EQ(pView->GetColumnHeader(0, 0).strText, "QTY");
    EXPECT_EQ(pView->GetColumnHeader(1, 0).strText, "BORN");
    EXPECT_EQ(pView->GetCurrentColumn() - pView->GetFixedColumnCount(), 0);
    EXPECT_EQ(pView->GetCurrentRow() - pView->GetFixedRowCount(), 0);
    EXPECT_EQ(Doc()->m_columns[0].nGridCol, 0);
    EXPECT_EQ(Doc()->m_columns[1].nGridCol, -1);
    EXPECT_FALSE(Doc()->IsModified()) << "the layout is no change of the table";
}

// Saves the Columns dialog and both sheets' pages as PNG files into the folder
// TABULON_SCREENSHOT_DIR names (run under Xvfb to look at them).
TEST_F(SettingsSheetTest, Screenshots) {
    const char* pszDir = std::getenv("TABULON_SCREENSHOT_DIR");
    if (!pszDir || !*pszDir)
        GTEST_SKIP() << "TABULON_SCREENSHOT_DIR names no folder";
    QDir().mkpath(QString::fromLocal8Bit(pszDir));
    auto save = [&](QWidget& window, const char* pszName) {
        ui_test::ShowActive(window);
        QTest::qWait(200);
        QString strFile = QString::fromLocal8Bit(pszDir) + QLatin1Char('/') + QLatin1String(pszName);
        EXPECT_TRUE(window.grab().save(strFile)) << strFile.toStdString();
        window.hide();
    };
    ASSERT_NE(Open(m_strTable), nullptr);
    RunSheet(ID_VIEW_COLUMNS, [&](CDialog& dialog) { save(dialog, "columns.png"); });
    RunSheet(ID_SETTING_PROGRAM, [&](CDialog& dialog) {
        auto& sheet = dynamic_cast<CPropertySheet&>(dialog);
        save(sheet, "setting_file.png");
        sheet.SetActivePage(1);
        save(sheet, "setting_view.png");
    });
    RunSheet(ID_SETTING_FILE, [&](CDialog& dialog) {
        auto& sheet = dynamic_cast<CPropertySheet&>(dialog);
        save(sheet, "file_setting_file.png");
        sheet.SetActivePage(1);
        save(sheet, "file_setting_view.png");
    });
}

}  // namespace
