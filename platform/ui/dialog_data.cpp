// The range check of integer edits and its message.
#include "platform/ui/dialog_data.h"

#include <cstdio>

#include <QLineEdit>
#include <QWidget>

#include "platform/core/string_table.h"
#include "platform/ui/message_box.h"

namespace platform {

namespace {

const StringEntry kDialogDataStrings[] = {
    {IDS_DDV_INT_RANGE, "Enter an integer between %d and %d."},
};

}  // namespace

void RegisterDialogDataStrings() { RegisterStrings(kDialogDataStrings); }

bool DDV_MinMaxInt(QWidget* pEdit, int nValue, int nMin, int nMax) {
    if (nValue >= nMin && nValue <= nMax)
        return true;
    RegisterDialogDataStrings();
    std::string strFormat = LoadString(IDS_DDV_INT_RANGE);
    char szText[160];
    std::snprintf(szText, sizeof szText, strFormat.c_str(), nMin, nMax);
    MessageBox(pEdit ? pEdit->window() : nullptr, QString::fromUtf8(szText), MB_OK | MB_ICONWARNING);
    if (pEdit) {
        // Back in the edit with its text selected, the next keys replace
        // the number that was refused.
        pEdit->setFocus(Qt::OtherFocusReason);
        if (auto* pLineEdit = qobject_cast<QLineEdit*>(pEdit))
            pLineEdit->selectAll();
    }
    return false;
}

}  // namespace platform
