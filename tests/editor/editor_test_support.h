// What Tabulon's GUI tests share: the program started in this process with a
// settings file in a temporary folder, tables opened into windows, commands
// sent by id through the main frame, and the active document and view.
#pragma once

#include <memory>
#include <string>

#include <QLabel>

#include <gtest/gtest.h>

#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/editor_ids.h"
#include "editor/tabulon_app.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/dialog.h"
#include "platform/ui/file_dialog.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "samples/table_generator.h"
#include "tests/platform_ui/ui_test_support.h"
#include "tests/support/test_support.h"

namespace editor_test {

using FieldSpec = samples::FieldSpec;

// Builds a table through the engine: the structure, then one record per row
// of texts (each stored as the typed value of its field; "" leaves the field
// blank), then the records of bDeleted marked deleted. Returns the path.
std::string MakeTable(const std::string& strPath, uint8_t nVersion, const std::vector<FieldSpec>& fields,
                      const std::vector<std::vector<std::string>>& rows, const std::vector<int>& deleted = {});

// The records of a table as python3-dbfread reads them, one line each:
// the values repr()'d and joined by "|"; "SKIP" when dbfread is missing.
std::string ReadWithDbfread(const std::string& strPath);

class TabulonTest : public ::testing::Test {
protected:
    ui_test::AppGuard m_guard;
    testing_support::TempDir m_dir;
    std::unique_ptr<CTabulonApp> m_pApp;

    void SetUp() override { StartProgram(); }
    void TearDown() override { StopProgram(); }

    // The program, as `tabulon` starts it, with its settings file in the
    // temporary folder. The main window is shown (offscreen).
    void StartProgram() {
        m_pApp = std::make_unique<CTabulonApp>();
        m_pApp->SetProgramSettingsPath(SettingsPath());
        ASSERT_TRUE(m_pApp->InitInstance(CTabulonApp::CommandLine{}, true));
        ui_test::Settle();
    }
    // Closes every window without asking (modified tables are not saved).
    void StopProgram() {
        if (!m_pApp)
            return;
        platform::CScopedMessageBoxHook noToAll([](const platform::MessageBoxRequest&) { return platform::IDNO; });
        if (platform::CMainFrame* pFrame = Frame())
            pFrame->CloseFrame();
        ui_test::Settle();
        m_pApp.reset();
        ui_test::Settle();
    }

    std::string SettingsPath() const { return m_dir.Path("tabulon.ini"); }
    platform::CMainFrame* Frame() const { return m_pApp ? m_pApp->GetMainWnd() : nullptr; }

    // A copy of a corpus table (and its memo file, if named) in the folder.
    std::string CopyCorpus(const std::string& strName, const std::string& strMemo = "") {
        if (!strMemo.empty())
            m_dir.CopyIn(testing_support::CorpusFile(strMemo));
        return m_dir.CopyIn(testing_support::CorpusFile(strName));
    }

    // Opens a table in a window; the active document, or null.
    CDBFDoc* Open(const std::string& strPath) {
        platform::CDocument* pDocument = m_pApp->OpenDocumentFile(strPath);
        ui_test::Settle();
        return dynamic_cast<CDBFDoc*>(pDocument);
    }
    CDBFDoc* Doc() const { return Frame() ? dynamic_cast<CDBFDoc*>(Frame()->GetActiveDocument()) : nullptr; }
    CDBFView* View() const { return Frame() ? dynamic_cast<CDBFView*>(Frame()->GetActiveView()) : nullptr; }

    bool Command(unsigned nId) { return ui_test::RunCommand(*Frame(), nId); }
    platform::CCmdUI State(unsigned nId) const { return ui_test::CommandState(*Frame(), nId); }
    // A data cell's text by column and row of the view (data indexes).
    std::string Cell(int nCol, int nRow) const {
        CDBFView* pView = View();
        return pView ? pView->GetCellText(pView->FieldOfColumn(nCol), nRow) : std::string();
    }
};

}  // namespace editor_test
