// make_samples: writes the project's sample files into the folder named on
// its command line, so `make run` has something real to show. Nothing it
// writes is committed; every run makes the files anew.
//
// Each sample is one function in kSamples below. The engine never creates
// memo files, so their headers are written here byte by byte; every memo in
// them is then written through the engine's own memo classes. A file
// memo_examples.txt lists one memo of each file ("FILE BLOCK LENGTH") for
// scripts that want to show one.
#include <cerrno>
#include <cstdio>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/dbt_memo_file.h"
#include "engine/fpt_memo_file.h"
#include "engine/memo_file.h"
#include "engine/smt_memo_file.h"
#include "platform/core/byte_order.h"
#include "platform/core/file.h"
#include "samples/table_generator.h"

namespace {

constexpr unsigned kCreate = platform::modeCreate | platform::shareExclusive | platform::modeReadWrite |
                             platform::typeBinary;
constexpr unsigned kReadWriteShared = 66;

// What a sample tells the scripts: one memo to show.
struct Example {
    std::string strFile;
    uint32_t nBlock;
    uint32_t nLength;
};

struct Context {
    std::string strDir;
    std::vector<Example> examples;
    std::string Path(const std::string& strName) const { return strDir + "/" + strName; }
};

void WriteNewFile(const std::string& strPath, const std::vector<uint8_t>& bytes) {
    platform::CFile file;
    int nErrno = 0;
    if (!file.Open(strPath, kCreate, &nErrno)) throw platform::CFileException(nErrno, strPath, "create");
    file.Write(bytes.data(), bytes.size());
}

// Writes texts as new memos; returns their blocks (and lengths, for .SMT).
std::vector<std::pair<uint32_t, uint32_t>> WriteMemos(dbf::CMemoFile& memo, const std::vector<std::string>& texts) {
    std::vector<std::pair<uint32_t, uint32_t>> refs;
    for (const std::string& strText : texts) {
        uint32_t nBlock = 0, nLength = 0;
        memo.WriteMemo(nBlock, nLength, strText);
        refs.emplace_back(nBlock, nLength);
    }
    return refs;
}

const std::vector<std::string> kTexts = {
    "Assorted petits fours.\r\nEach one decorated by hand.",
    "A memo long enough to need more than one block: " + std::string(600, '.') + " the end.",
    "Third memo.",
};

// dBASE III: header of 512 bytes, next available block 1, block size left 0 (512).
void MemoDBase3(Context& ctx) {
    std::vector<uint8_t> header(512, 0);
    platform::PutLE32(header.data(), 1);
    const std::string strName = "memo_dbase3.dbt";
    WriteNewFile(ctx.Path(strName), header);
    dbf::CMemoFile memo;
    memo.Open(ctx.Path(strName), kReadWriteShared);
    auto refs = WriteMemos(memo, kTexts);
    ctx.examples.push_back({strName, refs[0].first, 0});
}

// dBASE IV: block size 512 at bytes 20-21, an empty free chain (its first
// block is the end of the file). The second memo is then cleared, so the
// file ends with a free run the header names.
void MemoDBase4(Context& ctx) {
    std::vector<uint8_t> header(512, 0);
    platform::PutLE32(header.data(), 1);
    platform::PutLE16(header.data() + 20, 512);
    const std::string strName = "memo_dbase4.dbt";
    WriteNewFile(ctx.Path(strName), header);
    dbf::CDBTMemoFile memo;
    memo.Open(ctx.Path(strName), kReadWriteShared);
    auto refs = WriteMemos(memo, kTexts);
    uint32_t nBlock = refs[1].first, nLength = 0;
    memo.WriteMemo(nBlock, nLength, "");
    ctx.examples.push_back({strName, refs[2].first, 0});
}

// FoxPro: 512-byte header, big-endian next free block 8, 64-byte blocks.
void MemoFoxPro(Context& ctx) {
    std::vector<uint8_t> header(512, 0);
    platform::PutBE32(header.data(), 512 / 64);
    platform::PutBE16(header.data() + 6, 64);
    const std::string strName = "memo_foxpro.fpt";
    WriteNewFile(ctx.Path(strName), header);
    dbf::CFPTMemoFile memo;
    memo.Open(ctx.Path(strName), kReadWriteShared);
    auto refs = WriteMemos(memo, kTexts);
    ctx.examples.push_back({strName, refs[1].first, 0});
}

// SMT: 510-byte header, 32-byte blocks, end-of-file block 16, no free runs.
void MemoSmt(Context& ctx) {
    std::vector<uint8_t> header(510, 0);
    platform::PutLE32(header.data(), (510 + 31) / 32);
    platform::PutLE32(header.data() + 4, 32);
    const std::string strName = "memo_smt.smt";
    WriteNewFile(ctx.Path(strName), header);
    dbf::CSMTMemoFile memo;
    memo.Open(ctx.Path(strName), kReadWriteShared);
    auto refs = WriteMemos(memo, kTexts);
    ctx.examples.push_back({strName, refs[0].first, refs[0].second});
}

// A customer table with a memo file (samples/table_generator.h), small
// enough to page through and big enough to sort and filter.
void CustomerTable(Context& ctx) {
    samples::GeneratedTable table = samples::WriteMixedTable(ctx.Path("customers.dbf"), 2000);
    std::printf("make_samples: %s has 2000 records, %d memos, %d deleted\n", table.strTable.c_str(), table.nMemos,
                table.nDeleted);
}

struct Sample {
    const char* pszName;
    void (*pfnWrite)(Context& ctx);
};

// Add new samples here; they run in this order.
const Sample kSamples[] = {
    {"dBASE III memo file", MemoDBase3},
    {"dBASE IV memo file", MemoDBase4},
    {"FoxPro memo file", MemoFoxPro},
    {"SMT memo file", MemoSmt},
    {"customer table", CustomerTable},
};

void WriteExamples(const Context& ctx) {
    const std::string strPath = ctx.Path("memo_examples.txt");
    std::FILE* pFile = std::fopen(strPath.c_str(), "w");
    if (!pFile) throw platform::CFileException(errno, strPath, "create");
    for (const Example& e : ctx.examples) std::fprintf(pFile, "%s %u %u\n", e.strFile.c_str(), e.nBlock, e.nLength);
    std::fclose(pFile);
}

}  // namespace

