// The Find and Replace dialogs of a table window. Both are modeless children
// of one view and search the texts its grid shows (date pattern, DOS text
// converted, number formats), letter case ignored by the display code page,
// in one chosen column or in every visible column. Find steps from match to
// match; Replace also overwrites the found cell, or every matching cell at
// once, through the view's cell store. A text the store refuses leaves its
// cell as it was and is reported once, with how many cells kept their value.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/ui/dialog.h"

class CDBFDoc;
class CDBFView;
class QComboBox;
class QGridLayout;
class QPushButton;
class QVBoxLayout;

// Control ids of both dialogs (the Find button is IDOK, Close IDCANCEL).
enum FindDlgId : int {
    IDC_FIND_WHAT = 1001,
    IDC_FIND_FIELD = 1002,
    IDC_REPLACE = 1004,
    IDC_REPLACE_WITH = 1007,
    IDC_REPLACE_ALL = 1010,
};

// A cell of the grid by data column and data row.
struct FindCell {
    int nCol = 0;
    int32_t nRow = 0;
    bool operator==(const FindCell&) const = default;
};

class CFindReplaceDlg : public platform::CDialog {
    Q_OBJECT
public:
    ~CFindReplaceDlg() override;

    // "&Find": selects the next matching cell after the start position; the
    // not-found message and a restart at the top when there is none. False
    // when nothing was found.
    bool FindNext();
    // The next search starts at the top (a sort reorders the rows under it).
    void Restart() { m_start = FindCell{}; }

    FindCell GetStartPosition() const { return m_start; }
    // The search text as searched: trimmed, upper-cased, display code page.
    std::string GetSearchText() const;
    // The grid column searched, -1 for all visible columns.
    int GetSearchColumn() const;

    void OnOK() override { FindNext(); }
    void OnCancel() override;

protected:
    CFindReplaceDlg(CDBFView& view, int nPreselectedCol, bool bReplace);

    // What a found cell means to the dialog (Replace remembers it).
    virtual void OnFound(const FindCell& cell);
    virtual void OnNotFound() {}
    virtual void AddFindHistory(const std::string& strText) = 0;
    // After a match: the texts typed go into the histories.
    virtual void AddHistories() { AddFindHistory(GetSearchText()); }

    // Adds a text to a history list and its combo, at the front or the end,
    // when it is not empty and not there already (exact comparison).
    void AddToHistory(std::vector<std::string>& history, QComboBox* pCombo, const std::string& strText,
                      bool bFront);
    // A combo's text in the display code page, and back.
    std::string ComboText(const QComboBox* pCombo) const;
    QString ToUnicode(const std::string& strText) const;

    // The first matching cell at or after a cell (all columns: rightwards,
    // then the following rows; one column: downwards); false when none.
    bool Search(FindCell from, FindCell& found);
    bool CellMatches(const FindCell& cell);
    // Shows "Не найдено." with this dialog as owner.
    void ShowNotFound();
    // Ends the view's in-place edit, whose text would otherwise be committed
    // over what the dialog stores when the focus comes back; false when the
    // view refused the edited text.
    bool EndViewEdit();
    void closeEvent(QCloseEvent* pEvent) override;
    virtual void UpdateButtons();

    CDBFView& m_view;
    CDBFDoc* m_pDoc;
    QGridLayout* m_pGrid = nullptr;          // labels and inputs
    QVBoxLayout* m_pButtonColumn = nullptr;  // the buttons at the right
    QComboBox* m_pFindWhat = nullptr;
    QComboBox* m_pField = nullptr;
    QPushButton* m_pFind = nullptr;
    FindCell m_start;

private:
    void BuildFieldList(int nPreselectedCol);
};

class CFindDlg final : public CFindReplaceDlg {
    Q_OBJECT
public:
    CFindDlg(CDBFView& view, int nPreselectedCol);

protected:
    void AddFindHistory(const std::string& strText) override;
};

class CReplaceDlg final : public CFindReplaceDlg {
    Q_OBJECT
public:
    CReplaceDlg(CDBFView& view, int nPreselectedCol);

    // Button 1004: stores the replacement into the found cell when it is
    // still the current cell and still shows a match; otherwise finds the
    // next match first and changes nothing. False when nothing was stored.
    bool Replace();
    // Button 1010: every matching cell from the top gets the replacement.
    // Returns how many cells were stored.
    int ReplaceAll();

    // The replacement as typed, in the display code page.
    std::string GetReplaceText() const { return ComboText(m_pReplaceWith); }
    bool HasFoundCell() const { return m_bFound; }
    FindCell GetFoundCell() const { return m_found; }

protected:
    void OnFound(const FindCell& cell) override;
    void OnNotFound() override;
    void AddFindHistory(const std::string& strText) override;
    void AddHistories() override;
    void UpdateButtons() override;

private:
    // Stores the replacement into one cell; false, with the reason, when the
    // field refuses it.
    bool StoreReplacement(const FindCell& cell, std::string& strError);
    void ReportRefused(int nRefused, int nMatched, const std::string& strFirstError);

    QComboBox* m_pReplaceWith = nullptr;
    QPushButton* m_pReplace = nullptr;
    QPushButton* m_pReplaceAll = nullptr;
    FindCell m_found;
    bool m_bFound = false;
};
