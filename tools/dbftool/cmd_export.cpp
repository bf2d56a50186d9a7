// dbftool export TABLE OUT --as=dbase3|vfp: writes the records dump would
// list (the same --hide-deleted, --sort and --filter) as a new dBASE III or
// Visual FoxPro table without memo file, memo texts becoming C 255 fields.
// OUT is replaced if it exists (by a whole copy only). Prints {"records":N},
// and on standard error how many texts of which fields the copy cut.
#include <cstdio>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/list_options.h"
#include "tools/dbftool/table_text.h"

namespace dbftool {

namespace {

int RunExport(const Args& args) {
    Args rest = args;
    CTableText text;
    CListOptions list;
    std::string strAs;
    if (!TakeOption(rest, "as", strAs) || (strAs != "dbase3" && strAs != "vfp")) return UsageError(kExportCommand);
    if (!text.TakeOptions(rest) || !list.TakeOptions(rest)) return UsageError(kExportCommand);
    if (rest.size() != 2 || rest[0].rfind("--", 0) == 0 || rest[1].rfind("--", 0) == 0)
        return UsageError(kExportCommand);

    dbf::CDBFMemoryCursorset set;
    set.Open(rest[0], kReadOnlyShared);
    if (!set.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
    text.ChooseFor(set);
    if (!list.Apply(set, text)) return 2;
    const bool bDone = strAs == "vfp" ? set.ExportVisualFoxPro(rest[1]) : set.ExportDBase3(rest[1]);
    if (!bDone) {
        std::fprintf(stderr, "dbftool: cannot create '%s'\n", rest[1].c_str());
        return 1;
    }
    for (const dbf::CDBFMemoryCursorset::ExportCut& cut : set.GetLastExportCuts())
        std::fprintf(stderr, "dbftool: %lld text%s of %s cut to 255 characters\n", static_cast<long long>(cut.nValues),
                     cut.nValues == 1 ? "" : "s", cut.strName.c_str());
    std::printf("{\"records\":%d}\n", set.GetRecordCount());
    return 0;
}

}  // namespace

const Command kExportCommand = {"export",
                                "export TABLE OUT --as=dbase3|vfp [--hide-deleted] [--sort=FIELD[:desc]]\n"
                                "      [--filter=TEXT[@FIELD]] [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]",
                                RunExport};

}  // namespace dbftool
