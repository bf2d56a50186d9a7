// Helpers of the Columns dialog tests: the dialog of either variant on a few
// field names and a layout, shown in a real, active window so that keys,
// clicks and focus travel as they do for a user.
#pragma once

#include <string>
#include <vector>

#include <QLineEdit>
#include <QPushButton>

#include "grid/columns/columns_dlg.h"
#include "platform/ui/message_box.h"
#include "tests/platform_ui/ui_test_support.h"

namespace columns_test {

using ui_test::Key;
using ui_test::Settle;
using ui_test::Type;

// Data columns of the list.
enum Column : int { kCheck = 0, kField = 1, kHead = 2 };

inline std::vector<std::string> Names() { return {"CUSTNO", "NAME", "CITY", "BORN"}; }

// One entry a line, "+" shown or "-" hidden, field, grid column, width and
// header, so that a failing comparison shows what differs.
inline std::string Dump(const platform::ColumnLayout& layout) {
    std::string str;
    for (const platform::ColumnInfo& c : layout)
        str += (c.bVisible ? "+" : "-") + std::to_string(c.nField) + " g" + std::to_string(c.nGridCol) + " w" +
               std::to_string(c.nWidth) + " '" + c.strHead + "'\n";
    return str;
}

struct ColumnsDialog {
    explicit ColumnsDialog(ColumnsDlgVariant variant, platform::ColumnLayout layout = {},
                           std::vector<std::string> names = Names())
        : dialog(variant) {
        if (layout.empty())
            layout = platform::MakeDefaultLayout(names);
        dialog.SetFieldNames(std::move(names));
        dialog.SetLayout(std::move(layout));
    }
    // A message box no test asked for fails the test instead of waiting for a user.
    ~ColumnsDialog() { EXPECT_TRUE(unexpected.GetRequests().empty()) << "a message box nobody expected"; }

    void Show() { ui_test::ShowActive(dialog); }
    CColumnList& list() { return *dialog.GetList(); }
    const platform::ColumnLayout& Layout() const { return dialog.GetLayout(); }
    const ColumnsDlgIds& Ids() const { return dialog.GetIds(); }
    QPushButton* Button(int nId) { return dialog.GetDlgItem<QPushButton>(nId); }
    QLineEdit* WidthEdit() { return dialog.GetDlgItem<QLineEdit>(Ids().nWidth); }
    bool Enabled(int nId) {
        QPushButton* pButton = Button(nId);
        EXPECT_NE(pButton, nullptr) << "button " << nId;
        return pButton && pButton->isEnabled();
    }
    void Click(int nId) {
        QPushButton* pButton = Button(nId);
        ASSERT_NE(pButton, nullptr) << "button " << nId;
        QTest::mouseClick(pButton, Qt::LeftButton);
        Settle();
    }
    void MoveTo(int nCol, int nRow) {
        list().MoveTo(nCol, nRow);
        Settle();
    }
    // A click in the middle of a data cell.
    void ClickCell(int nCol, int nRow) {
        platform::Rect rc;
        ASSERT_TRUE(list().GetCellRect(nCol + list().GetFixedColumnCount(), nRow + list().GetFixedRowCount(), rc));
        QTest::mouseClick(list().viewport(), Qt::LeftButton, Qt::NoModifier,
                          QPoint((rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2));
        Settle();
    }
    int Current() { return list().GetCurrentEntry(); }
    // The header edit's text while a header is being edited.
    QString HeadText() {
        CKelGridEdit* pEdit = list().GetHeadEdit();
        return pEdit && pEdit->GetEdit() ? pEdit->GetEdit()->text() : QString();
    }

    ui_test::AppGuard app;
    platform::CScopedMessageBoxHook unexpected;
    CColumnsDlg dialog;
};

}  // namespace columns_test
