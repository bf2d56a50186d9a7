// The code pages of an open table, decided by the one rule of
// platform/core/table_code_page.h from what the engine can see: the header's
// version byte and code-page mark, a ".cpg" file beside the table, and, only
// when those name no page, a bounded sample of the table's text (the C
// fields of the first megabyte of records and the text memos those records
// reference). Never a scan of the whole table.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/core/table_code_page.h"

namespace dbf {

class CDBFTableDef;
class CDBFMemoryCursorset;

// The user's override pair (empty: automatic); see TableCodePageFacts.
struct CodePageOverrides {
    std::string strOem, strAnsi;
};

// Decides for a table whose first records the caller holds (nBytes of them
// from pRecords, whole records; more than the sample's megabyte are not
// looked at), and tells the table the encoding of its whole text
// (CDBFTableDef::SetWholeTextEncoding). Memos that cannot be read are left
// out of the sample.
platform::TableCodePages DecideCodePages(CDBFTableDef& table, const uint8_t* pRecords, size_t nBytes,
                                         const CodePageOverrides& overrides = {});
// The same, reading the first records from the table file.
platform::TableCodePages DecideCodePages(CDBFTableDef& table, const CodePageOverrides& overrides = {});
// The same for a loaded table: the records are the cursor set's image.
platform::TableCodePages DecideCodePages(CDBFMemoryCursorset& set, const CodePageOverrides& overrides = {});

}  // namespace dbf
