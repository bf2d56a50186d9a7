// The options of the commands that list records (dump, export): which
// records and in what order, applied to a memory cursor set as the table
// windows apply their own choices.
//   --hide-deleted           records deleted on disk are left out
//   --filter=TEXT[@FIELD]    records showing TEXT (any letter case) in FIELD, or in any field
//   --sort=FIELD[:desc]      ordered by FIELD, ascending or descending; stable
#pragma once

#include <string>

#include "engine/memory_cursorset.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/table_text.h"
#include "tools/dbftool/text_filter.h"

namespace dbftool {

class CListOptions {
public:
    // Takes the options from args; false (with a message) on a value that
    // is not understood.
    bool TakeOptions(Args& args);
    // Hides, filters (one Requery) and sorts the open cursor set. False,
    // with a message, when --sort names no field of the table.
    bool Apply(dbf::CDBFMemoryCursorset& set, const CTableText& text);

private:
    bool m_bHideDeleted = false;
    bool m_bFilter = false;
    std::string m_strFilter;
    bool m_bSort = false;
    std::string m_strSortField;
    bool m_bDescending = false;
};

// Opens the table with flags that allow writing; when it cannot be opened
// so (a file only readable, or one another program holds exclusively) it is
// opened for reading, so that the engine's refusal to write says why. Engine
// errors of the open propagate; 3002 when it cannot be opened at all.
void OpenForWriting(dbf::CDBFMemoryCursorset& set, const std::string& strPath, unsigned nFlags);

// The commands that write a table (set, pack) leave its structural index
// stale: they refuse, naming the index, while it is there unless the user
// said --stale-index-ok. True when the command may go on.
bool CheckIndex(const dbf::CDBFTableDef& table, bool bStaleIndexOk);

}  // namespace dbftool
