// grid-demo: the grid engine in a window on a synthetic table of ten million
// rows and twenty columns, with a sortable column, a selection, check-box
// columns, and cells edited in place with an edit, a check box and a combo
// box, for looking at the grid and feeling how it scrolls and edits.
//   grid-demo [row count] [--editors] [--quit-after milliseconds]
// --editors splits the window into three views of the same table, each with
// one kind of editor open, the combo box's list dropped.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include <map>
#include <vector>

#include <QApplication>
#include <QLabel>
#include <QMainWindow>
#include <QMenuBar>
#include <QSplitter>
#include <QStatusBar>
#include <QTimer>

#include "grid/editor_styles.h"
#include "grid/grid_combo.h"
#include "grid/grid_view.h"

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

// The table behind every view: generated values, what the user changed, and
// the sort direction of column "Id".
struct CDemoTable {
    GridRow nRows = 0;
    bool bDescending = false;
    std::map<std::pair<GridRow, int>, GridCellValue> edits;
};

enum DemoColumn : int { kId, kFirst, kLast, kCity, kJoined, kBalance, kPaid, kVerified };

class CDemoGrid : public CKelGridView {
public:
    explicit CDemoGrid(CDemoTable& table) : m_table(table) {
        const unsigned kLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        const unsigned kRight = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const unsigned kCentre = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const unsigned kHeader = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
        InsertColumn(86, "Id", kRight, kHeader);
        InsertColumn(96, "First name", kLeft, kHeader);
        InsertColumn(104, "Last name", kLeft, kHeader);
        InsertColumn(96, "City", kLeft, kHeader);
        InsertColumn(84, "Joined", kCentre, kHeader);
        InsertColumn(92, "Balance", kRight, kHeader);
        InsertColumn(46, "Paid", kCentre, kHeader, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
        InsertColumn(60, "Verified", kCentre, kHeader, DFC_BUTTON, DFCS_BUTTON3STATE | DFCS_FLAT);
        for (int i = 9; i <= 20; ++i)
            InsertColumn(72, "Field " + std::to_string(i), kRight, kHeader);
        // Editable: the names and the balance in edits, the city in a combo
        // box, the two flags in check boxes; the rest is read only.
        for (int i = 0; i < GetColumnCount(-1); ++i) {
            switch (i) {
            case kFirst:
            case kLast:
                SetColumnEditor(i, GEK_EDIT, WS_CHILD | ES_AUTOHSCROLL, 0);
                break;
            case kBalance:
                SetColumnEditor(i, GEK_EDIT, WS_CHILD | ES_AUTOHSCROLL | ES_RIGHT, 0);
                break;
            case kCity:
                SetColumnEditor(i, GEK_COMBO, WS_CHILD | CBS_DROPDOWN | CBS_SORT, 0);
                break;
            case kPaid:
                SetColumnEditor(i, GEK_CHECK, WS_CHILD | BS_AUTOCHECKBOX | BS_FLAT, 0);
                break;
            case kVerified:
                SetColumnEditor(i, GEK_CHECK, WS_CHILD | BS_AUTO3STATE | BS_FLAT, 0);
                break;
            default:
                SetColumnEditor(i, GEK_NONE, WS_CHILD, 0);
                break;
            }
        }
        SetRowCount(table.nRows, false);
        SetSortIndicator(0, 0, table.bDescending ? 1 : 0);
    }

    // The record shown in a row, with the sort direction of column "Id".
    GridRow Record(GridRow nRow) const { return m_table.bDescending ? m_table.nRows - 1 - nRow : nRow; }

    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        uint64_t r = static_cast<uint64_t>(Record(nRow));
        auto it = m_table.edits.find({static_cast<GridRow>(r), nCol});
        if (it != m_table.edits.end())
            return it->second;
        uint64_t h = Mix(r * 131 + static_cast<uint64_t>(nCol));
        char sz[64];
        switch (nCol) {
        case kId:
            std::snprintf(sz, sizeof sz, "%" PRIu64, r + 1);
            return {sz, -1};
        case kFirst:
            return {ToAnsi(kFirstNames[Mix(r) % 16]), -1};
        case kLast:
            return {ToAnsi(kLastNames[Mix(r + 7) % 16]), -1};
        case kCity: {
            int nCity = static_cast<int>(Mix(r + 13) % 16);
            return {ToAnsi(kCities[nCity]), nCity};
        }
        case kJoined:
            std::snprintf(sz, sizeof sz, "%04u-%02u-%02u", static_cast<unsigned>(1990 + h % 35),
                          static_cast<unsigned>(1 + h / 35 % 12), static_cast<unsigned>(1 + h / 420 % 28));
            return {sz, -1};
        case kBalance:
            std::snprintf(sz, sizeof sz, "%" PRId64 ".%02u", static_cast<int64_t>(h % 2000000) - 400000,
                          static_cast<unsigned>(h / 7 % 100));
            return {sz, -1};
        case kPaid:
            return {"", static_cast<int>(Mix(r + 3) % 2)};
        case kVerified:
            return {"", static_cast<int>(Mix(r + 5) % 3)};
        default:
            std::snprintf(sz, sizeof sz, "%u", static_cast<unsigned>(h % 100000));
            return {sz, -1};
        }
    }

