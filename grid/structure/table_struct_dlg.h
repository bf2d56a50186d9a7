// The "Table structure" dialog: the structure grid with Save, Close, Up,
// Down, Add, Del and Print buttons. It works directly on the table
// definition it is given; whoever opened it keeps or rolls back the changes
// by its result. Read-only, it only shows the structure (and prints it).
// Each control carries its numeric identifier as its object name.
#pragma once

#include <string>


#include "engine/table_def.h"
#include "grid/structure/table_struct_ctrl.h"
#include "platform/ui/dialog.h"

class QPushButton;

// Control identifiers of the dialog.
enum TableStructDlgId : int {
    IDC_STRUCT_GRID = 0,
    IDC_STRUCT_SAVE = 1,    // IDOK
    IDC_STRUCT_CLOSE = 2,   // IDCANCEL
    IDC_STRUCT_ADD = 1002,
    IDC_STRUCT_DEL = 1004,
    IDC_STRUCT_PRINT = 1005,
    IDC_STRUCT_UP = 1010,
    IDC_STRUCT_DOWN = 1011,
};

// The most fields a structure may have.
inline constexpr int kMaxStructFields = 255;

// A name for a new field that no field of the table has: "NEWFIELD", else
// "NEWFIELD1", "NEWFIELD2", ..., never longer than 10 characters (the stem
// gives way to longer counters).
std::string MakeNewFieldName(const dbf::CDBFTableDef& tableDef);

class CTableStructDlg : public platform::CDialog {
    Q_OBJECT
public:
    explicit CTableStructDlg(QWidget* pParent = nullptr);
    ~CTableStructDlg() override;

    void SetTableDef(dbf::CDBFTableDef* pTableDef) { m_pTableDef = pTableDef; }
    void SetReadOnly(bool bReadOnly) { m_bReadOnly = bReadOnly; }
    // Builds the grid for the table definition and the read-only flag; runs
    // once, when the dialog is first shown. False when the grid cannot be made.
    // DoModal gives IDOK after Save, IDCANCEL after Close.
    bool OnInitDialog() override;

    CTablStructCtrl* GetGrid() const { return m_pGrid; }
    // Enables the buttons by what the structure and the current field allow.
    void UpdateButtons();

    // The buttons' actions.
    void OnSave();
    void OnAdd();
    void OnDel();
    void OnUp();
    void OnDown();
    void OnPrint();

protected:
    bool event(QEvent* pEvent) override;

private:
    QPushButton* AddButton(const char* pszText, int nId);
    void MoveCurrentField(int nBy);

    dbf::CDBFTableDef* m_pTableDef = nullptr;
    bool m_bReadOnly = true;
    CTablStructCtrl* m_pGrid = nullptr;
    QPushButton* m_pSave = nullptr;
    QPushButton* m_pClose = nullptr;
    QPushButton* m_pUp = nullptr;
    QPushButton* m_pDown = nullptr;
    QPushButton* m_pAdd = nullptr;
    QPushButton* m_pDel = nullptr;
    QPushButton* m_pPrint = nullptr;
};
