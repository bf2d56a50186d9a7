// Peekrow's Find on a big table: each kind of range search through every
// record without a match, beside a plain read of the same file and a read of
// every record through the reader, in the same run.
//
// The table is the generated customer table (samples/table_generator.h):
// 1,000,000 records of 90 bytes by default, TABULON_BENCH_RECORDS=N for
// another size, written once into a temporary folder. Every benchmark is
// repeated five times; the medians are the figures to quote.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "platform/core/file.h"
#include "samples/table_generator.h"
#include "viewer/reader/dbf_file_reader.h"
#include "viewer/reader/record_match.h"

namespace fs = std::filesystem;

namespace {

struct BenchTable {
    std::string strDir;
    std::string strPath;
    int32_t nRecords = 0;

    BenchTable() {
        const char* pszRecords = std::getenv("TABULON_BENCH_RECORDS");
        nRecords = pszRecords ? std::atoi(pszRecords) : 1000000;
        std::string strTemplate = (fs::temp_directory_path() / "peekrow-bench-XXXXXX").string();
        if (!mkdtemp(strTemplate.data())) std::abort();
        strDir = strTemplate;
        strPath = strDir + "/customers.dbf";
        samples::WriteMixedTable(strPath, nRecords);
    }
    ~BenchTable() {
        std::error_code ec;
        fs::remove_all(strDir, ec);
    }
};

const BenchTable& Table() {
    static const BenchTable table;
    return table;
}

int FieldIndex(const CDBFFileReader& reader, const std::string& strName) {
    for (int i = 0; i < reader.GetFieldCount(); ++i)
        if (reader.GetField(i).GetName() == strName) return i;
    std::abort();
}

// Baseline: the file's bytes read into memory in pieces of 1 MB.
void BM_PlainReadOfTheFile(benchmark::State& state) {
    std::vector<char> buffer(1 << 20);
    for (auto _ : state) {
        platform::CFile file;
        if (!file.Open(Table().strPath, platform::modeRead | platform::shareDenyNone | platform::typeBinary))
            std::abort();
        size_t nTotal = 0;
        while (size_t n = file.Read(buffer.data(), buffer.size())) nTotal += n;
        benchmark::DoNotOptimize(nTotal);
    }
}

// The reader's own floor: every record read once, as a search reads them.
void BM_ReadEveryRecord(benchmark::State& state) {
    CDBFFileReader reader;
    if (!reader.Open(Table().strPath)) std::abort();
    for (auto _ : state) {
        uint64_t nSum = 0;
        for (int32_t n = 1; n <= reader.GetRecordCount(); ++n) nSum += reader.ReadRecord(n)[0];
        benchmark::DoNotOptimize(nSum);
    }
}

void RunSearch(benchmark::State& state, const std::string& strField, FindCriteria criteria, bool bDos = false) {
    CDBFFileReader reader;
    if (!reader.Open(Table().strPath)) std::abort();
    criteria.nField = FieldIndex(reader, strField);
    const FindCodePages pages{bDos};
    for (auto _ : state) {
        FindResult r = FindRecord(reader, criteria, FindDirection::first, 0, pages);
        if (r.bFound) state.SkipWithError("a record matched");
    }
    state.SetItemsProcessed(int64_t(state.iterations()) * reader.GetRecordCount());
}

void BM_FindNumberRange(benchmark::State& state) {
    RunSearch(state, "AMOUNT", FindCriteria::NumberRange(0, 2e6, 3e6, false));
}
void BM_FindDateRange(benchmark::State& state) {
    // 2100-01-01 to 2100-12-31 as Julian day numbers.
    RunSearch(state, "BORN", FindCriteria::DateRange(0, 2488070, 2488434, false));
}
void BM_FindLogicalChoice(benchmark::State& state) {
    RunSearch(state, "ACTIVE", FindCriteria::Logical(0, LogicalChoice::invalid));
}
void BM_FindPlainText(benchmark::State& state) {
    RunSearch(state, "NAME", FindCriteria::PlainText(0, "Zzyzx"));
}
void BM_FindTextAnyCaseDos(benchmark::State& state) {
    RunSearch(state, "NAME", FindCriteria::Text(0, "Zzyzx", false), true);
}

}  // namespace

#define PEEKROW_BENCH(fn) BENCHMARK(fn)->Unit(benchmark::kMillisecond)->Repetitions(5)->ReportAggregatesOnly(true)
PEEKROW_BENCH(BM_PlainReadOfTheFile);
PEEKROW_BENCH(BM_ReadEveryRecord);
PEEKROW_BENCH(BM_FindNumberRange);
PEEKROW_BENCH(BM_FindDateRange);
PEEKROW_BENCH(BM_FindLogicalChoice);
PEEKROW_BENCH(BM_FindPlainText);
PEEKROW_BENCH(BM_FindTextAnyCaseDos);

BENCHMARK_MAIN();
