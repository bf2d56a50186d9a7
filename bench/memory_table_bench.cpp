// The memory cursor set on a big table: opening (load and first Requery),
// Requery, Sort on a C, an N and a D field, the text filter on all fields
// and on one, Save, Pack and both copies, each beside a baseline measured in
// the same run on the same number of bytes (a plain read of the file, a
// plain pass over the bytes in memory, a plain write of the file), and the
// peak memory of a process that opens, filters and sorts the table.
//
// The table is the generated customer table (samples/table_generator.h):
// 1,000,000 records of 90 bytes by default, TABULON_BENCH_RECORDS=N for
// another size. It is written once into a temporary folder.
//
// Each benchmark reports, besides Google Benchmark's own time, the median
// of its iterations ("ms"), the median of the baseline ("baseline_ms") and
// their ratio ("x_baseline").
#include <sys/resource.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "bench/bench_support.h"
#include "engine/memory_cursorset.h"
#include "platform/core/file.h"
#include "samples/table_generator.h"
#include "tools/dbftool/table_text.h"
#include "tools/dbftool/text_filter.h"

namespace fs = std::filesystem;
using bench::Clock;
using bench::Milliseconds;
using bench::Report;

namespace {

constexpr unsigned kReadOnly = 64, kReadWrite = 66, kCreate = 0x1012 | 0x8000;

const bench::BenchTable& Table() { return bench::GeneratedTable(); }

// Baselines.

// Reads the whole file into a buffer allocated for it, as any program
// reading a file would.
void PlainReadFile(const std::string& strPath) {
    platform::CFile file;
    file.Open(strPath, kReadOnly | 0x8000);
    const size_t nLength = size_t(file.GetLength());
    std::unique_ptr<uint8_t[]> buffer(new uint8_t[nLength]);
    benchmark::DoNotOptimize(file.Read(buffer.get(), nLength));
    benchmark::ClobberMemory();
}

// Writes nBytes to a new file in blocks of a megabyte.
void PlainWriteFile(const std::string& strPath, uint64_t nBytes) {
    static const std::vector<uint8_t> block(1 << 20, 'x');
    platform::CFile file;
    file.Open(strPath, kCreate);
    for (uint64_t n = 0; n < nBytes;) {
        const size_t nPart = size_t(std::min<uint64_t>(block.size(), nBytes - n));
        file.Write(block.data(), nPart);
        n += nPart;
    }
}

// Reads every byte of an image of the table's size in memory.
uint64_t PlainPass(const std::vector<uint64_t>& words) {
    uint64_t nSum = 0;
    for (uint64_t n : words) nSum += n;
    return nSum;
}

const std::vector<uint64_t>& MemoryOfTableSize() {
    static const std::vector<uint64_t> words(Table().table.nTableBytes / 8, 1);
    return words;
}

void MemoryBaseline() { benchmark::DoNotOptimize(PlainPass(MemoryOfTableSize())); }

// The benchmarks.

void BM_Open(benchmark::State& state) {
    std::vector<double> times;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        dbf::CDBFMemoryCursorset set;
        set.Open(Table().strPath, kReadOnly);
        benchmark::DoNotOptimize(set.GetRecordCount());
        set.Close();
        times.push_back(Milliseconds(start));
    }
    Report(state, times, [] { PlainReadFile(Table().strPath); });
}

void BM_Requery(benchmark::State& state) {
    dbf::CDBFMemoryCursorset set;
    set.Open(Table().strPath, kReadOnly);
    set.SetHideDeleted(state.range(0) != 0);
    std::vector<double> times;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        set.Requery();
        times.push_back(Milliseconds(start));
    }
    state.counters["visible"] = set.GetRecordCount();
    Report(state, times, MemoryBaseline);
}

void BM_Sort(benchmark::State& state) {
    dbf::CDBFMemoryCursorset set;
    set.Open(Table().strPath, kReadOnly);
    const int nField = int(state.range(0));
    std::vector<double> times;
    for (auto _ : state) {
        state.PauseTiming();
        set.Requery();  // file order again: every sort starts from the same list
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        set.Sort(nField, false);
        times.push_back(Milliseconds(start));
    }
    state.SetLabel(set.GetFieldList().m_pDesc[nField].GetName());
    Report(state, times, MemoryBaseline);
}

// dbftool's --filter: TEXT on every field (a text no record holds, so every
// field of every record is looked at), or on one.
void BM_Filter(benchmark::State& state) {
    dbf::CDBFMemoryCursorset set;
    set.Open(Table().strPath, kReadOnly);
    dbftool::CTableText text;
    text.ChooseFor(set);
    dbftool::CTextFilter filter;
    filter.Parse(state.range(0) ? "zurich@CITY" : "no such text", set.GetFieldList(), text);
    set.SetFilter(filter.MakePredicate(*set.GetTableDef(), set.GetRecordLength()));
    std::vector<double> times;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        set.Requery();
        times.push_back(Milliseconds(start));
    }
    state.SetLabel(state.range(0) ? "one field" : "all fields");
    state.counters["visible"] = set.GetRecordCount();
    Report(state, times, MemoryBaseline);
}

// A working copy of the table (and its memo file) to write to.
std::string WorkingCopy() {
    const std::string strCopy = Table().Path("work.dbf");
    fs::copy_file(Table().strPath, strCopy, fs::copy_options::overwrite_existing);
    fs::copy_file(Table().table.strMemo, Table().Path("work.FPT"), fs::copy_options::overwrite_existing);
    return strCopy;
}

