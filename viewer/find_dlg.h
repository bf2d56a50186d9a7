// Peekrow's Find dialog: modeless, one per table window. It searches one
// field of the table from the first record, up or down from the current one,
// and moves the current cell of the window's active pane to the first record
// that matches. In its plain form it looks for a piece of text; its advanced
// form ("&Advansed>>") puts in a panel that suits the field's type: a number
// range, a date range, a choice of logical values, or text with or without
// letter case. The search itself is record_match's; the dialog collects the
// criteria.
//
// Everything that can change while the dialog is open is read at each
// search: the window's code-page choice, the active pane and its current
// row, and the column that shows the field.
#pragma once

#include <array>
#include <string>

#include <QPointer>
#include <QString>
#include <QWidget>

#include "platform/ui/dialog.h"
#include "viewer/reader/record_match.h"

class CChildFrame;
class CDBFDoc;
class QButtonGroup;
class QComboBox;
class QDateTimeEdit;
class QFrame;
class QLabel;
class QPushButton;
class QRadioButton;

enum FindDlgControlId : int {
    IDC_FIND_FIND = 1,
    IDC_FIND_CANCEL = 2,
    IDC_FIND_ADVANCED = 3,
    IDC_FIND_TEXT = 1003,
    IDC_FIND_FIELD = 1004,
    IDC_FIND_UP = 1005,
    IDC_FIND_DOWN = 1006,
    IDC_FIND_FIRST = 1007,
    IDC_FIND_SEPARATOR = 1015,
    IDC_FIND_NO_PANEL = 1016,
    // The panels' controls.
    IDC_RANGE_LOWER = 1017,
    IDC_RANGE_UPPER = 1018,
    IDC_RANGE_AND = 1019,
    IDC_RANGE_OR = 1020,
    IDC_TEXT_MATCH_CASE = 1022,
    IDC_DATE_LOWER = 1023,
    IDC_DATE_UPPER = 1024,
    IDC_LOGICAL_EMPTY = 1019,
    IDC_LOGICAL_INVALID = 1020,
    IDC_LOGICAL_TRUE = 1026,
    IDC_LOGICAL_FALSE = 1027,
    IDC_LOGICAL_YES = 1028,
    IDC_LOGICAL_NO = 1029,
};

// One advanced panel: a frameless child of the dialog below its separator.
// Each keeps the field and the find text it was last given.
class CFindPanel : public QWidget {
    Q_OBJECT
public:
    CFindPanel(FindPanel kind, QWidget* pParent);
    FindPanel GetKind() const { return m_kind; }
    // The control of an id inside this panel.
    QWidget* GetDlgItem(int nId) const;
    template <class T>
    T* GetDlgItem(int nId) const {
        return qobject_cast<T*>(GetDlgItem(nId));
    }

    int GetField() const { return m_nField; }
    const QString& GetText() const { return m_strText; }
    // Fills the panel from a find text for a field of this type.
    void SetFindValue(const QString& strText, int nField, char cType, unsigned nDecimals);
    // What the panel's controls ask for; strAnsiText is the find text in
    // the table's Windows page (the text panel's).
    FindCriteria GetCriteria(int nField, const std::string& strAnsiText) const;

private:
    QRadioButton* AddRadio(const char* pszText, int nId);

    FindPanel m_kind;
    int m_nField = -1;
    QString m_strText;
    bool m_bHasValue = false;
};

class CFindDlg : public platform::CDialog {
    Q_OBJECT
public:
    CFindDlg(CChildFrame& frame, QWidget* pParent = nullptr);
    ~CFindDlg() override;

    bool OnInitDialog() override;
    // Cancel hides the dialog; the window deletes it.
    void OnCancel() override;

    // ---- what the buttons do -----------------------------------------------------------
    // The Find button: the history, the search, and "Down" after a "First"
    // that found something.
    void OnFind();
    void OnAdvanced();
    // Searches once with the dialog's controls; true when a record was found.
    bool Search();

    // ---- state ----------------------------------------------------------------------------
    FindDirection GetDirection() const;
    void SetDirection(FindDirection direction);
    bool IsAdvanced() const { return m_bAdvanced; }
    // The field of the selected item, -1 for none.
    int GetSelectedField() const;
    void SelectField(int nField);
    // The panel showing now, or none.
    CFindPanel* GetShownPanel() const { return m_pShown; }

private:
    CDBFDoc* GetDoc() const;
    void FillFieldList();
    void FillHistory();
    void ApplyAdvancedState();
    void KeepOnScreen();
    void ChoosePanel();
    void OnFieldChanged();
    void OnTextChanged(const QString& strText);
    QString FindText() const;

    QPointer<CChildFrame> m_pFrame;
    QComboBox* m_pText = nullptr;
    QComboBox* m_pField = nullptr;
    QRadioButton* m_pFirst = nullptr;
    QRadioButton* m_pUp = nullptr;
    QRadioButton* m_pDown = nullptr;
    QPushButton* m_pFind = nullptr;
    QPushButton* m_pAdvanced = nullptr;
    QFrame* m_pSeparator = nullptr;
    QLabel* m_pNoPanel = nullptr;
    QWidget* m_pPanelArea = nullptr;
    bool m_bAdvanced = false;
    std::array<CFindPanel*, 4> m_panels{};
    CFindPanel* m_pShown = nullptr;
};
