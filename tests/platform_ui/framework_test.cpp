// The application framework with a document of text lines shown in a line
// edit: the command route and its update rules, accelerators and the keys a
// text box keeps, the exception barrier, the menu sets, closing with unsaved
// changes, opening a file that is open already, and dropped files.
#include <QLineEdit>
#include <QMdiArea>
#include <QMenuBar>
#include <QMimeData>
#include <QUrl>

#include <unistd.h>

#include <stdexcept>

#include "platform/ui/child_frame.h"
#include "platform/ui/command_ids.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/document.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "platform/ui/win_app.h"
#include "tests/platform_ui/ui_test_support.h"
#include "tests/support/test_support.h"

namespace {

using namespace platform;

constexpr unsigned kDocCommand = 40001;  // handled by the document, ruled by the view
constexpr unsigned kThrowing = 40002;    // the view's, and it throws
constexpr unsigned kNobody = 40003;      // no handler anywhere
constexpr unsigned kDeleteKey = 40004;   // bound to Delete

class CTextDoc : public CDocument {
public:
    CTextDoc() {
        m_commands.Add(kDocCommand, [this] { ++m_nRuns; });
    }
    bool OnOpenDocument(const std::string&) override { return true; }
    bool OnSaveDocument(const std::string&) override {
        ++m_nSaves;
        return true;
    }
    int m_nRuns = 0;
    int m_nSaves = 0;
};

class CTextView : public QLineEdit, public CViewBase {
public:
    explicit CTextView(QWidget* pParent) : QLineEdit(pParent) {
        m_commands.Add(kDocCommand, nullptr, [this](CCmdUI& ui) { ui.Enable(m_bEnable); });
        m_commands.Add(kThrowing, [] { throw std::runtime_error("the table went away"); });
        m_commands.Add(kDeleteKey, [this] { ++m_nDeletes; });
    }
    QWidget* GetViewWidget() override { return this; }
    bool m_bEnable = true;
    int m_nDeletes = 0;
};

class CTestApp : public CWinApp {
public:
    CTestApp() : CWinApp(QStringLiteral("Framework")) {}
    bool InitInstance() override {
        AddDocTemplate(std::make_unique<CMultiDocTemplate>(
            QStringLiteral("\nText\nText\nText Files (*.txt)\n.txt"), [] { return std::make_unique<CTextDoc>(); },
            [](CDocument& document) {
                auto* pFrame = new CChildFrame(document);
                pFrame->SetView(new CTextView(pFrame));
                return pFrame;
            }));
        auto* pFrame = new CMainFrame;
        SetMainWnd(pFrame);
        pFrame->SetMenus({MenuPopup("&File", {MenuCommand(ID_FILE_OPEN, "&Open")})},
                         {MenuPopup("&File", {MenuCommand(ID_FILE_CLOSE, "&Close")}), MenuPopup("&Edit", {})});
        pFrame->SetAccelerators({{QKeyCombination(Qt::NoModifier, Qt::Key_F2), kDocCommand},
                                 {QKeyCombination(Qt::NoModifier, Qt::Key_Delete), kDeleteKey}});
        pFrame->SetAcceptFiles(true);
        return true;
    }
};

class FrameworkTest : public ::testing::Test {
protected:
    ui_test::AppGuard m_guard;
    testing_support::TempDir m_dir;
    CTestApp m_app;

