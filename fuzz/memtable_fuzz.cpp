// Fuzz target: the memory cursor set on arbitrary table and memo bytes:
// load, sort by every field both ways, both copies, an append, a delete and
// a code-page conversion saved in place, and a pack. Input: the table
// target's format (a byte choosing the memo file's name, the table's bytes
// with their 32-bit length first, the memo file's bytes), so they share
// seeds; bit 4 of the first byte hides deleted records.
//
// Engine errors and refused values are expected. What must never happen,
// besides crashes and sanitizer reports: a sort that loses or repeats a
// record, a copy that was written but does not open with the records it was
// given, a save or pack whose table does not open again with the records
// it must hold.
#include <algorithm>
#include <cstdlib>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/conversion_error.h"

namespace {

constexpr unsigned kReadWriteShared = 66, kReadOnlyShared = 64;

void Check(bool bOk) {
    if (!bOk) std::abort();
}

// The slots of the visible records, to prove a sort only reorders them.
std::vector<const uint8_t*> Visible(dbf::CDBFMemoryCursorset& set) {
    std::vector<const uint8_t*> records;
    for (int32_t i = 0; i < set.GetRecordCount(); ++i) records.push_back(set.GetRecord(i));
    std::sort(records.begin(), records.end());
    return records;
}

void SortEveryField(dbf::CDBFMemoryCursorset& set) {
    const std::vector<const uint8_t*> before = Visible(set);
    for (int i = 0; i < set.GetFieldCount() && i < 32; ++i) {
        for (bool bDescending : {false, true}) {
            try {
                set.Sort(i, bDescending);
            } catch (const dbf::CDBFException&) {
                // A memo that cannot be read: the list must still be whole.
            }
            Check(Visible(set) == before);
        }
    }
}

// A copy that was written must open with every record it was given.
void ExportAndReopen(dbf::CDBFMemoryCursorset& set, bool bVisualFoxPro) {
    const std::string strCopy = fuzz::ScratchPath(bVisualFoxPro ? "copy_vfp.dbf" : "copy3.dbf");
    bool bWritten = false;
    try {
        bWritten = bVisualFoxPro ? set.ExportVisualFoxPro(strCopy) : set.ExportDBase3(strCopy);
    } catch (const dbf::CDBFException&) {
        return;
    }
    if (!bWritten) return;
    dbf::CDBFMemoryCursorset copy;
    copy.Open(strCopy, kReadOnlyShared);
    Check(copy.IsOpen() && copy.GetRecordCount() == set.GetRecordCount() &&
          copy.GetFieldCount() == set.GetFieldCount());
}

// An appended record, a deleted one and converted text, saved in place; then
// a pack. Each must leave a table that opens with the records it holds.
void EditSaveAndPack(dbf::CDBFMemoryCursorset& set, const std::string& strTable) {
    try {
        set.AddNew();
        for (int i = 0; i < set.GetFieldCount(); ++i) {
            try {
                set.SetFieldValue(i, dbf::FieldValue::MakeText("12"));
            } catch (const platform::CConversionError&) {
            }
        }
        set.Update();
        set.SetAbsolutePosition(0);
        set.Delete();
        set.ConvertOemToAnsi();
        set.Save();
    } catch (const dbf::CDBFException&) {
        return;
    }
    const int32_t nSaved = set.GetImageRecordCount() + set.GetAddedRecordCount();
    set.SetHideDeleted(false);
    set.Requery();
    int32_t nLive = 0;
    for (int32_t i = 0; i < set.GetRecordCount(); ++i) nLive += set.GetRecord(i)[0] != '*';
    {
        dbf::CDBFMemoryCursorset reopened;
        reopened.Open(strTable, kReadOnlyShared);
        Check(reopened.IsOpen() && reopened.GetRecordCount() == nSaved);
    }
    try {
        set.Pack();
    } catch (const dbf::CDBFException&) {
        return;
    }
    Check(set.IsOpen() && set.GetRecordCount() == nLive);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    fuzz::CInput input(pData, nSize);
    const uint8_t nKind = input.Byte();
    const fuzz::Bytes table = input.TakeSized();
    const fuzz::Bytes memo = input.Rest();

    const std::string strTable = fuzz::WriteScratchTable(nKind, table, memo);

    dbf::CDBFMemoryCursorset set;
    try {
        set.Open(strTable, kReadWriteShared);
    } catch (const dbf::CDBFException&) {
        return 0;
    }
    if (!set.IsOpen()) return 0;
    if (nKind & 0x10) {
        set.SetHideDeleted(true);
        set.Requery();
    }
    SortEveryField(set);
    ExportAndReopen(set, false);
    ExportAndReopen(set, true);
    EditSaveAndPack(set, strTable);
    return 0;
}
