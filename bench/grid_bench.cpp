// Grid painting and scrolling on a 1920x1080 offscreen window, for a table of
// 100 rows and for tables of ten and five hundred million rows: the cost must
// not depend on the table's size, because painting only visits the visible
// cells and positions are 64-bit. Each case runs in the same process, so the
// small table is the baseline of the big ones.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include <QApplication>
#include <QScrollBar>

#include <benchmark/benchmark.h>

#include "grid/column_grid.h"
#include "grid/grid_window.h"

using namespace platform;

namespace {

uint64_t Mix(uint64_t x) {
    x ^= x >> 33;
    x *= 0xff51afd7ed558ccdULL;
    x ^= x >> 33;
    return x;
}

// Twenty columns of the kinds a table shows: numbers, text, dates, amounts,
// a check box; every value is made up when asked, as a table view would read
// a record.
class CBenchGrid : public CKelColumnGrid {
public:
    explicit CBenchGrid(GridRow nRows) {
        const unsigned kLeft = DT_LEFT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX | DT_END_ELLIPSIS;
        const unsigned kRight = DT_RIGHT | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX;
        const unsigned kHeader = DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_END_ELLIPSIS;
        for (int i = 0; i < 20; ++i) {
            if (i == 5)
                InsertColumn(50, "Paid", kRight, kHeader, DFC_BUTTON, DFCS_BUTTONCHECK | DFCS_FLAT);
            else
                InsertColumn(i % 3 == 1 ? 110 : 80, "Field " + std::to_string(i + 1), i % 3 == 1 ? kLeft : kRight,
                             kHeader);
        }
        SetRowCount(nRows, false);
        SetSortIndicator(0, 0, 1);
    }
    GridCellValue GetCellValue(int nCol, GridRow nRow) override {
        uint64_t h = Mix(static_cast<uint64_t>(nRow) * 31 + static_cast<uint64_t>(nCol));
        char sz[48];
        if (nCol == 5)
            return {"", static_cast<int>(h % 2)};
        if (nCol == 0)
            std::snprintf(sz, sizeof sz, "%" PRId64, static_cast<int64_t>(nRow) + 1);
        else if (nCol % 3 == 1)
            std::snprintf(sz, sizeof sz, "Name %05u", static_cast<unsigned>(h % 100000));
        else if (nCol % 3 == 2)
            std::snprintf(sz, sizeof sz, "%u.%02u", static_cast<unsigned>(h % 1000000), static_cast<unsigned>(h % 100));
        else
            std::snprintf(sz, sizeof sz, "%u", static_cast<unsigned>(h % 100000));
        return {sz, -1};
    }
};

// A grid window of 1920x1080 pixels on the offscreen platform.
struct BenchWindow {
    CBenchGrid grid;
    CKelGridWindow window;
    BenchWindow(GridRow nRows, int nLinesPerRow) : grid(nRows) {
        window.SetGridStyle(GS_MULTISELECT);
        window.SetGrid(&grid);
        grid.SetLinesPerRow(nLinesPerRow, true);
        window.resize(1920, 1080);
        window.show();
        QCoreApplication::processEvents();
        // The same cells are on screen whatever the size: the current cell
        // and a selected block in the first screen of the middle of the table.
        grid.MoveTo(2, nRows / 2);
        grid.ExtendSelectionTo(grid.GetCurrentColumn() + 3, grid.GetCurrentRow() + 5);
        QCoreApplication::processEvents();
    }
};

void FullRepaint(benchmark::State& state) {
    BenchWindow bench(state.range(0), 1);
    QWidget* pViewport = bench.window.viewport();
    for (auto _ : state)
        pViewport->repaint();
    state.counters["rows"] = static_cast<double>(state.range(0));
}

// Page down, then page up, and so on, each followed by the painting it
// causes. Rows are two lines high so that even the 100-row table is more
// than two pages tall and every step scrolls a whole page; the current cell
// is on the last row, away from the pages scrolled through.
void PageScroll(benchmark::State& state) {
    BenchWindow bench(state.range(0), 2);
    CBenchGrid& grid = bench.grid;
    // The current cell out of the pages scrolled through, for every size.
    grid.MoveTo(2, state.range(0) - 1);
    grid.ScrollTo(0, grid.RowTop(grid.GetFixedRowCount() + state.range(0) / 2) - 2 * grid.GetPageHeight());
    if (grid.GetVertPos() + 2 * grid.GetPageHeight() > grid.GetVertExtent())
        grid.ScrollTo(0, 0);
    QCoreApplication::processEvents();
    bool bDown = true;
    for (auto _ : state) {
        GridPos before = grid.GetVertPos();
        grid.OnScroll(0xFF | ((bDown ? SB_PAGEDOWN : SB_PAGEUP) << 8), 0, true);
        QCoreApplication::processEvents();
        if (grid.GetVertPos() == before)
            state.SkipWithError("the grid did not scroll");
        bDown = !bDown;
    }
    state.counters["rows"] = static_cast<double>(state.range(0));
}

void SizeArguments(benchmark::internal::Benchmark* b) {
    b->Arg(100)->Arg(10'000'000)->Arg(500'000'000);
    b->Unit(benchmark::kMillisecond)->Repetitions(10)->ReportAggregatesOnly(true);
}

BENCHMARK(FullRepaint)->Apply(SizeArguments);
BENCHMARK(PageScroll)->Apply(SizeArguments);

}  // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
