// What Peekrow's GUI tests share: the program started in this process with
// its QSettings in a temporary folder, tables built byte by byte and opened
// into windows, commands sent by id through the main frame, message boxes
// recorded, and the active window, pane and document.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QSettings>

#include <gtest/gtest.h>

#include "platform/ui/command_ids.h"
#include "platform/ui/dialog.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "tests/platform_ui/ui_test_support.h"
#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"
#include "tests/support/test_support.h"
#include "viewer/child_frame.h"
#include "viewer/dbf_doc.h"
#include "viewer/dbf_view.h"
#include "viewer/peekrow_app.h"
#include "viewer/ui/splitter_wnd.h"
#include "viewer/viewer_ids.h"

namespace viewer_test {

using namespace testing_support;

class PeekrowTest : public ::testing::Test {
protected:
    ui_test::AppGuard m_guard;
    TempDir m_dir;
    std::unique_ptr<CPeekrowApp> m_pApp;
    // Every message box of the test, answered with its first button.
    std::unique_ptr<platform::CScopedMessageBoxHook> m_pBoxes;

    void SetUp() override {
        // The settings of this test only: QSettings takes the folder when it
        // creates its store, at start-up.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(m_dir.Path("config")));
        m_pBoxes = std::make_unique<platform::CScopedMessageBoxHook>();
        StartProgram();
    }
    void TearDown() override {
        StopProgram();
        m_pBoxes.reset();
    }

    void StartProgram(const CPeekrowApp::CommandLine& line = {}) {
        m_pApp = std::make_unique<CPeekrowApp>();
        ASSERT_TRUE(m_pApp->InitInstance(line, true));
        ui_test::Settle();
    }
    void StopProgram() {
        if (!m_pApp)
            return;
        if (platform::CMainFrame* pFrame = Frame())
            pFrame->CloseFrame();
        ui_test::Settle();
        m_pApp.reset();
        ui_test::Settle();
    }

    platform::CMainFrame* Frame() const { return m_pApp ? m_pApp->GetMainWnd() : nullptr; }
    CDBFDoc* Open(const std::string& strPath) {
        platform::CDocument* pDocument = m_pApp->OpenDocumentFile(strPath);
        ui_test::Settle();
        return dynamic_cast<CDBFDoc*>(pDocument);
    }
    CDBFDoc* Doc() const { return Frame() ? dynamic_cast<CDBFDoc*>(Frame()->GetActiveDocument()) : nullptr; }
    CChildFrame* Window() const { return Frame() ? dynamic_cast<CChildFrame*>(Frame()->GetActiveFrame()) : nullptr; }
    CDBFView* View() const { return Frame() ? dynamic_cast<CDBFView*>(Frame()->GetActiveView()) : nullptr; }
    CKelSplitterWnd* Splitter() const { return Window() ? Window()->GetSplitter() : nullptr; }
    CDBFView* Pane(int r, int c) const { return Splitter() ? dynamic_cast<CDBFView*>(Splitter()->GetPane(r, c)) : nullptr; }

    bool Command(unsigned nId) { return ui_test::RunCommand(*Frame(), nId); }
    platform::CCmdUI State(unsigned nId) const { return ui_test::CommandState(*Frame(), nId); }
    // The text a pane of the status bar shows now.
    QString PaneText(unsigned nId) {
        Frame()->UpdateUserInterface();
        QLabel* pLabel = Frame()->GetPane(nId);
        return pLabel ? pLabel->text() : QString();
    }
    std::string Cell(int nCol, int nRow) const { return View() ? View()->GetCellText(nCol, nRow) : std::string(); }
    // The message boxes shown so far, and forgetting them.
    std::vector<platform::MessageBoxRequest> Boxes() const { return m_pBoxes->GetRequests(); }
    void ForgetBoxes() {
        m_pBoxes.reset();
        m_pBoxes = std::make_unique<platform::CScopedMessageBoxHook>();
    }
};

}  // namespace viewer_test