    void SetUp() override {
        m_app.InitInstance();
        ui_test::ShowActive(*m_app.GetMainWnd());
    }
    void TearDown() override {
        CScopedMessageBoxHook no([](const MessageBoxRequest&) { return IDNO; });
        m_app.GetMainWnd()->CloseFrame();
        ui_test::Settle();
    }
    CMainFrame& Frame() { return *m_app.GetMainWnd(); }
    CTextDoc* OpenFile(const std::string& strName) {
        std::string strPath = m_dir.Path(strName);
        if (!CFileExists(strPath))
            testing_support::WriteFileBytes(strPath, std::string("x"));
        auto* pDoc = dynamic_cast<CTextDoc*>(m_app.OpenDocumentFile(strPath));
        ui_test::Settle();
        return pDoc;
    }
    static bool CFileExists(const std::string& strPath) { return ::access(strPath.c_str(), F_OK) == 0; }
    CTextView* View() { return dynamic_cast<CTextView*>(Frame().GetActiveView()); }
};

TEST_F(FrameworkTest, CommandsFindTheirHandlerAlongTheRouteAndRunOnlyWhenEnabled) {
    CTextDoc* pDoc = OpenFile("a.txt");
    ASSERT_NE(pDoc, nullptr);
    EXPECT_TRUE(Frame().ExecuteCommand(kDocCommand));
    EXPECT_EQ(pDoc->m_nRuns, 1);
    View()->m_bEnable = false;
    EXPECT_FALSE(Frame().ExecuteCommand(kDocCommand));
    View()->setFocus();
    ui_test::Key(Qt::Key_F2);
    EXPECT_EQ(pDoc->m_nRuns, 1) << "a key runs a command only when its rule enables it";
    View()->m_bEnable = true;
    ui_test::Key(Qt::Key_F2);
    EXPECT_EQ(pDoc->m_nRuns, 2);
    CCmdUI nobody(kNobody);
    EXPECT_FALSE(Frame().UpdateCommand(nobody));
    EXPECT_FALSE(nobody.IsEnabled());
}

TEST_F(FrameworkTest, ATextBoxKeepsItsEditingKeysFromTheAcceleratorTable) {
    ASSERT_NE(OpenFile("a.txt"), nullptr);
    View()->setText("abc");
    View()->setFocus();
    View()->setCursorPosition(0);
    ui_test::Key(Qt::Key_Delete);
    EXPECT_EQ(View()->text().toStdString(), "bc");
    EXPECT_EQ(View()->m_nDeletes, 0);
}

TEST_F(FrameworkTest, AnErrorInACommandIsShownAndTheProgramRunsOn) {
    ASSERT_NE(OpenFile("a.txt"), nullptr);
    CScopedMessageBoxHook hook;
    EXPECT_TRUE(Frame().ExecuteCommand(kThrowing));
    ASSERT_EQ(hook.GetRequests().size(), 1u);
    EXPECT_EQ(hook.GetRequests()[0].strText.toStdString(), "the table went away");
    EXPECT_TRUE(Frame().ExecuteCommand(kDocCommand));
}

TEST_F(FrameworkTest, TheMenuBarShowsTheDocumentMenusWhileADocumentWindowIsOpen) {
    EXPECT_EQ(Frame().menuBar()->actions().size(), 1);
    CTextDoc* pDoc = OpenFile("a.txt");
    EXPECT_EQ(Frame().menuBar()->actions().size(), 2);
    EXPECT_EQ(Frame().windowTitle().toStdString(), "Framework - a.txt");
    pDoc->OnCloseDocument();
    ui_test::Settle();
    EXPECT_EQ(Frame().menuBar()->actions().size(), 1);
}

TEST_F(FrameworkTest, CancelInTheSavePromptKeepsTheWindowAndTheProgram) {
    CTextDoc* pDoc = OpenFile("a.txt");
    pDoc->SetModifiedFlag(true);
    {
        CScopedMessageBoxHook cancel([](const MessageBoxRequest&) { return IDCANCEL; });
        EXPECT_FALSE(Frame().CloseFrame());
        Frame().GetActiveFrame()->close();
        ui_test::Settle();
        EXPECT_EQ(cancel.GetRequests().size(), 2u);
    }
    ASSERT_EQ(Frame().GetChildFrames().size(), 1u);
    CScopedMessageBoxHook yes;
    QTest::keyClick(Frame().GetActiveFrame(), Qt::Key_F4, Qt::ControlModifier);  // the child's close key
    ui_test::Settle();
    EXPECT_EQ(yes.GetRequests().size(), 1u);
    EXPECT_EQ(pDoc->m_nSaves, 1);
    EXPECT_TRUE(Frame().GetChildFrames().empty());
}

TEST_F(FrameworkTest, AFileOpenUnderAnotherNameActivatesItsWindowAndDroppedFilesOpen) {
    CTextDoc* pFirst = OpenFile("a.txt");
    ASSERT_EQ(::symlink(m_dir.Path("a.txt").c_str(), m_dir.Path("link.txt").c_str()), 0);
    EXPECT_EQ(m_app.OpenDocumentFile(m_dir.Path("link.txt")), pFirst);
    EXPECT_EQ(Frame().GetChildFrames().size(), 1u);

    testing_support::WriteFileBytes(m_dir.Path("b.txt"), std::string("y"));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(m_dir.Path("b.txt")))});
    EXPECT_TRUE(Frame().acceptDrops());
    Frame().OpenDroppedFiles(data);
    ui_test::Settle();
    EXPECT_EQ(Frame().GetChildFrames().size(), 2u);
}

}  // namespace
