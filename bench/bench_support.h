// What the benchmarks share: a temporary folder for the run, and the
// generated customer table (samples/table_generator.h) of 1,000,000 records,
// or TABULON_BENCH_RECORDS of them, written once per run and removed at exit.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>

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

}  // namespace bench
