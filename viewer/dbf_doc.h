// CDBFDoc: one table open in Peekrow. It owns the reader and the column list
// every window of the table shows (CViewerDocData), the code pages its text
// is read in, and shows the reader's errors in message boxes. It never
// writes the table: there is nothing to save.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/core/code_page.h"
#include "platform/core/table_code_page.h"
#include "platform/ui/document.h"
#include "platform/ui/text_codec.h"
#include "viewer/reader/viewer_document.h"

// The table's code pages by the one rule of platform/core/table_code_page.h,
// from what the reader sees: the version byte, the code-page mark, a ".cpg"
// file beside the table and, only when those name no page, a sample of its
// text (the C fields of the first megabyte of records and the text memos
// they reference), exactly as the engine decides for Tabulon.
platform::TableCodePages ChooseTableCodePages(CDBFFileReader& reader);

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

    CDBFFileReader& GetReader() { return m_data.GetReader(); }
    std::vector<ViewerColumnInfo>& GetColumns() { return m_data.GetColumns(); }
    bool IsTableOpen() const { return m_data.GetReader().IsOpen(); }
    // The field names as the table holds them.
    std::vector<std::string> GetFieldNames() const;

    // ---- the table's text -------------------------------------------------------------
    const platform::CCodePage& GetOemPage() const;
    const platform::CCodePage& GetAnsiPage() const;
    // Text in UTF-8 or another multi-byte page: shown and searched whole,
    // never converted byte by byte, and the DOS choice has no meaning.
    bool IsWholeText() const { return m_pages.IsWholeText(); }
    // Table bytes as a window shows them: with bDos the OEM text converted
    // to the ANSI page.
    std::string ToDisplayText(std::string strText, bool bDos) const;
    // The codec that turns display text into Unicode.
    platform::CTextCodec GetTextCodec() const;
    // The code-page choice a new window of this table starts with: DOS when
    // the rule says the table holds OEM text.
    bool IsDosTextByDefault() const { return m_pages.bOemText && !IsWholeText(); }

    // ---- life cycle --------------------------------------------------------------------
    bool OnNewDocument() override;
    bool OnOpenDocument(const std::string& strPath) override;
    void OnCloseDocument() override;
    // Every view of the table runs its initial update again (a new column
    // layout) and repaints.
    void ReinitializeAllViews();
    // The title, with the table's index file named when it has one (it
    // says the table belongs to a program that keeps an index of it).
    void SetTitle(const QString& strTitle) override;

private:
    CMessageBoxErrorSink m_sink;
    CViewerDocData m_data;
    platform::TableCodePages m_pages;
    mutable std::unique_ptr<platform::CCodePageConverter> m_pToAnsi;
};
