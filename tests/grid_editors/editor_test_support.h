// Helpers of the editor tests: a grid of one column per editor kind whose
// cells remember what was committed, placed in a real, active top-level
// window so that focus, keys and clicks travel as they do for a user.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QDialog>
#include <QTest>

#include <gtest/gtest.h>

#include "grid/editor_styles.h"
#include "grid/grid_check.h"
#include "grid/grid_combo.h"
#include "grid/grid_ctrl.h"
#include "grid/grid_edit.h"
#include "grid/grid_view.h"

namespace editor_test {

inline void EnsureApplication() {
    if (QCoreApplication::instance())
        return;
    static int s_argc = 1;
    static char s_arg0[] = "grid_editors_tests";
    static char* s_argv[] = {s_arg0, nullptr};
    new QApplication(s_argc, s_argv);
}

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
        const unsigned kLeft = platform::DT_LEFT | platform::DT_VCENTER | platform::DT_SINGLELINE | platform::DT_NOPREFIX;
        const unsigned kHeader = platform::DT_CENTER | platform::DT_VCENTER | platform::DT_SINGLELINE;
        this->InsertColumn(90, "Text", kLeft, kHeader);
        this->InsertColumn(70, "Number", kLeft | platform::DT_RIGHT, kHeader);
        this->InsertColumn(50, "Flag", kLeft, kHeader, platform::DFC_BUTTON, platform::DFCS_BUTTONCHECK | platform::DFCS_FLAT);
        this->InsertColumn(50, "State", kLeft, kHeader, platform::DFC_BUTTON, platform::DFCS_BUTTON3STATE | platform::DFCS_FLAT);
        this->InsertColumn(100, "City", kLeft, kHeader);
        this->InsertColumn(100, "Colour", kLeft, kHeader);
        this->InsertColumn(60, "Fixed", kLeft, kHeader);
        this->InsertColumn(80, "Centred", kLeft | platform::DT_CENTER, kHeader);
        this->SetColumnEditor(kText, GEK_EDIT, WS_CHILD | ES_AUTOHSCROLL, 0);
        this->SetColumnEditor(kNumber, GEK_EDIT, WS_CHILD | ES_AUTOHSCROLL | ES_RIGHT, 0);
        this->SetColumnEditor(kFlag, GEK_CHECK, WS_CHILD | BS_AUTOCHECKBOX | BS_FLAT, 0);
        this->SetColumnEditor(kState, GEK_CHECK, WS_CHILD | BS_AUTO3STATE | BS_FLAT, 0);
        this->SetColumnEditor(kCity, GEK_COMBO, WS_CHILD | CBS_DROPDOWN, 0);
        this->SetColumnEditor(kColour, GEK_COMBO, WS_CHILD | CBS_DROPDOWNLIST, 0);
        this->SetColumnEditor(kFixed, GEK_NONE, WS_CHILD, 0);
        this->SetColumnEditor(kCentred, GEK_EDIT, WS_CHILD | ES_CENTER, 0);
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
    int nRefused = 0;
};

using CTestCtrl = CTestGrid<CKelGridCtrl>;
using CTestView = CTestGrid<CKelGridView>;

// Delivers what is posted (keys the editors hand back, the view's deferred
// focus handling), including what those events post in turn.
inline void Settle() {
    for (int i = 0; i < 4; ++i)
        QCoreApplication::processEvents();
}

// A grid of either kind in an active dialog of 640 x 360.
template <class TGrid>
struct GridInDialog {
    GridInDialog() : pGrid(Make()) {
        dialog.resize(640, 360);
        dialog.show();
        dialog.activateWindow();
        EXPECT_TRUE(QTest::qWaitForWindowActive(&dialog));
        Settle();
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
    // A key typed where the keyboard focus is now, and what it posts.
    void Key(int nKey, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QWidget* pFocus = QApplication::focusWidget();
        ASSERT_NE(pFocus, nullptr);
        // With no text: the test library cannot spell keys like back-tab.
        QTest::sendKeyEvent(QTest::Click, pFocus, static_cast<Qt::Key>(nKey), QString(), modifiers);
        Settle();
    }
    void Type(const QString& strText) {
        QWidget* pFocus = QApplication::focusWidget();
        ASSERT_NE(pFocus, nullptr);
        for (QChar ch : strText) {
            // Letters beyond ASCII come as the text of a key the keyboard
            // has no code for, as from an input method.
            Qt::Key key = ch.unicode() < 0x80 ? static_cast<Qt::Key>(QKeySequence(QString(ch))[0].key()) : Qt::Key_unknown;
            QTest::sendKeyEvent(QTest::Click, pFocus, key, QString(ch), Qt::NoModifier);
        }
        Settle();
    }
    // The screen rectangle of the current cell (with its border lines).
    platform::Rect CurrentCellRect() {
        platform::Rect rc;
        pGrid->GetCellRect(pGrid->GetCurrentColumn(), pGrid->GetCurrentRow(), rc);
        return rc;
    }

    struct AppGuard {
        AppGuard() { EnsureApplication(); }
    } app;  // first: every widget needs the application
    QDialog dialog;
    TGrid* pGrid;
};

}  // namespace editor_test
