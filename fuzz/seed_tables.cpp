// Seed tables for the fuzzers, and packing them into each target's input.
#include "fuzz/seed_tables.h"

#include "tests/support/memo_builder.h"
#include "tests/support/table_builder.h"

namespace fuzz {

namespace {

using testing_support::CMemoImage;
using testing_support::LE32;
using testing_support::MemoRef10;
using testing_support::TableBuilder;

Bytes Text(const std::string& str) { return Bytes(str.begin(), str.end()); }
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}
Bytes LE32Bytes(uint32_t n) { return Text(LE32(n)); }

// A table of a name and a memo field whose records refer to each memo added
// to the memo file, in order.
SeedTable MemoSeed(const char* pszName, uint8_t nVersion, CMemoImage memo, const std::vector<std::string>& memos,
                   int nMemoKind) {
    TableBuilder table(nVersion);
    table.Field("NAME", 'C', 4).Field("NOTES", 'M', 10);
    for (const std::string& strMemo : memos) table.Record({"memo", MemoRef10(memo.Add(strMemo))});
    table.Record({"none"});
    return {pszName, table.Build(), memo.GetBytes(), nMemoKind};
}

// Reads of the first blocks, a new memo, a rewrite of it, a reopen, a read.
Bytes MemoOps() {
    Bytes ops;
    for (uint32_t nBlock : {1u, 2u, 8u, 9u}) {
        ops.push_back(0);
        Bytes b = Cat({LE32Bytes(nBlock), LE32Bytes(16)});
        ops.insert(ops.end(), b.begin(), b.end());
    }
    std::string strText = "a new memo text";
    ops.push_back(2), ops.push_back(0);
    Bytes w = Cat({LE32Bytes(0), LE32Bytes(0), Bytes{uint8_t(strText.size()), 0}, Text(strText)});
    ops.insert(ops.end(), w.begin(), w.end());
    std::string strLonger(900, 'L');
    ops.push_back(2), ops.push_back(1);
    Bytes w2 = Cat({Bytes{uint8_t(strLonger.size() & 0xFF), uint8_t(strLonger.size() >> 8)}, Text(strLonger)});
    ops.insert(ops.end(), w2.begin(), w2.end());
    ops.push_back(3);
    ops.push_back(4);
    return ops;
}

Bytes MemoInput(uint8_t nLayout, const Bytes& file) {
    Bytes input{nLayout};
    AppendSized(input, file);
    Bytes ops = MemoOps();
    input.insert(input.end(), ops.begin(), ops.end());
    return input;
}

}  // namespace

std::vector<SeedTable> BuildSeedTables() {
    std::vector<SeedTable> seeds;
    seeds.push_back({"built_dbase3",
                     TableBuilder(0x03)
                         .Field("NAME", 'C', 10).Field("AMOUNT", 'N', 8, 2).Field("WHEN", 'D', 8).Field("OK", 'L', 1)
                         .Field("RATE", 'F', 10, 4)
                         .Record({"Alice", "12.50", "20240229", "T", "0.1250"})
                         .Record({"Bob", "-3.00", "", "F", "-12.0000"})
                         .Build(),
                     {}, 0});
    seeds.push_back(MemoSeed("built_dbase3_memo", 0x83, CMemoImage::DBase3(1),
                             {"first memo\r\nsecond line", std::string(700, 'x')}, 2));
    seeds.push_back(MemoSeed("built_dbase4_memo", 0x8B, CMemoImage::DBase4(1, 512), {std::string(600, 'y'), "short"}, 2));
    CMemoImage fox = CMemoImage::Fpt(1, 512);
    const uint32_t nFoxMemo = fox.Add("fox memo");
    seeds.push_back({"built_foxpro_memo",
                     TableBuilder(0xF5).Field("NAME", 'C', 4).Field("NOTES", 'M', 10).Field("WIDE", 'C', 300)
                         .Record({"one", MemoRef10(nFoxMemo), std::string(300, 'w')})
                         .Build(),
                     fox.GetBytes(), 1});
    // An .SMT memo (kind 4, which only the table and memo targets know).
    CMemoImage smt = CMemoImage::Smt(16, 32);
    const std::string strSmtMemo = "an smt memo";
    const uint32_t nSmtBlock = smt.Add(strSmtMemo);
    seeds.push_back({"built_smt",
                     TableBuilder(0xE5).Field("NAME", 'C', 4).Field("NOTES", 'M', 10)
                         .Record({"smt", testing_support::SmtRef(uint32_t(strSmtMemo.size()), nSmtBlock)})
                         .Build(),
                     smt.GetBytes(), 4});

    // Visual FoxPro: every binary type, memo and picture references, null flags.
    CMemoImage fpt = CMemoImage::Fpt(8, 64);
    const uint32_t nMemo = fpt.Add("a memo"), nPicture = fpt.Add("a picture"), nLong = fpt.Add(std::string(200, 'z'));
    seeds.push_back({"built_vfp_memo",
                     TableBuilder(0x30)
                         .TableFlags(0x02)
                         .Field("NAME", 'C', 6).Field("WHEN", 'T', 8).Field("COUNT", 'I', 4).Field("RATIO", 'B', 8, 2)
                         .Field("PRICE", 'Y', 8, 4).Field("NOTES", 'M', 4).Field("PIC", 'G', 4).Field("_NullFlags", '0', 2)
                         .Record({"widget", testing_support::DateTimeBytes(2451545, 3600000), LE32(uint32_t(-7)),
                                  testing_support::LEDouble(3.25), testing_support::LE64(123456), LE32(nMemo),
                                  LE32(nPicture), std::string("\x03\x00", 2)})
                         .Record({"gadget", std::string(8, '\0'), LE32(1), testing_support::LEDouble(3.25),
                                  std::string(8, '\0'), LE32(nLong), LE32(0), std::string(2, '\0')})
                         .Build(),
                     fpt.GetBytes(), 1});
    CMemoImage dct = CMemoImage::Fpt(8, 64);
    const uint32_t nProperty = dct.Add("property text");
    seeds.push_back({"built_dbc",
                     TableBuilder(0x30).TableFlags(0x02).Field("OBJECTID", 'I', 4).Field("PROPERTY", 'M', 4)
                         .Record({LE32(1), LE32(nProperty)})
                         .Build(),
                     dct.GetBytes(), 3});
    return seeds;
}

std::vector<SeedInput> SeedInputsFor(const SeedTable& seed) {
    std::vector<SeedInput> inputs;
    Bytes reader{uint8_t(seed.nMemoKind)};
    AppendSized(reader, seed.table);
    reader.insert(reader.end(), seed.memo.begin(), seed.memo.end());
    if (!seed.table.empty()) {
        inputs.push_back({"reader", "", reader});
        // The table target reads the same format; its kind 4 is an .SMT file.
        inputs.push_back({"table", "", reader});
        inputs.push_back({"memtable", "", reader});
    }

    // The memo file alone, with a few operations after it.
    if (!seed.memo.empty()) {
        uint8_t nVersion = seed.table.empty() ? 0 : seed.table[0];
        uint8_t nLayout = seed.nMemoKind == 4   ? 2
                          : seed.nMemoKind != 2 ? 3
                          : (nVersion == 0x8B || nVersion == 0x7B || nVersion == 0xCB) ? 1
                                                                                        : 0;
        inputs.push_back({"memo", "", MemoInput(nLayout, seed.memo)});
    }
    return inputs;
}

}  // namespace fuzz
