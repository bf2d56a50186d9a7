// Fuzz target: the engine's table open and record cursor, with every field
// value of every record resolved (memo references turned into memo text or
// bytes) and turned into text. Input: a byte choosing the memo file's name
// (none, .FPT, .DBT, a .dbc table with its .DCT, .SMT; bit 3 spells it in
// lower case), the table's bytes with their 32-bit length first, then the
// memo file's bytes: the reader target's format, so the two share seeds.
#include <algorithm>

#include "engine/dbf_exception.h"
#include "engine/file_cursor.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/conversion_error.h"
#include "platform/core/file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    fuzz::CInput input(pData, nSize);
    uint8_t nKind = input.Byte();
    fuzz::Bytes table = input.TakeSized();
    fuzz::Bytes memo = input.Rest();

    std::string strTable = fuzz::WriteScratchTable(nKind, table, memo);

    dbf::CDBFFileCursor cursor;
    try {
        cursor.Open(strTable, platform::shareDenyNone);
    } catch (const dbf::CDBFException&) {
        return 0;
    }
    if (!cursor.IsOpen()) return 0;
    int nFields = cursor.GetFieldCount();
    int32_t nRecords = std::min<int32_t>(cursor.GetRecordCount(), 256);
    if (nFields > 0) nRecords = std::min<int32_t>(nRecords, 4096 / nFields + 1);
    for (int32_t n = 0; n < nRecords; ++n) {
        try {
            cursor.SetAbsolutePosition(n);
        } catch (const dbf::CDBFException&) {
            continue;
        }
        for (int i = 0; i < nFields; ++i) {
            try {
                dbf::FieldValue value = cursor.GetFieldValue(i);
                if (value.GetKind() != dbf::FieldKind::Bytes) (void)value.ToText();
            } catch (const dbf::CDBFException&) {
            } catch (const platform::CConversionError&) {
            }
        }
    }
    return 0;
}
