// The two settings sheets. CSettingPrpSheet edits the program settings file
// (the defaults every table opens with, and the DOS/Windows code-page pair);
// CFileSettingPrpSheet edits the settings file of the table in the active
// window and applies its choices to that window at once: the open mode (the
// table is reopened), the code page, deleted records, the date format and the
// columns. Each has a File and a View page, filled when first shown and
// stored when the sheet applies; a settings file that cannot be written on
// OK or Apply is named in a message and the sheet stays open.
#pragma once

#include <string>

#include "editor/settings/program_settings.h"
#include "editor/settings/table_settings.h"
#include "platform/core/column_layout.h"
#include "platform/ui/property_sheet.h"

class CDBFDoc;
class CDBFView;
class QCheckBox;
class QComboBox;
class QRadioButton;

// ---- the program's sheet -------------------------------------------------------------------

class CPrpPageFile : public platform::CPropertyPage {
    Q_OBJECT
public:
    explicit CPrpPageFile(tabulon::CProgramSettings settings, QWidget* pParent = nullptr);
    void OnInitPage() override;
    bool OnApply() override;

private:
    tabulon::CProgramSettings m_settings;
    QRadioButton* m_pMode[3] = {};
    QCheckBox* m_pAutoCreate = nullptr;
};

class CPrpPageView : public platform::CPropertyPage {
    Q_OBJECT
public:
    explicit CPrpPageView(tabulon::CProgramSettings settings, QWidget* pParent = nullptr);
    void OnInitPage() override;
    bool OnApply() override;

private:
    tabulon::CProgramSettings m_settings;
    QRadioButton* m_pCodePage[3] = {};
    QCheckBox* m_pShowDeleted = nullptr;
    QComboBox* m_pDateFormat = nullptr;
    QComboBox* m_pOemPage = nullptr;
    QComboBox* m_pAnsiPage = nullptr;
    std::string m_strStoredOem;
    std::string m_strStoredAnsi;
};

class CSettingPrpSheet : public platform::CPropertySheet {
    Q_OBJECT
public:
    explicit CSettingPrpSheet(tabulon::CProgramSettings settings, QWidget* pParent = nullptr);
    CPrpPageFile* GetFilePage() const { return m_pFilePage; }
    CPrpPageView* GetViewPage() const { return m_pViewPage; }

private:
    CPrpPageFile* m_pFilePage;
    CPrpPageView* m_pViewPage;
};

// ---- the table's sheet ---------------------------------------------------------------------

class CFilePrpPageFile : public platform::CPropertyPage {
    Q_OBJECT
public:
    CFilePrpPageFile(tabulon::CTableSettings settings, CDBFDoc* pDoc, QWidget* pParent = nullptr);
    void OnInitPage() override;
    // Reopens the table first when the mode changes; a refused reopen
    // refuses the apply and writes nothing.
    bool OnApply() override;

private:
    tabulon::CTableSettings m_settings;
    CDBFDoc* m_pDoc;
    QRadioButton* m_pMode[3] = {};
    QCheckBox* m_pAutoSave = nullptr;
};

class CFilePrpPageView : public platform::CPropertyPage {
    Q_OBJECT
public:
    CFilePrpPageView(tabulon::CTableSettings settings, CDBFDoc* pDoc, CDBFView* pView, QWidget* pParent = nullptr);
    void OnInitPage() override;
    bool OnApply() override;
    // "settings...": the Columns dialog on a copy of the page's layout.
    void OnColumnsSettings();
    const platform::ColumnLayout& GetLayout() const { return m_layout; }

private:
    tabulon::CTableSettings m_settings;
    CDBFDoc* m_pDoc;
    CDBFView* m_pView;
    platform::ColumnLayout m_layout;
    bool m_bLayoutChanged = false;
    QRadioButton* m_pCodePage[2] = {};
    QCheckBox* m_pShowDeleted = nullptr;
    QComboBox* m_pDateFormat = nullptr;
};

class CFileSettingPrpSheet : public platform::CPropertySheet {
    Q_OBJECT
public:
    CFileSettingPrpSheet(tabulon::CTableSettings settings, CDBFDoc* pDoc, CDBFView* pView, QWidget* pParent = nullptr);
    CFilePrpPageFile* GetFilePage() const { return m_pFilePage; }
    CFilePrpPageView* GetViewPage() const { return m_pViewPage; }

private:
    CFilePrpPageFile* m_pFilePage;
    CFilePrpPageView* m_pViewPage;
};

// Shows that a settings file could not be written, naming it and why.
void ReportSettingsNotWritten(QWidget* pParent, const std::string& strPath, int nErrno);