    // An edited cell is kept as the editor gives it; a balance must be a
    // number, and the user is told so.
    bool CommitCell(int nCol, GridRow nRow) override {
        CKelCellEditor* pEditor = GetCellEditor(nCol, nRow);
        if (!pEditor)
            return true;
        GridCellValue value = pEditor->GetEditorValue();
        if (nCol == kBalance) {
            char* pEnd = nullptr;
            std::strtod(value.strText.c_str(), &pEnd);
            if (value.strText.empty() || *pEnd != '\0') {
                SetCommitError("A balance is a number, such as 1250.75 or -80.");
                return false;
            }
        }
        m_table.edits[{Record(nRow), nCol}] = value;
        return CKelGridView::CommitCell(nCol, nRow);
    }

    std::unique_ptr<CKelCellEditor> CreateCellEditor(int nCol, GridRow nRow, uint32_t nStyle, int nId) override {
        std::unique_ptr<CKelCellEditor> pEditor = CKelGridView::CreateCellEditor(nCol, nRow, nStyle, nId);
        if (auto* pCombo = dynamic_cast<CKelGridCombo*>(pEditor.get()))
            for (int i = 0; i < 16; ++i)
                pCombo->AddString(ToAnsi(kCities[i]), i);
        return pEditor;
    }

    void OnColumnHeaderClick(int nCol, int nHeaderRow) override {
        if (nCol == 0) {
            if (!EndEdit(false))
                return;
            m_table.bDescending = !m_table.bDescending;
            SetSortIndicator(0, nHeaderRow, m_table.bDescending ? 1 : 0);
            InvalidateAll();
        }
        CKelGridView::OnColumnHeaderClick(nCol, nHeaderRow);
    }

private:
    CDemoTable& m_table;
};

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    CDemoTable table;
    table.nRows = 10'000'000;
    int nQuitAfter = 0;
    bool bEditors = false;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quit-after") == 0 && i + 1 < argc)
            nQuitAfter = std::atoi(argv[++i]);
        else if (std::strcmp(argv[i], "--editors") == 0)
            bEditors = true;
        else
            table.nRows = std::max<GridRow>(0, std::strtoll(argv[i], nullptr, 10));
    }

    QMainWindow window;
    window.setWindowTitle(QString("grid-demo: %L1 rows").arg(table.nRows));
    std::vector<CDemoGrid*> views;
    auto* pSplitter = new QSplitter(Qt::Vertical, &window);
    for (int i = 0; i < (bEditors ? 3 : 1); ++i) {
        auto* pView = new CDemoGrid(table);
        pView->SetGridStyle(GS_MULTISELECT);
        pSplitter->addWidget(pView);
        views.push_back(pView);
    }
    window.setCentralWidget(pSplitter);
    auto* pStatus = new QLabel(&window);
    window.statusBar()->addWidget(pStatus, 1);

    // The view with the focus, or the first.
    auto activeView = [&]() -> CDemoGrid* {
        for (CDemoGrid* pView : views)
            if (pView->isAncestorOf(QApplication::focusWidget()) || pView->hasFocus())
                return pView;
        return views.front();
    };
    // The clipboard commands go to the active view by their ids; their update
    // rules run before the menu opens.
    QMenu* pEdit = window.menuBar()->addMenu("&Edit");
    struct Command {
        unsigned nId;
        const char* pszText;
        QKeySequence keys;
    };
    const Command commands[] = {{platform::ID_EDIT_UNDO, "&Undo", QKeySequence::Undo},
                                {platform::ID_EDIT_CUT, "Cu&t", QKeySequence::Cut},
                                {platform::ID_EDIT_COPY, "&Copy", QKeySequence::Copy},
                                {platform::ID_EDIT_PASTE, "&Paste", QKeySequence::Paste}};
    for (const Command& command : commands) {
        QAction* pAction = pEdit->addAction(command.pszText);
        pAction->setData(command.nId);
        pAction->setShortcut(command.keys);
        unsigned nId = command.nId;
        QObject::connect(pAction, &QAction::triggered, &window, [&, nId] { activeView()->OnCommand(nId); });
    }
    QObject::connect(pEdit, &QMenu::aboutToShow, &window, [&, pEdit] {
        for (QAction* pAction : pEdit->actions()) {
            platform::CCmdUI cmdUI(pAction->data().toUInt());
            if (!activeView()->OnUpdateCommand(cmdUI))
                cmdUI.Enable(false);
            cmdUI.ApplyTo(*pAction);
        }
    });

    auto showCurrent = [&](CDemoGrid* pGrid) {
        int nLeft, nRight;
        GridRow nTop, nBottom;
        pGrid->GetSelection(nLeft, nRight, nTop, nBottom);
        pStatus->setText(QString("Row %L1 of %L2, column %3   Selection: rows %L4-%L5, columns %6-%7")
                             .arg(pGrid->GetCurrentRow() - pGrid->GetFixedRowCount() + 1)
                             .arg(pGrid->GetRowCount())
                             .arg(pGrid->GetCurrentColumn() - pGrid->GetFixedColumnCount() + 1)
                             .arg(nTop + 1)
                             .arg(nBottom + 1)
                             .arg(nLeft + 1)
                             .arg(nRight + 1));
    };
    for (CDemoGrid* pView : views) {
        QObject::connect(pView, &CKelGridWindow::gridNotify, &window, [&, pView](unsigned nMessage, quintptr, qintptr) {
            if (nMessage == WM_GRID_CURCELLCHANGED || nMessage == WM_GRID_SELCHANGED)
                showCurrent(pView);
            // A committed cell is shown by every view of the table.
            if (nMessage == WM_GRID_CELLCOMMITTED)
                for (CDemoGrid* pOther : views)
                    if (pOther != pView)
                        pOther->viewport()->update();
        });
    }

    window.resize(1280, 800);
    window.show();
    for (CDemoGrid* pView : views)
        pView->OnInitialUpdate();
    if (!bEditors) {
        // Something to look at: a current cell and a block selected around it.
        CDemoGrid& grid = *views.front();
        grid.MoveTo(3, 4);
        grid.ExtendSelectionTo(grid.GetFixedColumnCount() + 5, grid.GetFixedRowCount() + 9);
        showCurrent(&grid);
    } else {
        // One editor of each kind open, each in its own view.
        views[0]->MoveTo(kFirst, 2);
        views[1]->MoveTo(kPaid, 5);
        views[2]->MoveTo(kCity, 8);
        QTimer::singleShot(300, &window, [&] {
            if (auto* pCombo = dynamic_cast<CKelGridCombo*>(views[2]->GetCurrentEditor()))
                pCombo->GetComboBox()->showPopup();
        });
        showCurrent(views[2]);
    }
    if (nQuitAfter > 0)
        QTimer::singleShot(nQuitAfter, &app, &QApplication::quit);
    return app.exec();
}
