// Tabulon's filter and its Hide/Show deleted command on the generated
// customer table (samples/table_generator.h, 1,000,000 records by default,
// TABULON_BENCH_RECORDS=N for another size): a filter on one field and on
// every visible column, with a text of letters and one of digits that no
// record holds (so every cell is looked at), and hiding then showing the
// deleted records. Each is reported beside a baseline measured in the same
// run: a plain pass over as many bytes in memory as the table has.
//
// The document is a real CDBFDoc with the default layout; the filter is the
// one the Filter command installs, the rebuild the one it runs.
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "editor/dbf_doc.h"
#include "editor/view_filter.h"
#include "samples/table_generator.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Milliseconds;

namespace {

const bench::BenchTable& Table() { return bench::GeneratedTable(); }

// The table open in a document as a window has it (read and write, shared).
CDBFDoc& Document() {
    static CDBFDoc* pDoc = [] {
        auto* p = new CDBFDoc;
        p->m_table.Open(Table().strPath, 66);
        p->m_strDateFormat = "%d.%m.%Y";
        p->SetDefaultLayout();
        return p;
    }();
    return *pDoc;
}

uint64_t PlainPass() {
    static const std::vector<uint64_t> words(Table().table.nTableBytes / 8, 1);
    uint64_t nSum = 0;
    for (uint64_t n : words)
        nSum += n;
    return nSum;
}

void Report(benchmark::State& state, const std::vector<double>& times) {
    bench::Report(state, times, [] { benchmark::DoNotOptimize(PlainPass()); });
}

// Arg 0: one field (CITY) with letters; 1: every column with letters;
// 2: every column with digits, which numbers and dates could show.
void BM_Filter(benchmark::State& state) {
    CDBFDoc& doc = Document();
    doc.m_filter = DocFilter{};
    switch (state.range(0)) {
    case 0:
        doc.m_filter.strCondition = "no such town";
        doc.m_filter.nField = doc.m_table.GetFieldList().FindField("CITY");
        doc.m_filter.strFieldName = "CITY";
        state.SetLabel("one field, letters");
        break;
    case 1:
        doc.m_filter.strCondition = "no such text";
        state.SetLabel("all fields, letters");
        break;
    default:
        doc.m_filter.strCondition = "31415926";
        state.SetLabel("all fields, digits");
        break;
    }
    std::vector<double> times;
    for (auto _ : state) {
        Clock::time_point start = Clock::now();
        ApplyDocumentFilter(doc);
        times.push_back(Milliseconds(start));
    }
    state.counters["visible"] = doc.m_table.GetRecordCount();
    doc.m_filter = DocFilter{};
    ApplyDocumentFilter(doc);
    Report(state, times);
}

// The list rebuilt with deleted records hidden (arg 1) or shown (arg 0).
void BM_HideShowDeleted(benchmark::State& state) {
    CDBFDoc& doc = Document();
    bool bHide = state.range(0) != 0;
    std::vector<double> times;
    for (auto _ : state) {
        state.PauseTiming();
        doc.m_table.SetHideDeleted(!bHide);
        doc.m_table.Requery();
        state.ResumeTiming();
        Clock::time_point start = Clock::now();
        doc.m_table.SetHideDeleted(bHide);
        doc.m_table.Requery();
        times.push_back(Milliseconds(start));
    }
    state.SetLabel(bHide ? "hide" : "show");
    state.counters["visible"] = doc.m_table.GetRecordCount();
    Report(state, times);
}

}  // namespace

BENCHMARK(BM_Filter)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_HideShowDeleted)->Arg(1)->Arg(0)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1);

BENCHMARK_MAIN();
