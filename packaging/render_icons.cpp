// render-icons DIR: writes both programs' icons into DIR as a hicolor icon
// theme: DIR/hicolor/scalable/apps/NAME.svg and DIR/hicolor/NxN/apps/NAME.png
// for each size the window icons hold. The drawings are the ones the
// programs paint their windows with, so the installed icons are the same
// pictures.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>

#include <QGuiApplication>
#include <QImage>
#include <QString>

#include "editor/toolbar_icons.h"
#include "platform/ui/vector_icon_painter.h"
#include "viewer/ui/peekrow_icon.h"

namespace fs = std::filesystem;

namespace {

bool WriteIcon(const fs::path& root, const std::string& strName, const platform::VectorIcon& icon) {
    std::error_code ec;
    fs::path scalable = root / "hicolor" / "scalable" / "apps";
    fs::create_directories(scalable, ec);
    std::ofstream svg(scalable / (strName + ".svg"), std::ios::binary | std::ios::trunc);
    svg << platform::ToSvg(icon, 256);
    if (!svg.good() || ec)
        return false;
    for (int nSize : platform::kIconSizes) {
        std::string strSize = std::to_string(nSize) + "x" + std::to_string(nSize);
        fs::path folder = root / "hicolor" / strSize / "apps";
        fs::create_directories(folder, ec);
        QString strFile = QString::fromStdString((folder / (strName + ".png")).string());
        if (ec || !platform::RenderVectorIcon(icon, nSize).save(strFile, "PNG"))
            return false;
    }
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: render-icons DIR\n", stderr);
        return 2;
    }
    // Images only: no display is needed, and none is opened.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    fs::path root(argv[1]);
    if (!WriteIcon(root, "tabulon", TabulonIconDrawing()) || !WriteIcon(root, "peekrow", PeekrowIconDrawing())) {
        std::fprintf(stderr, "render-icons: cannot write the icons into %s\n", argv[1]);
        return 1;
    }
    return 0;
}
