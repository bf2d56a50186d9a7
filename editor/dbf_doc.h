// CDBFDoc: one open table in Tabulon. It owns the table in memory (the
// memory cursor set), the column layout its window shows, the per-table
// display settings read from the settings files, the find and replace
// histories and the filter, and it runs the document's life cycle: create a
// table through the structure dialog, open it, save it in place or as a
// dBASE III or Visual FoxPro copy, reopen it in another mode, and close it
// writing its settings file.
//
// Saving never reports success it did not have: engine and file errors are
// shown and leave the table, its path and the modified flag as they were; a
// table another program changed since it was loaded asks whether to write
// over it, reload it, or do nothing.
#pragma once

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/memory_cursorset.h"
#include "platform/core/column_layout.h"
#include "platform/core/code_page.h"
#include "platform/core/table_code_page.h"
#include "platform/ui/document.h"
#include "platform/ui/text_codec.h"

class CDBFView;

namespace tabulon {
class CProgramSettings;
}

// The filter of one window (each document keeps its own).
struct DocFilter {
    std::string strCondition;  // as typed, in the table's display code page; empty: no filter
    int nField = -1;           // -1: every visible column
    std::string strFieldName;  // the field, found again by name after a structure change
};

class CDBFDoc : public platform::CDocument {
    Q_OBJECT
public:
    CDBFDoc();
    ~CDBFDoc() override;

    // ---- the document's data, read and changed by the view and its commands ----
    dbf::CDBFMemoryCursorset m_table;
    platform::ColumnLayout m_columns;  // one entry per field while a table is open
    std::vector<std::string> m_findHistory;
    std::vector<std::string> m_replaceHistory;
    bool m_bDosCodePage = false;
    unsigned m_nOpenMode = 64;
    bool m_bShowDeleted = false;
    std::string m_strDateFormat;
    bool m_bEditable = false;
    unsigned m_nSaveType = 0;
    DocFilter m_filter;

    bool IsReadOnly() const { return m_nOpenMode == 64; }
    bool IsTableOpen() const { return m_table.IsOpen(); }
    // Field names as the table holds them.
    std::vector<std::string> GetFieldNames() const;
    // The default layout: every field, in field order, headed by its name.
    void SetDefaultLayout();

    // ---- the table's text --------------------------------------------------------------
    // Table bytes as the window shows them (OEM text converted to the ANSI
    // page when the table is DOS text), and typed text back to table bytes.
    std::string ToDisplayText(std::string strText) const;
    std::string FromDisplayText(std::string strText) const;
    // The codec that turns display text into Unicode.
    platform::CTextCodec GetTextCodec() const;
    const platform::CCodePage& GetOemPage() const;
    const platform::CCodePage& GetAnsiPage() const;
    // What the code-page rule decided for the table (its pair, DOS or
    // Windows text by default, whole text such as UTF-8).
    const platform::TableCodePages& GetCodePages() const { return m_codePages; }
    // Whole text (UTF-8, a double-byte page) is shown and typed as it is:
    // the DOS flag does not apply to it.
    bool IsWholeText() const { return m_codePages.IsWholeText(); }

    // ---- life cycle ----------------------------------------------------------------------
    // The title, with the table's index file named when it has one.
    void SetTitle(const QString& strTitle) override;
    // The table's structural index (.CDX, .MDX) when its file is there: the
    // programs that keep it expect every write to update it, and this
    // program never does.
    const dbf::StructuralIndex* GetPresentIndex() const;
    // Asked before the first write of a document to a table with an index
    // file: true to go on (asked once; the answer holds until the table is
    // opened again).
    bool ConfirmIndexGoesStale();

    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& strPath) override;
    bool OnSaveDocument(const std::string& strPath) override;
    void OnCloseDocument() override;
    void DeleteContents() override;
    // Ends every view's edit first: the text in an open editor is part of
    // what is asked about and saved. A refused value stops here.
    bool SaveModified() override;
    bool DoFileSave() override;

    // The Save As command: the file dialog with the three dialects. False
    // when nothing happened (the dialog cancelled, an edit refused); true
    // once a save was tried, after which the table may have been opened anew.
    bool SaveTableAs();
    // Reopens the table file in another mode without reloading records.
    bool ReopenTable(unsigned nOpenMode);
    // Closes and opens the table again from its file in the document's mode,
    // keeping the layout; unsaved changes are gone.
    bool ReloadTable();

    // ---- rewriting the table file -------------------------------------------------------
    // Save (SaveInPlace), Pack and the structure change each reach the file
    // in one place, so that whatever must be asked about the file first can
    // stand in front of them.
    //
    // Removes the deleted records from the file. The file is held
    // exclusively meanwhile (another program writing into it would write
    // into the backup once the packed file takes its name); false, reported,
    // with the table and the modified flag as they were, when it could not.
    bool PackTable();
    // Writes the structure being edited on the table definition (after
    // BeginModifyStructure and the structure dialog): the table's edits are
    // saved first, since the new file is copied from the old one; then the
    // file is rewritten and opened again in the document's mode with the
    // default layout and the modified flag cleared. On a failure it is
    // reported, the structure edit dropped, and the table, its edits and the
    // modified flag stay as they were; should the table have had to be
    // opened again from its file, *pbReopened is set.
    bool WriteTableStructure(bool* pbReopened = nullptr);

    // ---- settings --------------------------------------------------------------------------
    void LoadOpenSettings(const std::string& strPath);
    // Decides the code page and takes the stored layout; false when there is
    // no usable one.
    bool LoadViewSettings();
    // False when the file could not be written.
    bool SaveTableSettings();
    // The file dialog of New and Save As: true for OK, with the dialect of
    // the chosen filter in nSaveType (59395, 59396 or 59397).
    bool PromptTableFileName(std::string& strPath, unsigned nTitleId, bool bCreate, unsigned& nSaveType);

    // Ends the in-place edit of every view (committing it); false when a
    // view refused the value.
    bool EndViewEdits();
    // A record that could not be read while painting: the first such error of
    // the document is reported (once), later ones are not.
    void ReportReadFailure(const std::string& strWhat);

    // The program's settings file (through the application).
    static tabulon::CProgramSettings ProgramSettings();

private:
    bool SaveInPlace();
    // Closes the table and opens it again from strPath in the document's
    // mode, keeping whether deleted records are hidden; false, reported,
    // when it does not open.
    bool OpenTableFromFile(const std::string& strPath);
    bool SaveCopy(const std::string& strPath, unsigned nSaveType);
    // Asks before a copy cuts memo texts to fit its fields; true to go on.
    bool AcceptExportCuts(bool bVisualFoxPro);
    void ComputeEditability();
    void ChooseCodePages();
    // nOpenMode, or read only when the file cannot be written (then also
    // remembered for the title).
    unsigned ModeThisFileAllows(const std::string& strPath, unsigned nOpenMode);

    // DOS to display and back, for the pages they were built from.
    const std::pair<platform::CCodePageConverter, platform::CCodePageConverter>& DisplayConverters() const;
    mutable std::optional<std::pair<platform::CCodePageConverter, platform::CCodePageConverter>> m_displayConverters;
    mutable const platform::CCodePage* m_pConvertedOem = nullptr;
    mutable const platform::CCodePage* m_pConvertedAnsi = nullptr;
    platform::TableCodePages m_codePages;
    bool m_bReadFailureReported = false;
    bool m_bIndexWriteAccepted = false;
    bool m_bWriteProtected = false;  // opened for reading because the file cannot be written
};
