// columns-demo: the Columns dialog on a list of field names, for looking at
// it and trying it out.
//   columns-demo [--viewer] [--dos] [--screenshot FILE] [--quit-after MS] [NAME...]
// Without names it shows a small customer table's fields with a few headers
// changed and one column hidden. --viewer shows the viewer's variant, --dos
// takes the names as DOS text. --screenshot saves the dialog's window into a
// PNG file once it shows and closes it. On OK the layout is printed, one
// entry a line: visible, field, width, header.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include <QApplication>
#include <QPixmap>
#include <QTimer>

#include "grid/columns/columns_dlg.h"

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Tabulon"));
    bool bViewer = false, bDos = false;
    int nQuitAfter = -1;
    std::string strScreenshot;
    std::vector<std::string> names;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--viewer") == 0)
            bViewer = true;
        else if (std::strcmp(argv[i], "--dos") == 0)
            bDos = true;
        else if (std::strcmp(argv[i], "--screenshot") == 0 && i + 1 < argc)
            strScreenshot = argv[++i];
        else if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc)
            nQuitAfter = std::atoi(argv[++i]);
        else if (argv[i][0] == '-')
            return std::fprintf(stderr, "usage: columns-demo [--viewer] [--dos] [--screenshot FILE] "
                                        "[--quit-after MS] [NAME...]\n"),
                   2;
        else
            names.emplace_back(argv[i]);
    }

    platform::ColumnLayout layout;
    if (names.empty()) {
        names = {"CUSTNO", "NAME", "STREET", "CITY", "ZIP", "BORN", "BALANCE", "ACTIVE", "NOTES", "UPDATED"};
        layout = platform::MakeDefaultLayout(names);
        layout[0].strHead = "Number";
        layout[1].strHead = "Customer";
        layout[1].nWidth = 160;
        layout[6].strHead = "Balance due";
        layout[6].nWidth = 90;
        layout[8].bVisible = false;
        std::swap(layout[4], layout[5]);
    } else {
        layout = platform::MakeDefaultLayout(names);
    }

    CColumnsDlg dialog(bViewer ? ColumnsDlgVariant::Viewer : ColumnsDlgVariant::Editor);
    dialog.SetFieldNames(names);
    dialog.SetLayout(layout);
    dialog.SetCodePage(bDos);
    if (!strScreenshot.empty()) {
        QTimer::singleShot(300, &dialog, [&dialog, &strScreenshot] {
            if (CColumnList* pList = dialog.GetList())
                pList->MoveToEntry(1);
            dialog.grab().save(QString::fromLocal8Bit(strScreenshot.c_str()));
            dialog.reject();
        });
    }
    if (nQuitAfter >= 0)
        QTimer::singleShot(nQuitAfter, &dialog, &QDialog::reject);
    if (dialog.DoModal() != platform::IDOK)
        return 0;
    for (const platform::ColumnInfo& info : dialog.GetLayout())
        std::printf("%s %d %d %s\n", info.bVisible ? "shown" : "hidden", info.nField, info.nWidth,
                    info.strHead.c_str());
    return 0;
}
