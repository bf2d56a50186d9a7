// Tabulon on a big table: opening it into a window until the first frame is
// painted, beside the engine's own open of the same file in the same run;
// sorting by a header release; and the memory the process holds once the
// table is open, beside the file's size.
//
// The table is the generated customer table (samples/table_generator.h),
// 1,000,000 records of 90 bytes by default (TABULON_BENCH_RECORDS=N for
// another size), written once into a temporary folder. Runs offscreen.
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <QApplication>

#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "bench/program_bench_support.h"
#include "editor/dbf_doc.h"
#include "editor/dbf_view.h"
#include "editor/tabulon_app.h"
#include "engine/memory_cursorset.h"
#include "platform/ui/doc_template.h"
#include "platform/ui/main_frame.h"
#include "platform/ui/message_box.h"
#include "samples/table_generator.h"

namespace fs = std::filesystem;

namespace {

const bench::BenchTable& Table() { return bench::GeneratedTable(); }

// The program as it runs, without a window manager.
CTabulonApp& App() {
    static CTabulonApp* s_pApp = [] {
        auto* pApp = new CTabulonApp;
        pApp->SetProgramSettingsPath(Table().Path("tabulon.ini"));
        pApp->InitInstance(CTabulonApp::CommandLine{}, true);
        pApp->GetMainWnd()->resize(1280, 800);
        return pApp;
    }();
    return *s_pApp;
}

CDBFView* OpenAndPaint() { return bench::OpenAndPaint<CDBFView>(App(), Table().strPath); }

void CloseAll() { bench::CloseAll(App()); }

// The baseline: the engine loads the file and builds its visible list.
void EngineOpen(benchmark::State& state) {
    for (auto _ : state) {
        dbf::CDBFMemoryCursorset set;
        set.Open(Table().strPath, 64);
        benchmark::DoNotOptimize(set.GetRecordCount());
    }
}

// The same file opened as a user opens it, until its first frame is painted.
void OpenToFirstFrame(benchmark::State& state) {
    for (auto _ : state) {
        OpenAndPaint();
        state.PauseTiming();
        CloseAll();
        state.ResumeTiming();
    }
}

// A header released on NAME, alternately ascending and descending.
void SortOnHeaderRelease(benchmark::State& state) {
    CDBFView* pView = OpenAndPaint();
    for (auto _ : state) {
        pView->OnColumnHeaderUp(0, 0);
        pView->viewport()->repaint();
    }
    CloseAll();
}

// Resident memory with the table open, and the limit 1.2 × file + 80 MB.
void MemoryAfterOpen(benchmark::State& state) {
    double dResident = 0;
    for (auto _ : state) {
        OpenAndPaint();
        dResident = bench::ResidentMegabytes();
        state.PauseTiming();
        CloseAll();
        state.ResumeTiming();
    }
    double dFile = double(Table().table.nTableBytes + Table().table.nMemoBytes) / (1024.0 * 1024.0);
    state.counters["resident_MB"] = dResident;
    state.counters["limit_MB"] = 1.2 * dFile + 80;
}

}  // namespace

BENCHMARK(EngineOpen)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(OpenToFirstFrame)->Unit(benchmark::kMillisecond)->Iterations(3)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(SortOnHeaderRelease)->Unit(benchmark::kMillisecond)->Iterations(4)->Repetitions(5)->ReportAggregatesOnly(true);
BENCHMARK(MemoryAfterOpen)->Unit(benchmark::kMillisecond)->Iterations(1)->Repetitions(1);

int main(int argc, char** argv) {
    if (!std::getenv("QT_QPA_PLATFORM"))
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication qtApp(argc, argv);
    platform::CScopedMessageBoxHook quiet([](const platform::MessageBoxRequest&) { return platform::IDNO; });
    benchmark::Initialize(&argc, argv);
    Table();
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
