// CDBFDoc: one table open in Peekrow. It owns the reader and the column list
// every window of the table shows (CViewerDocData), the code pages its text
// is read in, and shows the reader's errors in message boxes. It never
// writes the table: there is nothing to save.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/code_page.h"
#include "platform/ui/document.h"
#include "platform/ui/text_codec.h"
#include "viewer/reader/viewer_document.h"

// The OEM/ANSI pair a table's text is read in.
struct TableCodePages {
    const platform::CCodePage* pOem = nullptr;
    const platform::CCodePage* pAnsi = nullptr;
};
// The pair for the table the reader has open: for now the program's
// current pair, whatever the table says of itself.
TableCodePages ChooseTableCodePages(const CDBFFileReader& reader);

// Whether a table of this code-page mark (header byte 29) holds DOS text that
// is shown through the Windows page: all but the Windows marks 0x03 and
// 0xC8 to 0xCB.
bool IsDosTextMark(uint8_t nMark);

// Shows the reader's errors: a message box with no owner, the stop icon and
// the caption "Error", after the event during which the reader met them.
class CMessageBoxErrorSink : public CReaderErrorSink {
public:
    void ShowError(unsigned nMessageId, const std::string& strText) override;
};

class CDBFDoc : public platform::CDocument {
    Q_OBJECT
public:
    CDBFDoc();
    ~CDBFDoc() override;

    CViewerDocData& GetData() { return m_data; }
    CDBFFileReader& GetReader() { return m_data.GetReader(); }
    std::vector<ViewerColumnInfo>& GetColumns() { return m_data.GetColumns(); }
    bool IsTableOpen() const { return m_data.GetReader().IsOpen(); }
    // The field names as the table holds them.
    std::vector<std::string> GetFieldNames() const;

    // ---- the table's text -------------------------------------------------------------
    const TableCodePages& GetCodePages() const { return m_pages; }
    const platform::CCodePage& GetOemPage() const;
    const platform::CCodePage& GetAnsiPage() const;
    // Table bytes as a window shows them: with bDos the OEM text converted
    // to the ANSI page.
    std::string ToDisplayText(std::string strText, bool bDos) const;
    // The codec that turns display text into Unicode.
    platform::CTextCodec GetTextCodec() const { return platform::CTextCodec(&GetAnsiPage()); }
    // The code-page choice a new window of this table starts with.
    bool IsDosTextByDefault() const;

    // ---- life cycle --------------------------------------------------------------------
    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& strPath) override;
    void OnCloseDocument() override;
    // Every view of the table runs its initial update again (a new column
    // layout) and repaints.
    void ReinitializeAllViews();

private:
    CMessageBoxErrorSink m_sink;
    CViewerDocData m_data;
    TableCodePages m_pages;
    mutable std::unique_ptr<platform::CCodePageConverter> m_pToAnsi;
};
