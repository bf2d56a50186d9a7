// The program's icon: the window shows the same picture the desktop installs
// (the PNG files rendered for the hicolor theme), and the about box shows it.
#include <QLabel>

#include "editor/about_dlg.h"
#include "editor/toolbar_icons.h"
#include "platform/core/vector_icon.h"
#include "tests/editor/editor_test_support.h"

namespace {

TEST(ProgramIcon, TheInstalledFilesAreTheWindowIconsPicture) {
    ui_test::EnsureApplication();
    QIcon icon = TabulonIcon();
    for (int nSize : {16, 22, 24, 32, 48, 64, 128, 256}) {
        QString strFile = QStringLiteral(PROGRAM_ICONS_DIR "/hicolor/%1x%1/apps/tabulon.png").arg(nSize);
        QImage installed(strFile);
        ASSERT_FALSE(installed.isNull()) << strFile.toStdString();
        QImage shown = icon.pixmap(nSize, nSize).toImage().convertToFormat(installed.format());
        ASSERT_EQ(shown.size(), QSize(nSize, nSize));
        EXPECT_EQ(shown, installed) << "size " << nSize;
    }
    std::string strSvg = platform::ToSvg(TabulonIconDrawing(), 256);
    testing_support::Bytes svg = testing_support::ReadFileBytes(PROGRAM_ICONS_DIR "/hicolor/scalable/apps/tabulon.svg");
    EXPECT_EQ(std::string(svg.begin(), svg.end()), strSvg);
}

TEST(ProgramIcon, TheAboutBoxShowsIt) {
    ui_test::EnsureApplication();
    CAboutDlg dialog;
    QImage expected = TabulonIcon().pixmap(48, 48).toImage();
    bool bFound = false;
    for (QLabel* pLabel : dialog.findChildren<QLabel*>())
        bFound = bFound || pLabel->pixmap().toImage().convertToFormat(expected.format()) == expected;
    EXPECT_TRUE(bFound);
}

}  // namespace
