// Tables of any size with a mix of field types, for the benchmarks and for
// `make run`'s samples: a FoxPro 2 table (version 0xF5) with its .FPT memo
// file, whose records look like a customer list. Every value comes from a
// seeded generator, so the same arguments always give the same bytes.
//
// Fields (90 bytes a record with the deletion flag):
//   NAME C 20      "Surname Given", from lists of names: realistic ties and prefixes
//   CITY C 15      one of a few hundred towns
//   CODE C 8       "AB-12345"
//   AMOUNT N 12.2  -99,999.99 to 999,999.99
//   QTY N 5        0 to 99,999
//   BORN D         1930 to 2009, one in 20 blank
//   ACTIVE L       T or F
//   NOTE M         a memo of 20 to 300 characters in one record of ten
//   REGION C 10
// One record in fifty is deleted.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace samples {

struct GeneratedTable {
    std::string strTable;  // the .dbf path
    std::string strMemo;   // the .FPT path
    uint64_t nTableBytes = 0;
    uint64_t nMemoBytes = 0;
    int32_t nDeleted = 0;
    int32_t nMemos = 0;
};

// One field of a table CreateTable makes.
struct FieldSpec {
    const char* pszName;
    char cType;
    uint8_t nWidth;
    uint8_t nDecimals;
};

// A new empty table of these fields through the engine (its version byte and
// code-page mark as given); raises platform::CFileException or the engine's
// error when it cannot be written.
void CreateTable(const std::string& strPath, uint8_t nVersion, uint8_t nCodePageMark,
                 const std::vector<FieldSpec>& fields);

// Writes strPath (and the .FPT beside it, upper-case extension) with
// nRecords records; raises platform::CFileException when it cannot.
GeneratedTable WriteMixedTable(const std::string& strPath, int32_t nRecords, uint64_t nSeed = 1);

}  // namespace samples
