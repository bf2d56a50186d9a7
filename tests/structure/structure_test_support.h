// Helpers of the structure tests: tables built into a temporary folder, a
// table definition opened for a structure edit, and the "Table structure"
// dialog on it in a real, active window, so that keys, clicks and focus
// travel as they do for a user.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QPushButton>

#include "engine/table_def.h"
#include "grid/structure/table_struct_dlg.h"
#include "tests/platform_ui/ui_test_support.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"

namespace structure_test {

using ui_test::EnsureApplication;
using ui_test::Key;
using ui_test::Settle;
using ui_test::Type;

// Data columns of the structure grid.
enum Column : int { kName = 0, kType = 1, kWidth = 2, kDecimals = 3 };

// Opens a table for a structure edit (exclusive, read and write).
inline void OpenForEdit(dbf::CDBFTableDef& tableDef, const std::string& strPath) {
    tableDef.Open(strPath, platform::modeReadWrite | platform::shareExclusive | platform::typeBinary);
    ASSERT_TRUE(tableDef.IsOpen());
    tableDef.BeginModifyStructure();
}

// A table in a temporary folder, opened for a structure edit, with the
// dialog shown on it (editable unless bReadOnly).
struct StructureDialog {
    explicit StructureDialog(const testing_support::TableBuilder& table, bool bReadOnly = false,
                             bool bBeginEdit = true) {
        strPath = table.Write(dir.Path("t.dbf"));
        if (bBeginEdit)
            OpenForEdit(tableDef, strPath);
        else
            tableDef.Open(strPath, platform::modeRead | platform::shareDenyNone | platform::typeBinary);
        Show(bReadOnly);
    }
    // Nothing opened or shown yet: the test prepares tableDef and calls Show.
    StructureDialog() = default;

    void Show(bool bReadOnly) {
        dialog.SetTableDef(&tableDef);
        dialog.SetReadOnly(bReadOnly);
        ui_test::ShowActive(dialog);
    }

    CTablStructCtrl& grid() { return *dialog.GetGrid(); }
    const dbf::DBFFieldDesc& Field(int n) { return tableDef.GetFieldDesc(n); }
    int Col() { return grid().GetCurrentColumn() - grid().GetFixedColumnCount(); }
    int Row() { return static_cast<int>(grid().GetCurrentRow() - grid().GetFixedRowCount()); }
    std::string Cell(int nCol, int nRow) { return grid().GetCellValue(nCol, nRow).strText; }
    QPushButton* Button(int nId) { return dialog.findChild<QPushButton*>(QString::number(nId)); }

    void MoveTo(int nCol, int nRow) {
        grid().MoveTo(nCol, nRow);
        Settle();
    }
    void Click(int nId) {
        QPushButton* pButton = Button(nId);
        ASSERT_NE(pButton, nullptr);
        QTest::mouseClick(pButton, Qt::LeftButton);
        Settle();
    }
    // The widget typed keys go to while the current cell is edited.
    QWidget* Input() {
        auto* pEditor = dynamic_cast<CKelWidgetEditor*>(grid().GetCurrentEditor());
        return pEditor ? pEditor->GetInputWidget() : nullptr;
    }

    ui_test::AppGuard app;
    testing_support::TempDir dir;
    std::string strPath;
    dbf::CDBFTableDef tableDef;
    CTableStructDlg dialog;
};

}  // namespace structure_test
