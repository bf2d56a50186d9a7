// A document of the application framework: the data one or more windows
// show, with its path, title and modified flag. Its life cycle is the
// framework's: new, open, save (in place, or to a path the user picks),
// and close, which asks about unsaved changes and then destroys every frame
// that shows it. Derived documents override the On... steps.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include <QObject>
#include <QString>

#include "platform/ui/view_base.h"

namespace platform {

class CChildFrame;
class CMultiDocTemplate;

class CDocument : public QObject, public CCmdTarget {
    Q_OBJECT
public:
    CDocument();
    ~CDocument() override;

    CMultiDocTemplate* GetDocTemplate() const { return m_pTemplate; }
    void SetDocTemplate(CMultiDocTemplate* pTemplate) { m_pTemplate = pTemplate; }

    // The file's path as the file system spells it (bytes), empty for a new
    // document.
    const std::string& GetPathName() const { return m_strPathName; }
    // Sets the path and the title (the file's name); adds it to the recent
    // files when asked.
    virtual void SetPathName(const std::string& strPath, bool bAddToMRU = true);
    const QString& GetTitle() const { return m_strTitle; }
    virtual void SetTitle(const QString& strTitle);

    bool IsModified() const { return m_bModified; }
    virtual void SetModifiedFlag(bool bModified = true);

    // The views of every frame that shows the document.
    const std::vector<CViewBase*>& GetViews() const { return m_views; }
    void AddView(CViewBase* pView);
    void RemoveView(CViewBase* pView);
    // Tells every view but the sender that the document changed.
    void UpdateAllViews(CViewBase* pSender, intptr_t nHint = 0);
    const std::vector<CChildFrame*>& GetFrames() const { return m_frames; }
    void AddFrame(CChildFrame* pFrame);
    void RemoveFrame(CChildFrame* pFrame);

    // ---- life cycle -------------------------------------------------------------
    virtual bool OnNewDocument();
    virtual bool OnOpenDocument(const std::string& strPath);
    // Writes the document to strPath; false when it could not (the document
    // has told the user why).
    virtual bool OnSaveDocument(const std::string& strPath);
    // Destroys every frame of the document, then the document itself (after
    // the current event, so that callers up the stack stay valid).
    virtual void OnCloseDocument();
    virtual void DeleteContents() {}
    bool IsClosing() const { return m_bClosing; }

    // Asks "Save changes to ...?" when the document is modified: Yes saves
    // (false when the save fails), No goes on, Cancel stops. True when the
    // caller may go on.
    virtual bool SaveModified();
    // The frame is about to close: its document's last frame asks first.
    virtual bool CanCloseFrame(CChildFrame* pFrame);
    // Save: in place, or through the Save As path when there is none.
    virtual bool DoFileSave();
    // Saves to strPath; an empty path asks for one with the save dialog.
    virtual bool DoSave(const std::string& strPath, bool bReplace = true);

signals:
    void titleChanged();

private:
    void UpdateFrameTitles();

    CMultiDocTemplate* m_pTemplate = nullptr;
    std::string m_strPathName;
    QString m_strTitle;
    bool m_bModified = false;
    bool m_bClosing = false;
    std::vector<CViewBase*> m_views;
    std::vector<CChildFrame*> m_frames;
};

}  // namespace platform
