// The one multi-document template of a program: it makes documents and the
// frames (with their views) that show them, keeps the list of open
// documents, and knows the document strings (the name of an untitled
// document, the file filter and extension).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QString>
#include <QStringList>

namespace platform {

class CChildFrame;
class CDocument;
class CMainFrame;

class CMultiDocTemplate {
public:
    // Fields of the document string, separated by line breaks.
    enum DocStringIndex {
        windowTitle = 0,
        docName,         // base of an untitled document's title
        fileNewName,
        filterName,      // "Database Files (*.dbf)"
        filterExt,       // ".dbf"
        regFileTypeId,
        regFileTypeName,
    };
    using DocumentFactory = std::function<std::unique_ptr<CDocument>()>;
    // Makes a frame for the document, with its view or views as the client;
    // the template adds it to the main frame and runs the initial update.
    using FrameFactory = std::function<CChildFrame*(CDocument& document)>;

    CMultiDocTemplate(const QString& strDocString, DocumentFactory makeDocument, FrameFactory makeFrame);
    ~CMultiDocTemplate();

    QString GetDocString(DocStringIndex nIndex) const;

    // An empty path makes a new document (OnNewDocument); otherwise the
    // document opens the file. On success a frame shows it; nullptr when the
    // document refused (it told the user why).
    CDocument* OpenDocumentFile(const std::string& strPath, bool bMakeVisible = true);
    // Another frame on a document (the Window menu's New Window).
    CChildFrame* CreateNewFrame(CDocument& document, bool bMakeVisible = true);

    const std::vector<CDocument*>& GetDocuments() const { return m_documents; }
    // Forgets a closing document; it deletes itself.
    void RemoveDocument(CDocument* pDocument);
    // Asks about each modified document; false when the user cancelled.
    bool SaveAllModified();
    void CloseAllDocuments();

private:
    QStringList m_docStrings;
    DocumentFactory m_makeDocument;
    FrameFactory m_makeFrame;
    std::vector<CDocument*> m_documents;
    int m_nUntitled = 0;
};

}  // namespace platform
