// dbftool pack TABLE: removes the deleted records, as Tabulon's Pack does:
// the live records go to TABLE's "._tmp" file, which then takes the table's
// name while the previous file stays as ".bak". Prints
//   {"records":N,"removed":M}
// A table that can only be opened for reading is refused, unchanged.
#include <cstdio>

#include "engine/memory_cursorset.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/list_options.h"

namespace dbftool {

namespace {

// Exclusive: the file is replaced under its name.
constexpr unsigned kExclusive = 18;

int RunPack(const Args& args) {
    if (args.size() != 1 || args[0].rfind("--", 0) == 0) return UsageError(kPackCommand);
    dbf::CDBFMemoryCursorset set;
    OpenForWriting(set, args[0], kExclusive);
    const int32_t nBefore = set.GetImageRecordCount();
    set.Pack();
    std::printf("{\"records\":%d,\"removed\":%d}\n", set.GetImageRecordCount(), nBefore - set.GetImageRecordCount());
    return 0;
}

}  // namespace

const Command kPackCommand = {"pack", "pack TABLE", RunPack};

}  // namespace dbftool
