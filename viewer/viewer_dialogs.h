// Peekrow's small modal dialogs: the memo text ("Memo Info"), the table's
// structure ("Table Structure", a read-only grid over the reader's fields)
// and the about box with its two links.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include <QString>

#include "grid/grid_ctrl.h"
#include "platform/ui/dialog.h"

class CDBFFileReader;
class QPlainTextEdit;

enum ViewerDialogControlId : int {
    IDC_MEMO_TEXT = 1001,
    IDC_STRUCTURE_GRID = 1002,
    IDC_ABOUT_MAIL = 1007,
    IDC_ABOUT_WEB = 1008,
};

// "Memo Info": the memo's text, read only, with OK.
class CMemoDlg : public platform::CDialog {
    Q_OBJECT
public:
    explicit CMemoDlg(const QString& strText, QWidget* pParent = nullptr);
    QPlainTextEdit* GetEdit() const { return m_pEdit; }

private:
    QPlainTextEdit* m_pEdit;
};

// One row of the structure grid, as it is shown.
struct StructureRow {
    std::string strName;  // display code page
    std::string strType;  // "Character", "Numeric", ...
    unsigned nWidth = 0;
    unsigned nDecimals = 0;
};

// The rows of a table's fields: B F I N Y give descriptor byte 16 as the width
// and byte 17 as the decimals, every other letter the 16-bit width and no
// decimals. Names are converted from the OEM page when bDos.
std::vector<StructureRow> MakeStructureRows(const CDBFFileReader& reader,
                                            const std::function<std::string(std::string)>& toDisplay);
// The type name of a letter ("Unknow" for letters no table type has).
const char* FieldTypeName(char cType);

// The read-only grid of the structure dialog: "N", "Name", "Type", "Width",
// "Decimal".
class CStructureGrid : public CKelGridCtrl {
    Q_OBJECT
public:
    explicit CStructureGrid(QWidget* pParent = nullptr);
    void SetRows(std::vector<StructureRow> rows);

    GridCellValue GetCellValue(int nCol, GridRow nRow) override;
    bool CommitCell(int, GridRow) override { return true; }

private:
    std::vector<StructureRow> m_rows;
};

class CStructureDlg : public platform::CDialog {
    Q_OBJECT
public:
    CStructureDlg(std::vector<StructureRow> rows, const platform::CTextCodec& codec, QWidget* pParent = nullptr);
    CStructureGrid* GetGrid() const { return m_pGrid; }

private:
    CStructureGrid* m_pGrid;
};

// "About Peekrow": the icon, the version, the maker and two links.
class CAboutDlg : public platform::CDialog {
    Q_OBJECT
public:
    explicit CAboutDlg(QWidget* pParent = nullptr);
};

// The addresses the about box shows.
extern const char kPeekrowMailAddress[];
extern const char kPeekrowWebAddress[];