// make_samples --table RECORDS PATH: one customer table of that size (the
// benchmarks' table, for scripts that time other programs on it).
int WriteOneTable(const char* pszRecords, const char* pszPath) {
    char* pEnd = nullptr;
    const long nRecords = std::strtol(pszRecords, &pEnd, 10);
    if (*pEnd != '\0' || nRecords < 0 || nRecords > INT32_MAX) {
        std::fprintf(stderr, "make_samples: '%s' is no record count\n", pszRecords);
        return 2;
    }
    try {
        samples::GeneratedTable table = samples::WriteMixedTable(pszPath, int32_t(nRecords));
        std::printf("make_samples: wrote %s (%llu bytes) and %s (%llu bytes)\n", table.strTable.c_str(),
                    static_cast<unsigned long long>(table.nTableBytes), table.strMemo.c_str(),
                    static_cast<unsigned long long>(table.nMemoBytes));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_samples: %s\n", e.what());
        return 1;
    }
    return 0;
}

int main(int argc, char** argv) {
    if (argc == 4 && std::strcmp(argv[1], "--table") == 0) return WriteOneTable(argv[2], argv[3]);
    if (argc != 2) {
        std::fprintf(stderr, "usage: make_samples FOLDER\n       make_samples --table RECORDS PATH\n");
        return 2;
    }
    Context ctx;
    ctx.strDir = argv[1];
    try {
        for (const Sample& sample : kSamples) {
            const size_t nBefore = ctx.examples.size();
            sample.pfnWrite(ctx);
            std::printf("make_samples: wrote the %s", sample.pszName);
            if (ctx.examples.size() > nBefore) std::printf(" %s", ctx.Path(ctx.examples.back().strFile).c_str());
            std::printf("\n");
        }
        WriteExamples(ctx);
    } catch (const dbf::CDBFException& e) {
        std::fprintf(stderr, "make_samples: %s\n", e.GetErrorMessage().c_str());
        return 1;
    } catch (const std::exception& e) {
        std::fprintf(stderr, "make_samples: %s\n", e.what());
        return 1;
    }
    return 0;
}
