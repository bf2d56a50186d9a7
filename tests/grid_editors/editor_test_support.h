// Helpers of the editor tests: a grid of one column per editor kind whose
// cells remember what was committed, placed in a real, active top-level
// window so that focus, keys and clicks travel as they do for a user.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QDialog>
#include <QLineEdit>

#include "grid/editor_styles.h"
#include "grid/grid_check.h"
#include "grid/grid_combo.h"
#include "grid/grid_ctrl.h"
#include "grid/grid_edit.h"
#include "grid/grid_view.h"
#include "platform/ui/message_box.h"
#include "tests/platform_ui/ui_test_support.h"

namespace editor_test {

using ui_test::EnsureApplication;
using ui_test::Key;
using ui_test::Settle;
using ui_test::Type;

// Data columns of the test grid.
enum Column : int {
    kText = 0,      // edit
    kNumber = 1,    // right-aligned edit
    kFlag = 2,      // two-state check box
    kState = 3,     // three-state check box
    kCity = 4,      // editable combo box
    kColour = 5,    // drop-down list
    kFixed = 6,     // no editor
    kCentred = 7,   // centred edit
    kColumns = 8
};

struct Commit {
    int nCol;
    GridRow nRow;
    GridCellValue value;
};

// A grid over a map of cells. A cell never written reads "r<row>c<col>";
// check-box cells read value 0 and combo cells the item data 10.
template <class TBase>
class CTestGrid : public TBase {
public:
    explicit CTestGrid(GridRow nRows = 50) {
        using namespace platform;
        const unsigned kLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const struct {
            int nWidth;
            const char* pszTitle;
            unsigned nFormat, nFrameState;
            int nEditor;
            uint32_t nStyle;
        } columns[kColumns] = {
            {90, "Text", kLeft, 0, GEK_EDIT, ES_AUTOHSCROLL},
            {70, "Number", kLeft | DT_RIGHT, 0, GEK_EDIT, ES_AUTOHSCROLL | ES_RIGHT},
            {50, "Flag", kLeft, DFCS_BUTTONCHECK | DFCS_FLAT, GEK_CHECK, BS_AUTOCHECKBOX | BS_FLAT},
            {50, "State", kLeft, DFCS_BUTTON3STATE | DFCS_FLAT, GEK_CHECK, BS_AUTO3STATE | BS_FLAT},
            {100, "City", kLeft, 0, GEK_COMBO, CBS_DROPDOWN},
            {100, "Colour", kLeft, 0, GEK_COMBO, CBS_DROPDOWNLIST},
            {60, "Fixed", kLeft, 0, GEK_NONE, 0},
            {80, "Centred", kLeft | DT_CENTER, 0, GEK_EDIT, ES_CENTER},
        };
        for (int i = 0; i < kColumns; ++i) {
            const auto& c = columns[i];
            this->InsertColumn(c.nWidth, c.pszTitle, c.nFormat, DT_CENTER | DT_VCENTER | DT_SINGLELINE,
                               c.nFrameState ? unsigned{DFC_BUTTON} : 0u, c.nFrameState);
            this->SetColumnEditor(i, c.nEditor, WS_CHILD | c.nStyle, 0);
        }
        this->SetRowCount(nRows, false);
    }

    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        auto it = cells.find({nCol, nRow});
        if (it != cells.end())
            return it->second;
        if (nCol == kFlag || nCol == kState)
            return GridCellValue{"", 0};
        if (nCol == kCity || nCol == kColour)
            return GridCellValue{"Oslo", 10};
        return GridCellValue{"r" + std::to_string(nRow) + "c" + std::to_string(nCol), -1};
    }

    bool CommitCell(int nCol, GridRow nRow) override {
        CKelCellEditor* pEditor = this->GetCellEditor(nCol, nRow);
        GridCellValue value = pEditor ? pEditor->GetEditorValue() : GridCellValue{};
        if (bRefuse) {
            ++nRefused;
            this->SetCommitError(strRefusal);
            return false;
        }
        commits.push_back(Commit{nCol, nRow, value});
        cells[{nCol, nRow}] = value;
        return TBase::CommitCell(nCol, nRow);
    }

    std::unique_ptr<CKelCellEditor> CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) override {
        std::unique_ptr<CKelCellEditor> pEditor = TBase::CreateCellEditor(nCol, nRow, nStyle, nId);
        if (auto* pCombo = dynamic_cast<CKelGridCombo*>(pEditor.get())) {
            pCombo->AddString("Oslo", 10);
            pCombo->AddString("Lyon", 20);
            pCombo->AddString("Graz", 30);
            pCombo->AddString("Lyon", 20);  // a second item with the same data: the last one is chosen
        }
        return pEditor;
    }

    std::map<std::pair<int, GridRow>, GridCellValue> cells;
    std::vector<Commit> commits;
    bool bRefuse = false;
    std::string strRefusal;  // the reason a refusal gives; none when empty
    int nRefused = 0;
};

using CTestCtrl = CTestGrid<CKelGridCtrl>;
using CTestView = CTestGrid<CKelGridView>;

// A grid of either kind in an active dialog of 640 x 360.
template <class TGrid>
struct GridInDialog {
    GridInDialog() : pGrid(Make()) {
        dialog.resize(640, 360);
        ui_test::ShowActive(dialog);
    }

    TGrid* Make() {
        auto* p = new TGrid();
        if constexpr (std::is_base_of_v<CKelGridCtrl, TGrid>) {
            p->Create(0, WS_VISIBLE | WS_TABSTOP, platform::Rect{10, 10, 610, 330}, &dialog, 1006);
        } else {
            p->setParent(&dialog);
            p->setGeometry(10, 10, 600, 320);
            p->show();
            p->OnInitialUpdate();
        }
        return p;
    }

    TGrid& grid() { return *pGrid; }
    int Col() const { return pGrid->GetCurrentColumn() - pGrid->GetFixedColumnCount(); }
    GridRow Row() const { return pGrid->GetCurrentRow() - pGrid->GetFixedRowCount(); }
    CKelCellEditor* Editor() { return pGrid->GetCurrentEditor(); }
    CKelWidgetEditor* WidgetEditor() { return dynamic_cast<CKelWidgetEditor*>(Editor()); }
    QWidget* Input() {
        CKelWidgetEditor* p = WidgetEditor();
        return p ? p->GetInputWidget() : nullptr;
    }
    QLineEdit* Edit() { return qobject_cast<QLineEdit*>(Input()); }
    // Makes a data cell current and lets the focus settle on its editor.
    void MoveTo(int nCol, GridRow nRow) {
        pGrid->MoveTo(nCol, nRow);
        Settle();
    }
    // The screen rectangle of the current cell (with its border lines).
    platform::Rect CurrentCellRect() {
        platform::Rect rc;
        pGrid->GetCellRect(pGrid->GetCurrentColumn(), pGrid->GetCurrentRow(), rc);
        return rc;
    }

    // The messages the grid shows; a box nobody answers would stop the test.
    std::vector<QString> Messages() const {
        std::vector<QString> texts;
        for (const platform::MessageBoxRequest& request : boxes.GetRequests())
            texts.push_back(request.strText);
        return texts;
    }

    ui_test::AppGuard app;
    platform::CScopedMessageBoxHook boxes;
    QDialog dialog;
    TGrid* pGrid;
};

}  // namespace editor_test
