// What the benchmarks share: a temporary folder for the run, the generated
// customer table (samples/table_generator.h) of 1,000,000 records, or
// TABULON_BENCH_RECORDS of them, written once per run and removed at exit;
// and the medians of hand-timed runs beside their baseline.
#pragma once

#include <stdlib.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "samples/table_generator.h"

namespace bench {

class CBenchFolder {
public:
    CBenchFolder() {
        std::string strTemplate = (std::filesystem::temp_directory_path() / "tabulon-bench-XXXXXX").string();
        if (!mkdtemp(strTemplate.data()))
            std::abort();
        m_strDir = strTemplate;
    }
    ~CBenchFolder() {
        std::error_code ec;
        std::filesystem::remove_all(m_strDir, ec);
    }
    CBenchFolder(const CBenchFolder&) = delete;
    CBenchFolder& operator=(const CBenchFolder&) = delete;

    const std::string& Dir() const { return m_strDir; }
    std::string Path(const std::string& strName) const { return m_strDir + "/" + strName; }

private:
    std::string m_strDir;
};

struct BenchTable {
    CBenchFolder folder;
    int32_t nRecords;
    std::string strPath;
    samples::GeneratedTable table;

    BenchTable()
        : nRecords(std::getenv("TABULON_BENCH_RECORDS") ? std::atoi(std::getenv("TABULON_BENCH_RECORDS")) : 1000000),
          strPath(folder.Path("customers.dbf")),
          table(samples::WriteMixedTable(strPath, nRecords)) {}
    std::string Path(const std::string& strName) const { return folder.Path(strName); }
};

inline const BenchTable& GeneratedTable() {
    static const BenchTable s_table;
    return s_table;
}

using Clock = std::chrono::steady_clock;

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values.empty() ? 0 : values[values.size() / 2];
}

inline double Milliseconds(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Runs the baseline five times (after the benchmark's own iterations, in the
// same process) and reports both medians and their ratio.
inline void Report(benchmark::State& state, const std::vector<double>& times, const std::function<void()>& fnBaseline) {
    std::vector<double> baseline;
    for (int i = 0; i < 5; ++i) {
        const Clock::time_point start = Clock::now();
        fnBaseline();
        baseline.push_back(Milliseconds(start));
    }
    const double dMs = Median(times), dBaseline = Median(baseline);
    state.counters["ms"] = dMs;
    state.counters["baseline_ms"] = dBaseline;
    state.counters["x_baseline"] = dBaseline > 0 ? dMs / dBaseline : 0;
}

}  // namespace bench
