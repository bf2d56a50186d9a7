// The table commands as a user gives them: Show and Modify structure with
// the exclusive-mode question, the structure dialog and its failures, Pack,
// and Save As into each dialect, read back by other DBF libraries.
#include <cerrno>
#include <sys/stat.h>

#include "engine/memory_cursorset.h"
#include "grid/structure/table_struct_dlg.h"
#include "platform/core/file.h"
#include "tests/editor/editor_test_support.h"
#include "tests/support/table_builder.h"

namespace {

using editor_test::TabulonTest;
using platform::IDNO;
using platform::IDYES;
using testing_support::TableBuilder;

constexpr unsigned kReadOnly = 64, kShared = 66, kExclusive = 18;

// ann, bob and cid with their quantities; bob deleted in the file when asked.
std::string WriteNames(const std::string& strPath, bool bBobDeleted = false) {
    return TableBuilder(0x03)
        .Field("NAME", 'C', 10)
        .Field("QTY", 'N', 5)
        .Record({"ann", "1"})
        .Record({"bob", "2"}, bBobDeleted ? '*' : ' ')
        .Record({"cid", "3"})
        .Write(strPath);
}

std::string Trimmed(std::string str) {
    while (!str.empty() && str.back() == ' ')
        str.pop_back();
    return str;
}

// What a table file holds, read by the engine: its field names, and per
// record the text of its first field, "*" in front when it is deleted.
struct TableFile {
    std::vector<std::string> fields;
    std::vector<std::string> records;
};

TableFile ReadTableFile(const std::string& strPath) {
    TableFile file;
    dbf::CDBFMemoryCursorset table;
    table.SetHideDeleted(false);
    table.Open(strPath, kReadOnly);
    if (!table.IsOpen())
        return file;
    for (int i = 0; i < table.GetFieldCount(); ++i)
        file.fields.push_back(table.GetTableDef()->GetFieldInfo(i).strName);
    for (int32_t n = 0; n < table.GetRecordCount(); ++n) {
        table.SetAbsolutePosition(n);
        dbf::FieldValue value = table.GetFieldValue(0);
        std::string strText = value.GetKind() == dbf::FieldKind::Text ? Trimmed(value.GetText()) : "?";
        file.records.push_back((table.IsDeletedOnDisk() ? "*" : "") + strText);
    }
    return file;
}

using Strings = std::vector<std::string>;

class TableCommands : public TabulonTest {
protected:
    CDBFDoc* OpenNames(unsigned nMode, bool bBobDeleted = false) {
        m_pApp->GetProgramSettings().SetOpenMode(nMode);
        m_strPath = WriteNames(m_dir.Path("names.dbf"), bBobDeleted);
        return Open(m_strPath);
    }
    // Types into the current cell as a user does, leaving its editor open.
    void TypeIntoCell(int nCol, int nRow, const QString& strText) {
        ui_test::ShowActive(*Frame());
        View()->GoToCell(nCol, nRow);
        View()->setFocus();
        ui_test::Settle();
        ui_test::Type(strText);
    }
    std::string m_strPath;
    // Answers any message box a test does not expect (its own hook comes first).
    platform::CScopedMessageBoxHook m_unexpectedBoxes;
};

// ---- Show and Modify structure ----------------------------------------------------------------

TEST_F(TableCommands, ModifyStructureAsksForExclusiveModeOnlyWhenSharedAndShowsReadOnlyOtherwise) {
    const struct {
        const char* pszCase;
        unsigned nMode;
        unsigned nCommand;
        int nAnswer;
        int nQuestions;
        bool bModifying;
    } cases[] = {
        {"shared, Yes", kShared, ID_FILE_MODIFY_STRUCTURE, IDYES, 1, true},
        {"shared, No", kShared, ID_FILE_MODIFY_STRUCTURE, IDNO, 1, false},
        {"exclusive", kExclusive, ID_FILE_MODIFY_STRUCTURE, IDYES, 0, true},
        {"read only", kReadOnly, ID_FILE_MODIFY_STRUCTURE, IDYES, 0, false},
        {"Show structure", kExclusive, ID_FILE_SHOW_STRUCTURE, IDYES, 0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        CDBFDoc* pDoc = OpenNames(c.nMode);
        ASSERT_NE(pDoc, nullptr);
        platform::CScopedMessageBoxHook questions([&](const platform::MessageBoxRequest&) { return c.nAnswer; });
        bool bSaveEnabled = true;
        int nFields = 0;
        platform::CScopedDialogHook structure([&](platform::CDialog& dialog) {
            auto& structDlg = dynamic_cast<CTableStructDlg&>(dialog);
            bSaveEnabled = structDlg.GetDlgItem(IDC_STRUCT_ADD)->isEnabled();
            nFields = int(structDlg.GetGrid()->GetRowCount());
            return platform::IDCANCEL;
        });
        EXPECT_TRUE(Command(c.nCommand));
        ASSERT_EQ(int(questions.GetRequests().size()), c.nQuestions);
        if (c.nQuestions) {
            EXPECT_EQ(questions.GetRequests()[0].nStringId, IDS_OPEN_EXCLUSIVE);
        }
        EXPECT_EQ(structure.GetCount(), 1);
        EXPECT_EQ(nFields, 2);
        EXPECT_EQ(bSaveEnabled, c.bModifying);
        // Closing the dialog changes nothing, the mode included.
        EXPECT_EQ(pDoc->m_nOpenMode, c.nMode);
        EXPECT_EQ(pDoc->m_table.GetFieldCount(), 2);
        EXPECT_FALSE(platform::CFile::Exists(m_dir.Path("names.bak")));
        pDoc->OnCloseDocument();
        ui_test::Settle();
    }
}

TEST_F(TableCommands, ModifyStructureWritesTheWindowsEditsIntoTheNewFileAndShowsTheDefaultLayout) {
    CDBFDoc* pDoc = OpenNames(kShared);
    ASSERT_NE(pDoc, nullptr);
    // A layout of the user's own: a narrow first column, the second hidden.
    pDoc->m_columns[0].nWidth = 33;
    pDoc->m_columns[1].bVisible = false;
    View()->OnInitialUpdate();
    // Unsaved: a changed cell, and a record deleted from the row header.
    ASSERT_TRUE(View()->StoreCellText(0, 0, "anna"));
    pDoc->SetModifiedFlag(true);
    View()->OnRowHeaderDblClk(1, 2);
    ASSERT_TRUE(View()->IsRowDeleted(2));

    platform::CScopedMessageBoxHook yes([](const platform::MessageBoxRequest&) { return IDYES; });
    platform::CScopedDialogHook addField([](platform::CDialog& dialog) {
        auto& structDlg = dynamic_cast<CTableStructDlg&>(dialog);
        structDlg.OnAdd();  // after the current field, NAME
        structDlg.OnSave();
        return structDlg.GetModalResult();
    });
    ASSERT_TRUE(Command(ID_FILE_MODIFY_STRUCTURE));
    EXPECT_EQ(yes.GetRequests().size(), 1u) << "the question only: no failure was reported";

    EXPECT_EQ(ReadTableFile(m_strPath).fields, (Strings{"NAME", "NEWFIELD", "QTY"}));
    EXPECT_EQ(ReadTableFile(m_strPath).records, (Strings{"anna", "bob", "*cid"}));
    EXPECT_EQ(ReadTableFile(m_dir.Path("names.bak")).fields, (Strings{"NAME", "QTY"}));
    EXPECT_FALSE(pDoc->IsModified());
    // Back in the mode it had: another program may open the file again.
    EXPECT_EQ(pDoc->m_nOpenMode, kShared);
    platform::CFile other;
    EXPECT_TRUE(other.Open(m_strPath, kShared | platform::typeBinary));
    // The window shows every field of the new structure with automatic widths.
    ASSERT_EQ(pDoc->m_columns.size(), 3u);
    ASSERT_EQ(View()->GetColumnCount(-1), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(pDoc->m_columns[size_t(i)].bVisible);
        EXPECT_EQ(pDoc->m_columns[size_t(i)].nGridCol, i);
    }
    EXPECT_EQ(pDoc->m_columns[1].strHead, "NEWFIELD");
    EXPECT_NE(View()->GetColumnWidth(0, -1), 33);
    EXPECT_EQ(View()->GetRowCount(), 3);
    EXPECT_EQ(Cell(0, 0), "anna");
    EXPECT_EQ(Cell(2, 1), "2");
}

TEST_F(TableCommands, AFailedRestructureKeepsTheTableItsEditsItsLayoutAndItsMode) {
    // What fails: the save before it, the temporary file, the rename.
    const struct {
        const char* pszCase;
        const char* pszBlocked;  // a folder where a file must go
        bool bFailRename;
    } cases[] = {
        {"the save", "names.bak", false},
        {"the new file", "names._tmp", false},
        {"the rename", nullptr, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszCase);
        CDBFDoc* pDoc = OpenNames(kShared);
        ASSERT_NE(pDoc, nullptr);
        pDoc->m_columns[0].nWidth = 33;
        View()->OnInitialUpdate();
        ASSERT_TRUE(View()->StoreCellText(0, 1, "bobby"));
        pDoc->SetModifiedFlag(true);
        if (c.pszBlocked) {
            ASSERT_EQ(mkdir(m_dir.Path(c.pszBlocked).c_str(), 0755), 0);
        }
        platform::FileFaults::Scope faults;
        if (c.bFailRename)
            platform::FileFaults::Arm(platform::FileFaults::Op::rename, 1, EACCES);

        platform::CScopedMessageBoxHook boxes([](const platform::MessageBoxRequest&) { return IDYES; });
        platform::CScopedDialogHook addField([](platform::CDialog& dialog) {
            auto& structDlg = dynamic_cast<CTableStructDlg&>(dialog);
            structDlg.OnAdd();
            structDlg.OnSave();
            return structDlg.GetModalResult();
        });
        ASSERT_TRUE(Command(ID_FILE_MODIFY_STRUCTURE));
        EXPECT_EQ(boxes.GetRequests().size(), 2u) << "the question, then the failure";

        EXPECT_EQ(pDoc->m_table.GetFieldCount(), 2);
        EXPECT_EQ(pDoc->m_table.GetTableDef()->GetStructMode(), 0) << "the structure edit was dropped";
        EXPECT_EQ(ReadTableFile(m_strPath).fields, (Strings{"NAME", "QTY"}));
        EXPECT_EQ(View()->GetRowCount(), 3);
        EXPECT_EQ(Cell(0, 1), "bobby");
        EXPECT_EQ(View()->GetColumnWidth(0, -1), 33);
        EXPECT_TRUE(pDoc->IsModified());
        EXPECT_EQ(pDoc->m_nOpenMode, kShared);
        pDoc->SetModifiedFlag(false);
        pDoc->OnCloseDocument();
        ui_test::Settle();
        if (c.pszBlocked)
            rmdir(m_dir.Path(c.pszBlocked).c_str());
    }
}

// ---- Pack --------------------------------------------------------------------------------------

TEST_F(TableCommands, PackEndsTheOpenEditRemovesTheDeletedRecordAndClearsModified) {
    CDBFDoc* pDoc = OpenNames(kShared, true);
    ASSERT_NE(pDoc, nullptr);
    ASSERT_EQ(View()->GetRowCount(), 3);
    // An edit still open in cid's row: it must stay cid's when the rows move up.
    TypeIntoCell(0, 2, QStringLiteral("Z"));
    ASSERT_NE(View()->GetCurrentEditor(), nullptr);

    platform::CScopedMessageBoxHook boxes;
    ASSERT_TRUE(Command(ID_FILE_PACK));
    EXPECT_TRUE(boxes.GetRequests().empty());
    TableFile file = ReadTableFile(m_strPath);
    ASSERT_EQ(file.records.size(), 2u);
    EXPECT_EQ(file.records[0], "ann");
    EXPECT_NE(file.records[1].find('Z'), std::string::npos) << file.records[1];
    EXPECT_EQ(View()->GetRowCount(), 2);
    EXPECT_EQ(Cell(0, 0), "ann");
    EXPECT_FALSE(pDoc->IsModified());
    EXPECT_EQ(pDoc->m_nOpenMode, kShared);
    platform::CFile other;
    EXPECT_TRUE(other.Open(m_strPath, kShared | platform::typeBinary));
}

TEST_F(TableCommands, PackIsOfferedOnlyForWritableTablesAndChangesNothingWhileAnotherProgramHoldsTheFile) {
    CDBFDoc* pDoc = OpenNames(kReadOnly, true);
    ASSERT_NE(pDoc, nullptr);
    EXPECT_FALSE(State(ID_FILE_PACK).IsEnabled());
    pDoc->OnCloseDocument();
    ui_test::Settle();

    pDoc = OpenNames(kShared, true);
    ASSERT_NE(pDoc, nullptr);
    EXPECT_TRUE(State(ID_FILE_PACK).IsEnabled());
    testing_support::Bytes before = testing_support::ReadFileBytes(m_strPath);
    pDoc->SetModifiedFlag(true);
    platform::CFile other;
    ASSERT_TRUE(other.Open(m_strPath, kShared | platform::typeBinary));
    platform::CScopedMessageBoxHook boxes;
    ASSERT_TRUE(Command(ID_FILE_PACK));
    ASSERT_EQ(boxes.GetRequests().size(), 1u);
    EXPECT_EQ(boxes.GetRequests()[0].nStringId, IDS_CANT_REOPEN);
    EXPECT_EQ(testing_support::ReadFileBytes(m_strPath), before);
    EXPECT_FALSE(platform::CFile::Exists(m_dir.Path("names.bak")));
    EXPECT_EQ(View()->GetRowCount(), 3);
    EXPECT_TRUE(pDoc->IsModified());
    EXPECT_EQ(pDoc->m_nOpenMode, kShared);
}

// ---- Save As -----------------------------------------------------------------------------------

// Reads a table with python3-dbfread and python3-dbf; each prints its
// version byte and records as "name=qty" lines. Exit 77 when either is missing.
const char kReadBack[] = R"(
import sys
try:
    import dbf, dbfread
except ImportError:
    sys.exit(77)
path = sys.argv[1]
print("dbfread", open(path, "rb").read(1)[0])
for r in dbfread.DBF(path):
    print("%s=%s" % (r["NAME"].strip(), r["QTY"]))
t = dbf.Table(path)
t.open()
print("dbf", len(t))
for r in t:
    print("%s=%s" % (r.name.strip(), r.qty))
t.close()
)";

TEST_F(TableCommands, SaveAsWritesTheDialectOfTheChosenFilterAndOtherLibrariesReadTheCopy) {
    const struct {
        const char* pszName;
        int nFilter;
        int nVersion;
    } cases[] = {{"copy3.dbf", 1, 0x03}, {"copy4.dbf", 2, 0x03}, {"copyvfp.dbf", 3, 0x30}};
    std::string strScript = m_dir.Path("readback.py");
    {
        FILE* pFile = std::fopen(strScript.c_str(), "w");
        ASSERT_NE(pFile, nullptr);
        std::fputs(kReadBack, pFile);
        std::fclose(pFile);
    }
    for (const auto& c : cases) {
        SCOPED_TRACE(c.pszName);
        CDBFDoc* pDoc = OpenNames(kShared, true);
        ASSERT_NE(pDoc, nullptr);
        // The deleted record hidden, sorted descending by name, an unsaved edit.
        pDoc->m_table.SetHideDeleted(true);
        pDoc->m_table.Requery();
        View()->UpdateRowCount();
        View()->OnColumnHeaderUp(0, 0);
        View()->OnColumnHeaderUp(0, 0);
        ASSERT_TRUE(View()->StoreCellText(1, 0, "7"));
        pDoc->SetModifiedFlag(true);
        std::string strCopy = m_dir.Path(c.pszName);
        platform::CScopedFileDialogHook dialog([&](platform::FileDialogRequest& request) {
            request.strPath = strCopy;
            request.nFilterIndex = c.nFilter;
            return true;
        });
        ASSERT_TRUE(Command(platform::ID_FILE_SAVE_AS));
        ASSERT_EQ(dialog.GetCount(), 1);
        EXPECT_EQ(dialog.GetLastRequest().filters.size(), 3);
        EXPECT_EQ(pDoc->GetPathName(), strCopy);
        EXPECT_EQ(pDoc->m_table.GetHeader().version, c.nVersion);
        EXPECT_FALSE(pDoc->IsModified());
        int nSortCol = 0, nSortRow = 0, nDirection = 0;
        View()->GetSortIndicator(nSortCol, nSortRow, nDirection);
        EXPECT_EQ(nDirection, 2) << "the copy shows in file order";
        EXPECT_EQ(Cell(0, 0), "cid");
        EXPECT_EQ(Cell(1, 0), "7");

        testing_support::CommandResult read = testing_support::RunCommand("/usr/bin/python3", {strScript, strCopy});
        if (read.nExit == 77)
            GTEST_SKIP() << "python3-dbf or python3-dbfread is not installed";
        ASSERT_EQ(read.nExit, 0) << read.strErr;
        std::string strExpected = "dbfread " + std::to_string(c.nVersion) + "\ncid=7\nann=1\ndbf 2\ncid=7\nann=1\n";
        EXPECT_EQ(read.strOut, strExpected);
        pDoc->OnCloseDocument();
        ui_test::Settle();
    }
}

}  // namespace
