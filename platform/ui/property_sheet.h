// Modal property sheets: pages on tabs with OK, Cancel and Apply. A page is
// filled the first time it becomes the current page (or when a test makes it
// current, so a hook-answered sheet behaves as a shown one), marks itself
// modified when the user changes one of its controls, which enables Apply,
// and stores its controls when the sheet applies. Only pages that were
// filled apply, in page order; a page may refuse, and the sheet then stays
// open on that page with the pages after it not applied.
//
// The sheet is a CDialog and runs through DoModal, so CScopedDialogHook
// answers it like any other dialog; controls keep their numeric ids as
// object names on their page.
#pragma once

#include <vector>

#include <QString>
#include <QWidget>

#include "platform/ui/dialog.h"

class QDialogButtonBox;
class QPushButton;
class QTabWidget;

namespace platform {

// The Apply button's and the tab control's ids.
inline constexpr int IDC_APPLY_NOW = 12321;
inline constexpr int IDC_SHEET_TABS = 12320;

class CPropertySheet;

class CPropertyPage : public QWidget {
    Q_OBJECT
public:
    explicit CPropertyPage(const QString& strTitle, QWidget* pParent = nullptr);

    const QString& GetTitle() const { return m_strTitle; }

    // Fills the controls from what the page edits; runs once, the first time
    // the page becomes current.
    virtual void OnInitPage() {}
    // Stores the controls; false refuses the apply (the page has said why).
    virtual bool OnApply() { return true; }

    bool IsInitialized() const { return m_bInitialized; }
    bool IsModified() const { return m_bModified; }
    // Marks the page changed (Apply becomes active) or unchanged.
    void SetModified(bool bModified = true);

    // A control of the page by its id, or nullptr.
    QWidget* GetDlgItem(int nId) const;
    template <class T>
    T* GetDlgItem(int nId) const {
        return qobject_cast<T*>(GetDlgItem(nId));
    }

protected:
    // Gives a control its id and makes every change the user makes to it (a
    // click on a radio button or check box, another item of a list, a typed
    // text) mark the page modified. Changes the program makes while filling
    // the page do not count.
    void AddControl(QWidget* pControl, int nId);

private:
    friend class CPropertySheet;
    void EnsureInitialized();

    QString m_strTitle;
    CPropertySheet* m_pSheet = nullptr;
    bool m_bInitialized = false;
    bool m_bModified = false;
    bool m_bFilling = false;
};

class CPropertySheet : public CDialog {
    Q_OBJECT
public:
    explicit CPropertySheet(const QString& strCaption, QWidget* pParent = nullptr);

    // Adds a page as the last tab; the sheet owns it.
    void AddPage(CPropertyPage* pPage);
    int GetPageCount() const { return int(m_pages.size()); }
    CPropertyPage* GetPage(int nIndex) const;
    int GetActiveIndex() const;
    CPropertyPage* GetActivePage() const { return GetPage(GetActiveIndex()); }
    // Makes a page current, filling it first when it has never been.
    bool SetActivePage(int nIndex);
    bool SetActivePage(CPropertyPage* pPage);

    // Applies every filled page in order; false when one refused (it is then
    // the current page and the pages after it were not applied). Modified
    // marks are cleared on the pages that applied.
    bool Apply();
    // Whether a filled page is marked modified (what Apply's state shows).
    bool IsAnyPageModified() const;
    QPushButton* GetApplyButton() const { return m_pApply; }

    bool OnInitDialog() override;
    // Applies, and ends with IDOK only when every page took its values.
    void OnOK() override;

private:
    friend class CPropertyPage;
    void UpdateApplyButton();

    std::vector<CPropertyPage*> m_pages;
    QTabWidget* m_pTabs = nullptr;
    QDialogButtonBox* m_pButtons = nullptr;
    QPushButton* m_pApply = nullptr;
};

}  // namespace platform
