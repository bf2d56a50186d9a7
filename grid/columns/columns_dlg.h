// The Columns dialog: which fields a table window shows as columns, in which
// order, how wide and (in the editor) under which header. It works on a copy
// of the window's column layout and hands it back only on OK. It knows the
// table only by its field names, so both programs use it: the editor's
// variant with the header column, the viewer's without, each with its own
// control ids, update command and refusal message.
#pragma once

#include <string>
#include <vector>

#include "grid/columns/column_list.h"
#include "platform/core/code_page.h"
#include "platform/core/column_layout.h"
#include "platform/ui/dialog.h"
#include "platform/ui/text_codec.h"

class QLabel;
class QLineEdit;
class QPushButton;

enum class ColumnsDlgVariant {
    Editor,  // Tabulon's: header row, header column and its edit
    Viewer,  // Peekrow's: check boxes and field names only
};

// The ids a variant uses: its buttons and width edit, the command its list
// posts after a change, and the string refusing a layout without a visible
// column.
struct ColumnsDlgIds {
    int nUp;
    int nDown;
    int nShow;
    int nHide;
    int nDefault;
    int nWidth;
    unsigned nUpdateCommand;
    unsigned nNoVisibleMessage;
};

inline constexpr ColumnsDlgIds kEditorColumnsIds{1010, 1011, 1012, 1013, 1014, 1015, 32773, 59394};
inline constexpr ColumnsDlgIds kViewerColumnsIds{1010, 1011, 1012, 1015, 1016, 1013, 32777, 32833};

// The list's control id: it takes the place of the template's placeholder.
inline constexpr int IDC_COLUMNS_LIST = 1006;
// The widest column the width edit takes, in pixels.
inline constexpr int kMaxColumnWidth = 1000;

class CColumnsDlg : public platform::CDialog {
    Q_OBJECT
public:
    explicit CColumnsDlg(ColumnsDlgVariant variant = ColumnsDlgVariant::Editor, QWidget* pParent = nullptr);
    ~CColumnsDlg() override;

    // ---- inputs, set before the dialog runs -------------------------------------------
    // The table's field names, single-byte as the table holds them.
    void SetFieldNames(std::vector<std::string> fieldNames);
    // The layout to edit (a copy; one entry per field).
    void SetLayout(platform::ColumnLayout layout);
    // With bDosCodePage the names are in the OEM page (pOemPage, or the
    // program's OEM page when null) and are shown converted to the codec's
    // page; typed headers come out in the codec's page.
    void SetCodePage(bool bDosCodePage, const platform::CTextCodec& codec = platform::CTextCodec(),
                     const platform::CCodePage* pOemPage = nullptr);

    // ---- result ---------------------------------------------------------------------------
    // The edited layout; the caller takes it over after IDOK (its grid
    // columns are the caller's to reset).
    const platform::ColumnLayout& GetLayout() const { return m_layout; }

    ColumnsDlgVariant GetVariant() const { return m_variant; }
    const ColumnsDlgIds& GetIds() const { return m_ids; }
    // The list, or nullptr when the names or the layout were not given.
    CColumnList* GetList() const { return m_pList; }

    bool OnInitDialog() override;
    // Refuses, with a message, a layout that shows no column.
    void OnOK() override;

    // ---- the buttons and the width edit ---------------------------------------------------
    void UpdateButtons();
    void OnUp() { MoveCurrentEntry(-1); }
    void OnDown() { MoveCurrentEntry(1); }
    void OnShow() { SetCurrentVisible(true); }
    void OnHide() { SetCurrentVisible(false); }
    void OnDefault();
    // The list's current entry changed: the width edit shows its width.
    void OnCurrentEntryChanged();

protected:
    bool event(QEvent* pEvent) override;

private:
    QPushButton* AddButton(const char* pszText, int nId);
    void MoveCurrentEntry(int nBy);
    void SetCurrentVisible(bool bVisible);
    void ShowCurrentWidth();
    // Every change the user makes to the width edit; what the program puts
    // there is no width typed and is never stored.
    void OnWidthEdited(const QString& strText);
    // The width Default gives a field: its name and a space in the dialog's font.
    int DefaultWidth(size_t nField) const;
    QSize DialogUnits(int cx, int cy) const;

    ColumnsDlgVariant m_variant;
    ColumnsDlgIds m_ids;
    std::vector<std::string> m_fieldNames;
    std::vector<std::string> m_displayNames;
    platform::ColumnLayout m_layout;
    bool m_bHasNames = false;
    bool m_bHasLayout = false;
    bool m_bDosCodePage = false;
    platform::CTextCodec m_codec;
    const platform::CCodePage* m_pOemPage = nullptr;

    CColumnList* m_pList = nullptr;
    QWidget* m_pListPlace = nullptr;
    QLineEdit* m_pWidth = nullptr;
    QPushButton* m_pUp = nullptr;
    QPushButton* m_pDown = nullptr;
    QPushButton* m_pShow = nullptr;
    QPushButton* m_pHide = nullptr;
    QPushButton* m_pDefault = nullptr;
};
