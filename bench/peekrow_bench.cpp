// Peekrow on big tables: opening one into a window until its first frame is
// painted, a jump to the last record (and back to the first) with the
// repaint it causes, a number-range search through the Find dialog that
// finds nothing, and the memory the process holds with the table open. Each
// is measured on the generated customer table of 100 records, the baseline
// of the same run, and of 1,000,000 and 10,000,000 records
// (PEEKROW_BENCH_SIZES=100,1000000 for others). Peekrow reads one record
// at a time, so none of it may grow with the table.
//
// The tables are written once into a temporary folder before anything is
// measured; the 10,000,000-record one takes 900 MB and a minute to write.
// Runs offscreen.
#include <malloc.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QSettings>

#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "bench/program_bench_support.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "samples/table_generator.h"
#include "viewer/child_frame.h"
#include "viewer/dbf_doc.h"
#include "viewer/dbf_view.h"
#include "viewer/find_dlg.h"
#include "viewer/peekrow_app.h"

namespace fs = std::filesystem;

namespace {

std::vector<int64_t> Sizes() {
    std::vector<int64_t> sizes;
    const char* pszSizes = std::getenv("PEEKROW_BENCH_SIZES");
    std::stringstream list(pszSizes ? pszSizes : "100,1000000,10000000");
    for (std::string strSize; std::getline(list, strSize, ',');)
        if (!strSize.empty())
            sizes.push_back(std::atoll(strSize.c_str()));
    return sizes;
}

struct BenchTables {
    bench::CBenchFolder folder;
    std::map<int64_t, std::string> paths;

    BenchTables() {
        for (int64_t nRecords : Sizes()) {
            const std::string strPath = folder.Path("customers" + std::to_string(nRecords) + ".dbf");
            samples::WriteMixedTable(strPath, int32_t(nRecords));
            paths[nRecords] = strPath;
        }
        // What writing the tables took is given back before anything is measured.
        malloc_trim(0);
    }
};

BenchTables& Tables() {
    static BenchTables s_tables;
    return s_tables;
}

// The program as it runs, without a window manager.
CPeekrowApp& App() {
    static CPeekrowApp* s_pApp = [] {
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, QString::fromStdString(Tables().folder.Dir()));
        auto* pApp = new CPeekrowApp;
        pApp->InitInstance(CPeekrowApp::CommandLine{}, true);
        pApp->GetMainWnd()->resize(1280, 800);
        return pApp;
    }();
    return *s_pApp;
}

CDBFView* OpenAndPaint(int64_t nRecords) { return bench::OpenAndPaint<CDBFView>(App(), Tables().paths.at(nRecords)); }

void CloseAll() { bench::CloseAll(App()); }

// A table opened as a user opens it, until its first frame is painted.
void OpenToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        OpenAndPaint(state.range(0));
        state.PauseTiming();
        CloseAll();
        state.ResumeTiming();
    }
}

// The current cell to the last record and the repaint, then on the next
// iteration back to the first: one jump across the whole table each time.
void JumpToLastAndBack(benchmark::State& state) {
    CDBFView* pView = OpenAndPaint(state.range(0));
    const GridRow nLast = pView->GetRowCount() - 1;
    bool bToLast = true;
    for (auto _ : state) {
        pView->GoToCell(3, bToLast ? nLast : 0);
        pView->viewport()->repaint();
        bToLast = !bToLast;
    }
    CloseAll();
}

// Find's number range on AMOUNT that no record is in, pressed in the dialog.
void RangeSearchWithoutMatch(benchmark::State& state) {
    OpenAndPaint(state.range(0));
    auto* pFrame = dynamic_cast<CChildFrame*>(App().GetMainWnd()->GetActiveFrame());
    pFrame->OpenFindDialog();
    CFindDlg* pDlg = pFrame->GetFindDialog();
    pDlg->SelectField(3);  // AMOUNT N 12.2
    pDlg->OnAdvanced();
    pDlg->GetShownPanel()->GetDlgItem<QLineEdit>(IDC_RANGE_LOWER)->setText(QStringLiteral("2000000"));
    pDlg->GetShownPanel()->GetDlgItem<QLineEdit>(IDC_RANGE_UPPER)->setText(QStringLiteral("3000000"));
    platform::CScopedMessageBoxHook notFound;
    for (auto _ : state) {
        pDlg->SetDirection(FindDirection::first);
        benchmark::DoNotOptimize(pDlg->Search());
    }
    if (notFound.GetRequests().size() != size_t(state.iterations()))
        state.SkipWithError("a record was found");
    CloseAll();
}

// Resident memory with the table open and painted; the first size is the baseline.
void MemoryWithTableOpen(benchmark::State& state) {
    static double s_dBaseline = -1;
    double dResident = 0;
    for (auto _ : state) {
        CDBFView* pView = OpenAndPaint(state.range(0));
        pView->GoToCell(3, pView->GetRowCount() - 1);
        pView->viewport()->repaint();
        malloc_trim(0);
        dResident = bench::ResidentMegabytes();
        state.PauseTiming();
        CloseAll();
        state.ResumeTiming();
    }
    if (s_dBaseline < 0)
        s_dBaseline = dResident;
    state.counters["resident_MB"] = dResident;
    state.counters["above_first_MB"] = dResident - s_dBaseline;
}

void ApplySizes(benchmark::internal::Benchmark* pBenchmark) {
    for (int64_t nRecords : Sizes())
        pBenchmark->Arg(nRecords);
}

}  // namespace

BENCHMARK(MemoryWithTableOpen)->Apply(ApplySizes)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);
BENCHMARK(OpenToFirstFrame)
    ->Apply(ApplySizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(5)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(JumpToLastAndBack)
    ->Apply(ApplySizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(20)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);
BENCHMARK(RangeSearchWithoutMatch)
    ->Apply(ApplySizes)
    ->Unit(benchmark::kMillisecond)
    ->Iterations(1)
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);
    platform::CScopedMessageBoxHook quiet;
    benchmark::Initialize(&argc, argv);
    Tables();
    App();
    // One open and close first: what the first window of a run leaves behind
    // (fonts, glyph caches, the MDI area's own state) belongs to no table.
    OpenAndPaint(Sizes().front());
    CloseAll();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