// Save after editing a thousand records spread over the table, deleting a
// hundred and appending a hundred: the backup copy of the file, the compare
// and the few writes.
void BM_Save(benchmark::State& state) {
    const std::string strPath = WorkingCopy();
    dbf::CDBFMemoryCursorset set;
    set.Open(strPath, kReadWrite);
    std::vector<double> times;
    int nRound = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const int32_t nCount = set.GetRecordCount();
        for (int i = 0; i < 1000; ++i) {
            set.SetAbsolutePosition(int32_t((int64_t(i) * 7919 + nRound) % nCount));
            set.Edit();
            set.SetFieldValue(3, dbf::FieldValue::MakeDouble(i + nRound));
            set.Update();
        }
        for (int i = 0; i < 100; ++i) {
            set.SetAbsolutePosition(int32_t((int64_t(i) * 104729 + nRound) % nCount));
            set.Delete();
            set.AddNew();
            set.SetFieldValue(0, dbf::FieldValue::MakeText("Appended"));
            set.Update();
        }
        ++nRound;
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        set.Save();
        times.push_back(Milliseconds(start));
    }
    const uint64_t nBytes = platform::CFile::Exists(strPath) ? fs::file_size(strPath) : 0;
    Report(state, times, [&] { PlainWriteFile(Table().Path("plain.out"), nBytes); });
}

// Pack of the table with its deleted records (one in fifty): the new file,
// the renames and the reload.
void BM_Pack(benchmark::State& state) {
    std::vector<double> times;
    uint64_t nBytes = 0;
    for (auto _ : state) {
        state.PauseTiming();
        const std::string strPath = WorkingCopy();
        dbf::CDBFMemoryCursorset set;
        set.Open(strPath, kReadWrite);
        state.ResumeTiming();
        const Clock::time_point start = Clock::now();
        set.Pack();
        times.push_back(Milliseconds(start));
        state.PauseTiming();
        nBytes = fs::file_size(strPath);
        set.Close();
        state.ResumeTiming();
    }
    // The plain work of a pack: writing the new file and reading it again.
    Report(state, times, [&] {
        PlainWriteFile(Table().Path("plain.out"), nBytes);
        PlainReadFile(Table().Path("plain.out"));
    });
}

void BM_Export(benchmark::State& state) {
    const bool bVfp = state.range(0) != 0;
    dbf::CDBFMemoryCursorset set;
    set.Open(Table().strPath, kReadOnly);
    const std::string strOut = Table().Path("copy.dbf");
    std::vector<double> times;
    uint64_t nBytes = 0;
    for (auto _ : state) {
        const Clock::time_point start = Clock::now();
        if (!(bVfp ? set.ExportVisualFoxPro(strOut) : set.ExportDBase3(strOut))) state.SkipWithError("no copy");
        times.push_back(Milliseconds(start));
        state.PauseTiming();
        nBytes = fs::file_size(strOut);
        fs::remove(strOut);
        state.ResumeTiming();
    }
    state.SetLabel(bVfp ? "Visual FoxPro" : "dBASE III");
    state.counters["MB"] = double(nBytes) / 1e6;
    Report(state, times, [&] { PlainWriteFile(Table().Path("plain.out"), nBytes); });
}

// What the peak-memory child does: opens the table, filters it on every
// field, shows every record again and sorts by a C, an N and a D field.
// Prints its peak resident memory in kilobytes.
int PeakMemoryChild(const char* pszTable) {
    {
        dbf::CDBFMemoryCursorset set;
        set.Open(pszTable, kReadOnly);
        dbftool::CTableText text;
        text.ChooseFor(set);
        dbftool::CTextFilter filter;
        filter.Parse("a", set.GetFieldList(), text);
        set.SetFilter(filter.MakePredicate(*set.GetTableDef(), set.GetRecordLength()));
        set.Requery();
        set.SetFilter(nullptr);
        set.Requery();
        for (int nField : {0, 3, 5}) set.Sort(nField, true);
    }
    struct rusage usage {};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("%ld\n", usage.ru_maxrss);
    return 0;
}

// The peak resident memory of that child, a fresh process (a forked one
// would count this one's pages too), against the target: 1.1 times the
// file plus 16 bytes a record.
void BM_PeakMemory(benchmark::State& state) {
    for (auto _ : state) {
        char szSelf[4096] = {};
        if (readlink("/proc/self/exe", szSelf, sizeof szSelf - 1) <= 0) state.SkipWithError("no /proc/self/exe");
        const std::string strCommand = std::string("'") + szSelf + "' --peak-memory-child '" + Table().strPath + "'";
        std::FILE* pChild = popen(strCommand.c_str(), "r");
        long nKb = 0;
        if (!pChild || std::fscanf(pChild, "%ld", &nKb) != 1) state.SkipWithError("child failed");
        if (pChild) pclose(pChild);
        const double dFileMb = double(Table().table.nTableBytes) / 1e6;
        state.counters["peak_MB"] = double(nKb) * 1024 / 1e6;
        state.counters["file_MB"] = dFileMb;
        state.counters["limit_MB"] = 1.1 * dFileMb + 16.0 * Table().nRecords / 1e6;
    }
}

}  // namespace

BENCHMARK(BM_Open)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Requery)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_Sort)->Arg(0)->Arg(3)->Arg(5)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Filter)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Save)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Pack)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_Export)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2);
BENCHMARK(BM_PeakMemory)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

int main(int argc, char** argv) {
    if (argc == 3 && std::strcmp(argv[1], "--peak-memory-child") == 0) return PeakMemoryChild(argv[2]);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
