// dbftool pack TABLE: removes the deleted records, as Tabulon's Pack does:
// the live records go to TABLE's "._tmp" file, which then takes the table's
// name while the previous file stays as its backup. Prints
//   {"records":N,"removed":M}
// A table that can only be opened for reading is refused, unchanged, as is
// one whose structural index is there (unless --stale-index-ok).
#include <cstdio>

#include "engine/memory_cursorset.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/list_options.h"

namespace dbftool {

namespace {

// Exclusive: the file is replaced under its name.
constexpr unsigned kExclusive = 18;

int RunPack(const Args& args) {
    Args rest = args;
    const bool bStaleIndexOk = TakeFlag(rest, "stale-index-ok");
    if (rest.size() != 1 || rest[0].rfind("--", 0) == 0) return UsageError(kPackCommand);
    dbf::CDBFMemoryCursorset set;
    OpenForWriting(set, rest[0], kExclusive);
    if (!CheckIndex(*set.GetTableDef(), bStaleIndexOk)) return 1;
    const int32_t nBefore = set.GetImageRecordCount();
    set.Pack();
    std::printf("{\"records\":%d,\"removed\":%d}\n", set.GetImageRecordCount(), nBefore - set.GetImageRecordCount());
    return 0;
}

}  // namespace

const Command kPackCommand = {"pack", "pack TABLE [--stale-index-ok]", RunPack};

}  // namespace dbftool
