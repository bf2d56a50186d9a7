// grid-demo: the grid engine in a window on a synthetic table of ten million
// rows and twenty columns, with a sortable column, a selection and check-box
// columns, for looking at the grid and feeling how it scrolls.
//   grid-demo [row count] [--quit-after milliseconds]
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QStatusBar>
#include <QTimer>

#include "grid/column_grid.h"
#include "grid/grid_window.h"

using namespace platform;

namespace {

const char* const kFirstNames[] = {"Ada",    "Bruno", "Chloé",  "Dmitri", "Elena", "Farid", "Greta", "Hiro",
                                   "Inès",   "Jonas", "Kamala", "Liam",   "Marta", "Nils",  "Olga",  "Pavel"};
const char* const kLastNames[] = {"Andersen", "Baptiste", "Castellano", "Dubois",  "Eriksen", "Fischer",
                                  "García",   "Hoffmann", "Ivanova",    "Jansen",  "Kowalski", "Lindqvist",
                                  "Moreau",   "Novak",    "Okafor",     "Petrov"};
const char* const kCities[] = {"Lisbon", "Oslo",   "Vienna", "Krakow", "Lyon",   "Utrecht", "Tartu", "Porto",
                               "Graz",   "Malmö",  "Brno",   "Ghent",  "Turku",  "Bergen",  "Split", "Cork"};

uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    x *= 0xc4ceb9fe1a85ec53ULL;
    x ^= x >> 33;
    return x;
}

// Table text is single-byte (Windows-1252 here), as it comes from a table.
std::string ToAnsi(const char* pszUtf8) {
    QByteArray bytes = QString::fromUtf8(pszUtf8).toLatin1();
    return std::string(bytes.constData(), static_cast<size_t>(bytes.size()));
}

class CDemoGrid : public CKelColumnGrid {
public:
    explicit CDemoGrid(GridRow nRows) {
        const unsigned kLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        const unsigned kRight = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const unsigned kCentre = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const unsigned kHeader = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
        InsertColumn(86, "Id", kRight, kHeader);
        InsertColumn(96, "First name", kLeft, kHeader);
        InsertColumn(104, "Last name", kLeft, kHeader);
        InsertColumn(80, "City", kLeft, kHeader);
        InsertColumn(84, "Joined", kCentre, kHeader);
        InsertColumn(92, "Balance", kRight, kHeader);
        InsertColumn(46, "Paid", kCentre, kHeader, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
        InsertColumn(60, "Verified", kCentre, kHeader, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_FLAT);
        for (int i = 9; i <= 20; ++i)
            InsertColumn(72, "Field " + std::to_string(i), kRight, kHeader);
        SetRowCount(nRows, false);
        SetSortIndicator(0, 0, 0);
    }

    // The record shown in a row, with the sort direction of column "Id".
    GridRow Record(GridRow nRow) const { return m_bDescending ? GetRowCountConst() - 1 - nRow : nRow; }

    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        uint64_t r = static_cast<uint64_t>(Record(nRow));
        uint64_t h = Mix(r * 131 + static_cast<uint64_t>(nCol));
        char sz[64];
        switch (nCol) {
        case 0:
            std::snprintf(sz, sizeof sz, "%" PRIu64, r + 1);
            return {sz, -1};
        case 1:
            return {ToAnsi(kFirstNames[Mix(r) % 16]), -1};
        case 2:
            return {ToAnsi(kLastNames[Mix(r + 7) % 16]), -1};
        case 3:
            return {ToAnsi(kCities[Mix(r + 13) % 16]), -1};
        case 4:
            std::snprintf(sz, sizeof sz, "%04u-%02u-%02u", static_cast<unsigned>(1990 + h % 35),
                          static_cast<unsigned>(1 + h / 35 % 12), static_cast<unsigned>(1 + h / 420 % 28));
            return {sz, -1};
        case 5:
            std::snprintf(sz, sizeof sz, "%" PRId64 ".%02u", static_cast<int64_t>(h % 2000000) - 400000,
                          static_cast<unsigned>(h / 7 % 100));
            return {sz, -1};
        case 6:
            return {"", static_cast<int>(Mix(r + 3) % 2)};
        case 7:
            return {"", static_cast<int>(Mix(r + 5) % 3)};
        default:
            std::snprintf(sz, sizeof sz, "%u", static_cast<unsigned>(h % 100000));
            return {sz, -1};
        }
    }

    void OnColumnHeaderClick(int nCol, int nHeaderRow) override {
        if (nCol == 0) {
            m_bDescending = !m_bDescending;
            SetSortIndicator(0, nHeaderRow, m_bDescending ? 1 : 0);
            InvalidateAll();
        }
        CKelColumnGrid::OnColumnHeaderClick(nCol, nHeaderRow);
    }

private:
    GridRow GetRowCountConst() const { return const_cast<CDemoGrid*>(this)->GetRowCount(); }
    bool m_bDescending = false;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    GridRow nRows = 10'000'000;
    int nQuitAfter = 0;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc)
            nQuitAfter = std::atoi(argv[++i]);
        else
            nRows = std::max<GridRow>(0, std::strtoll(argv[i], nullptr, 10));
    }

    CDemoGrid grid(nRows);
    QMainWindow window;
    window.setWindowTitle(QString("grid-demo: %L1 rows").arg(nRows));
    auto* pGridWindow = new CKelGridWindow(&window);
    pGridWindow->SetGridStyle(GS_MULTISELECT);
    pGridWindow->SetGrid(&grid);
    window.setCentralWidget(pGridWindow);
    auto* pStatus = new QLabel(&window);
    window.statusBar()->addWidget(pStatus, 1);

    auto showCurrent = [&] {
        int nLeft, nRight;
        GridRow nTop, nBottom;
        grid.GetSelection(nLeft, nRight, nTop, nBottom);
        pStatus->setText(QString("Row %L1 of %L2, column %3   Selection: rows %L4-%L5, columns %6-%7")
                             .arg(grid.GetCurrentRow() - grid.GetFixedRowCount() + 1)
                             .arg(grid.GetRowCount())
                             .arg(grid.GetCurrentColumn() - grid.GetFixedColumnCount() + 1)
                             .arg(nTop + 1)
                             .arg(nBottom + 1)
                             .arg(nLeft + 1)
                             .arg(nRight + 1));
    };
    QObject::connect(pGridWindow, &CKelGridWindow::gridNotify, &window, [&](unsigned nMessage, quintptr, qintptr) {
        if (nMessage == WM_GRID_CURCELLCHANGED || nMessage == WM_GRID_SELCHANGED)
            showCurrent();
    });

    window.resize(1280, 800);
    window.show();
    // Something to look at: a current cell and a block selected around it.
    grid.MoveTo(3, 4);
    grid.ExtendSelectionTo(grid.GetFixedColumnCount() + 5, grid.GetFixedRowCount() + 9);
    showCurrent();
    if (nQuitAfter > 0)
        QTimer::singleShot(nQuitAfter, &app, &QApplication::quit);
    return app.exec();
}
