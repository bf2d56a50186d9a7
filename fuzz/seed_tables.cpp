// Seed tables for the fuzzers, and packing them into each target's input.
#include "fuzz/seed_tables.h"

#include <cstdio>
#include <cstring>

namespace fuzz {

namespace {

void PutLE(Bytes& b, size_t nAt, uint64_t n, int nBytes) {
    for (int i = 0; i < nBytes; ++i) b[nAt + size_t(i)] = uint8_t(n >> (8 * i));
}
void PutBE(Bytes& b, size_t nAt, uint64_t n, int nBytes) {
    for (int i = 0; i < nBytes; ++i) b[nAt + size_t(i)] = uint8_t(n >> (8 * (nBytes - 1 - i)));
}
void Append(Bytes& b, const std::string& str) { b.insert(b.end(), str.begin(), str.end()); }

struct Field {
    const char* pszName;
    char cType;
    int nWidth;
    int nDecimals;
};

// Header, descriptors, terminator (and the Visual FoxPro backlink area),
// records and the end byte.
Bytes MakeTable(uint8_t nVersion, uint8_t nFlags, const std::vector<Field>& fields, const std::vector<Bytes>& records) {
    size_t nRecordLength = 1;
    for (const Field& f : fields) nRecordLength += size_t(f.nWidth);
    size_t nHeader = 32 + 32 * fields.size() + 1 + (nVersion == 0x30 ? 263 : 0);
    Bytes b(32, 0);
    b[0] = nVersion;
    b[1] = 124, b[2] = 6, b[3] = 1;
    PutLE(b, 4, records.size(), 4);
    PutLE(b, 8, nHeader, 2);
    PutLE(b, 10, nRecordLength, 2);
    b[28] = nFlags;
    b[29] = 0x03;
    size_t nDisplacement = 1;
    for (const Field& f : fields) {
        Bytes d(32, 0);
        std::memcpy(d.data(), f.pszName, std::strlen(f.pszName));
        d[11] = uint8_t(f.cType);
        PutLE(d, 12, nDisplacement, 4);
        d[16] = uint8_t(f.nWidth & 0xFF);
        d[17] = uint8_t(f.nDecimals ? f.nDecimals : f.nWidth >> 8);
        nDisplacement += size_t(f.nWidth);
        b.insert(b.end(), d.begin(), d.end());
    }
    b.push_back(0x0D);
    b.resize(nHeader, 0);
    for (const Bytes& r : records) {
        b.push_back(' ');
        b.insert(b.end(), r.begin(), r.end());
        b.resize(nHeader + (nRecordLength * (size_t(&r - &records[0]) + 1)), ' ');
    }
    b.push_back(0x1A);
    return b;
}

Bytes Text(const std::string& str) { return Bytes(str.begin(), str.end()); }
Bytes LE32(uint32_t n) {
    Bytes b(4);
    PutLE(b, 0, n, 4);
    return b;
}
Bytes Cat(std::initializer_list<Bytes> parts) {
    Bytes b;
    for (const Bytes& p : parts) b.insert(b.end(), p.begin(), p.end());
    return b;
}

Bytes FptFile(uint16_t nBlockSize, const std::vector<std::string>& memos) {
    Bytes b(512, 0);
    for (const std::string& m : memos) {
        b.resize((b.size() + nBlockSize - 1) / nBlockSize * nBlockSize, 0);
        size_t nAt = b.size();
        b.resize(nAt + 8, 0);
        PutBE(b, nAt, 1, 4);
        PutBE(b, nAt + 4, m.size(), 4);
        Append(b, m);
    }
    b.resize((b.size() + nBlockSize - 1) / nBlockSize * nBlockSize, 0);
    PutBE(b, 0, b.size() / nBlockSize, 4);
    PutBE(b, 6, nBlockSize, 2);
    return b;
}

Bytes Dbt3File(const std::vector<std::string>& memos) {
    Bytes b(512, 0);
    for (const std::string& m : memos) {
        Append(b, m + "\x1A\x1A");
        b.resize((b.size() + 511) / 512 * 512, 0);
    }
    PutLE(b, 0, b.size() / 512, 4);
    b[16] = 0x03;
    return b;
}

Bytes Dbt4File(uint16_t nBlockSize, const std::vector<std::string>& memos) {
    Bytes b(nBlockSize, 0);
    for (const std::string& m : memos) {
        size_t nAt = b.size();
        b.resize(nAt + 8, 0);
        b[nAt] = 0xFF, b[nAt + 1] = 0xFF, b[nAt + 2] = 0x08, b[nAt + 3] = 0x00;
        PutLE(b, nAt + 4, m.size() + 8, 4);
        Append(b, m);
        b.resize((b.size() + nBlockSize - 1) / nBlockSize * nBlockSize, 0);
    }
    PutLE(b, 0, b.size() / nBlockSize, 4);
    PutLE(b, 20, nBlockSize, 2);
    return b;
}

std::string Digits10(uint32_t n) {
    char sz[16];
    std::snprintf(sz, sizeof sz, "%10u", n);
    return sz;
}

// Reads of the first blocks, a new memo, a rewrite of it, a reopen, a read.
Bytes MemoOps() {
    Bytes ops;
    for (uint32_t nBlock : {1u, 2u, 8u, 9u}) {
        ops.push_back(0);
        Bytes b = Cat({LE32(nBlock), LE32(16)});
        ops.insert(ops.end(), b.begin(), b.end());
    }
    std::string strText = "a new memo text";
    ops.push_back(2), ops.push_back(0);
    Bytes w = Cat({LE32(0), LE32(0), Bytes{uint8_t(strText.size()), 0}, Text(strText)});
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
                     MakeTable(0x03, 0,
                               {{"NAME", 'C', 10, 0}, {"AMOUNT", 'N', 8, 2}, {"WHEN", 'D', 8, 0}, {"OK", 'L', 1, 0},
                                {"RATE", 'F', 10, 4}},
                               {Text("Alice        12.5020240229T    0.1250"), Text("Bob         -3.00        F  -12.0000")}),
                     {}, 0});
    seeds.push_back({"built_dbase3_memo",
                     MakeTable(0x83, 0, {{"NAME", 'C', 4, 0}, {"NOTES", 'M', 10, 0}},
                               {Text("one " + Digits10(1)), Text("two " + Digits10(2)), Text("none          ")}),
                     Dbt3File({"first memo\r\nsecond line", std::string(700, 'x')}), 2});
    seeds.push_back({"built_dbase4_memo",
                     MakeTable(0x8B, 0, {{"NAME", 'C', 4, 0}, {"NOTES", 'M', 10, 0}},
                               {Text("one " + Digits10(1)), Text("two " + Digits10(3))}),
                     Dbt4File(512, {std::string(600, 'y'), "short"}), 2});
    Bytes dbl(8);
    double d = 3.25;
    std::memcpy(dbl.data(), &d, 8);
    seeds.push_back(
        {"built_vfp_memo",
         MakeTable(0x30, 0x02,
                   {{"NAME", 'C', 6, 0}, {"WHEN", 'T', 8, 0}, {"COUNT", 'I', 4, 0}, {"RATIO", 'B', 8, 2},
                    {"PRICE", 'Y', 8, 4}, {"NOTES", 'M', 4, 0}, {"PIC", 'G', 4, 0}, {"_NullFlags", '0', 2, 0}},
                   {Cat({Text("widget"), LE32(2451545), LE32(3600000), LE32(uint32_t(-7)), dbl, LE32(123456), LE32(0),
                         LE32(8), LE32(9), Bytes{3, 0}}),
                    Cat({Text("gadget"), LE32(0), LE32(0), LE32(1), dbl, LE32(0), LE32(0), LE32(10), LE32(0),
                         Bytes{0, 0}})}),
         FptFile(64, {"a memo", "a picture", std::string(200, 'z')}), 1});
    seeds.push_back({"built_foxpro_memo",
                     MakeTable(0xF5, 0, {{"NAME", 'C', 4, 0}, {"NOTES", 'M', 10, 0}, {"WIDE", 'C', 300, 0}},
                               {Text("one " + Digits10(1) + std::string(300, 'w'))}),
                     FptFile(512, {"fox memo"}), 1});
    seeds.push_back({"built_dbc",
                     MakeTable(0x30, 0x02, {{"OBJECTID", 'I', 4, 0}, {"PROPERTY", 'M', 4, 0}},
                               {Cat({LE32(1), LE32(8)})}),
                     FptFile(64, {"property text"}), 3});
    // An .SMT memo (kind 4, which only the table and memo targets know): a
    // 510-byte header, 32-byte blocks, one memo at block 16.
    Bytes smt(512, 0);
    PutLE(smt, 0, 17, 4);  // end-of-file block
    PutLE(smt, 4, 32, 4);  // block size
    std::string strSmtMemo = "an smt memo";
    Append(smt, strSmtMemo);
    smt.resize(17 * 32, 0);
    Bytes ref(10, 0);
    ref[0] = 8;
    PutLE(ref, 2, strSmtMemo.size(), 4);
    PutLE(ref, 6, 16, 4);
    seeds.push_back({"built_smt", MakeTable(0xE5, 0, {{"NAME", 'C', 4, 0}, {"NOTES", 'M', 10, 0}}, {Cat({Text("smt "), ref})}),
                     smt, 4});
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
