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
#include "engine/memory_cursorset.h"
#include "engine/table_def.h"
#include "engine/smt_memo_file.h"
#include "platform/core/byte_order.h"
#include "platform/core/code_page.h"
#include "platform/core/ole_date.h"
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

// A new table through the engine: the structure, then records appended and
// some of them deleted, then saved.
struct FieldSpec {
    const char* pszName;
    char cType;
    uint8_t nWidth;
    uint8_t nDecimals;
};

void CreateTable(const std::string& strPath, uint8_t nVersion, uint8_t nCodePageMark,
                 const std::vector<FieldSpec>& fields) {
    dbf::CDBFTableDef def;
    if (!def.CreateNew(strPath)) throw platform::CFileException(EIO, strPath, "create");
    dbf::DBFHeader header = def.GetHeader();
    header.version = nVersion;
    header.codePageMark = nCodePageMark;
    def.SetHeader(header);
    for (const FieldSpec& spec : fields) {
        dbf::DBFFieldDesc desc{};
        std::snprintf(desc.name, sizeof desc.name, "%s", spec.pszName);
        desc.type = spec.cType;
        desc.width = spec.nWidth;
        desc.decimals = spec.nDecimals;
        def.AppendField(desc);
    }
    def.WriteStructure();
    def.Close();
}

double Day(int nYear, int nMonth, int nDay, int nHour = 0, int nMinute = 0) {
    double d = 0;
    platform::MakeOleDate(nYear, nMonth, nDay, nHour, nMinute, 0, d);
    return d;
}

// Every type Tabulon edits, in a Visual FoxPro table of Windows-1252 text
// (code-page mark 0x03), with a few records deleted.
void EditableTable(Context& ctx) {
    const std::string strPath = ctx.Path("stock.dbf");
    CreateTable(strPath, dbf::verVisualFoxPro, 0x03,
                {{"ITEM", 'C', 24, 0}, {"ORIGIN", 'C', 16, 0}, {"PRICE", 'N', 10, 2}, {"WEIGHT", 'F', 9, 3},
                 {"QTY", 'I', 4, 0}, {"RATIO", 'B', 8, 4}, {"COST", 'Y', 8, 4}, {"ARRIVED", 'D', 8, 0},
                 {"CHECKED", 'T', 8, 0}, {"INSTOCK", 'L', 1, 0}});
    const char* const kItems[] = {"Café crème", "Crêpes Suzette", "Müsli", "Smørrebrød", "Jalapeño salsa",
                                  "Bouillabaisse", "Pâté de campagne", "Gruyère", "Tiramisù", "Crème brûlée"};
    const char* const kOrigins[] = {"Zürich", "Malmö", "Besançon", "Córdoba", "Ålesund", "Porto", "Genève"};
    const platform::CCodePage* pAnsi = platform::CCodePage::Find("CP1252");
    dbf::CDBFMemoryCursorset table;
    table.Open(strPath, kReadWriteShared);
    for (int i = 0; i < 120; ++i) {
        table.AddNew();
        table.SetFieldValue(0, dbf::FieldValue::MakeText(pAnsi->FromUtf8(kItems[i % 10]) + " " + std::to_string(i + 1)));
        table.SetFieldValue(1, dbf::FieldValue::MakeText(pAnsi->FromUtf8(kOrigins[i % 7])));
        table.SetFieldValue(2, dbf::FieldValue::MakeDouble(1.25 + (i * 37 % 2000) / 4.0));
        table.SetFieldValue(3, dbf::FieldValue::MakeDouble(0.125 * (i % 50)));
        table.SetFieldValue(4, dbf::FieldValue::MakeInt32(i * 7 % 500));
        table.SetFieldValue(5, dbf::FieldValue::MakeDouble(i / 8.0));
        table.SetFieldValue(6, dbf::FieldValue::MakeCurrency(int64_t(i) * 123456 % 100000000));
        if (i % 11 != 5) table.SetFieldValue(7, dbf::FieldValue::MakeDate(Day(2020 + i % 6, 1 + i % 12, 1 + i % 28)));
        table.SetFieldValue(8, dbf::FieldValue::MakeDate(Day(2025, 1 + i % 12, 1 + i % 27, 8 + i % 10, i % 60)));
        table.SetFieldValue(9, dbf::FieldValue::MakeBool(i % 3 != 0));
        table.Update();
    }
    for (int i = 14; i < 120; i += 15) {
        table.SetAbsolutePosition(i);
        table.Delete();
    }
    table.Save();
    table.Close();
}

// A dBASE III table of Russian text in the DOS code page CP866 (mark 0x65).
void DosTable(Context& ctx) {
    const std::string strPath = ctx.Path("kontakty.dbf");
    CreateTable(strPath, dbf::verDBase3, 0x65,
                {{"FAMILIYA", 'C', 20, 0}, {"GOROD", 'C', 16, 0}, {"SUMMA", 'N', 10, 2}, {"DATA", 'D', 8, 0},
                 {"AKTIV", 'L', 1, 0}});
    const char* const kNames[] = {"Иванов", "Петрова", "Сидоров", "Кузнецова", "Смирнов", "Волкова", "Фёдоров",
                                  "Морозова"};
    const char* const kCities[] = {"Москва", "Санкт-Петербург", "Казань", "Новосибирск", "Ярославль", "Тверь"};
    const platform::CCodePage* pOem = platform::CCodePage::Find("CP866");
    dbf::CDBFMemoryCursorset table;
    table.Open(strPath, kReadWriteShared);
    for (int i = 0; i < 60; ++i) {
        table.AddNew();
        table.SetFieldValue(0, dbf::FieldValue::MakeText(pOem->FromUtf8(kNames[i % 8])));
        table.SetFieldValue(1, dbf::FieldValue::MakeText(pOem->FromUtf8(kCities[i % 6])));
        table.SetFieldValue(2, dbf::FieldValue::MakeDouble(100 + i * 17.5));
        table.SetFieldValue(3, dbf::FieldValue::MakeDate(Day(2024, 1 + i % 12, 1 + i % 28)));
        table.SetFieldValue(4, dbf::FieldValue::MakeBool(i % 4 != 0));
        table.Update();
    }
    for (int i = 9; i < 60; i += 10) {
        table.SetAbsolutePosition(i);
        table.Delete();
    }
    table.Save();
    table.Close();
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
    {"table of every editable type", EditableTable},
    {"DOS table", DosTable},
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
