// dbftool set TABLE --record N --field NAME --value TEXT: changes one field
// of record N (1-based, in file order) the way a cell edit does: the text,
// given in UTF-8, becomes the table's code page and is checked as typed text
// (dbf::ValueFromTypedText: a date that is no date, a letter no logical, a
// number too wide are refused), and the table is saved in place. A field
// that cannot be written (pictures, objects, a memo without its memo file),
// a value that is refused, or a table whose structural index is there
// (unless --stale-index-ok) change nothing and fail.
//
// The order keeps a failure harmless: the table is copied to its backup
// before either file is touched, and a memo text never goes over the text it
// replaces, which stays readable until the record that points at it has been
// saved. Whatever fails, the table and its memo file are as they were (a new
// memo text that nothing refers to may remain).
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "engine/typed_value.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/list_options.h"
#include "tools/dbftool/table_text.h"
#include "tools/dbftool/text_filter.h"

namespace dbftool {

namespace {

constexpr unsigned kReadWriteShared = 66;

int RunSet(const Args& args) {
    Args rest = args;
    CTableText text;
    std::string strRecord, strField, strValue;
    const bool bStaleIndexOk = TakeFlag(rest, "stale-index-ok");
    if (!text.TakeOptions(rest)) return UsageError(kSetCommand);
    if (!TakeOption(rest, "record", strRecord) || !TakeOption(rest, "field", strField) ||
        !TakeOption(rest, "value", strValue) || rest.size() != 1 || rest[0].rfind("--", 0) == 0)
        return UsageError(kSetCommand);
    char* pEnd = nullptr;
    errno = 0;
    const long long nRecord = std::strtoll(strRecord.c_str(), &pEnd, 10);
    if (strRecord.empty() || *pEnd != '\0' || errno != 0 || nRecord < 1) return UsageError(kSetCommand);

    dbf::CDBFMemoryCursorset set;
    OpenForWriting(set, rest[0], kReadWriteShared);
    if (!CheckIndex(*set.GetTableDef(), bStaleIndexOk)) return 1;
    if (nRecord > set.GetRecordCount()) {
        std::fprintf(stderr, "dbftool: the table has %d records, not %lld\n", set.GetRecordCount(), nRecord);
        return 1;
    }
    const int nField = FindFieldByName(set.GetFieldList(), strField);
    if (nField < 0) {
        std::fprintf(stderr, "dbftool: the table has no field named '%s'\n", strField.c_str());
        return 1;
    }
    std::string strWhy;
    if (!dbf::CanWriteField(*set.GetTableDef(), nField, &strWhy)) {
        // A table opened for reading only is the engine's refusal to tell.
        if ((set.GetTableDef()->GetOpenFlags() & 3) == platform::modeRead) dbf::ThrowError(dbf::errReadOnlyTable);
        std::fprintf(stderr, "dbftool: %s\n", strWhy.c_str());
        return 1;
    }
    text.ChooseFor(set);
    dbf::TypedTextOptions options;
    options.strWholeText = text.GetWholeText();
    const dbf::TypedValue typed =
        dbf::ValueFromTypedText(set.GetFieldList().m_pDesc[nField], text.ToTableText(strValue), options);
    if (typed.IsRefused()) {
        std::fprintf(stderr, "dbftool: %s\n", typed.strError.c_str());
        return 1;
    }

    set.PrepareSave();
    set.SetKeepReplacedMemos(true);
    // A new table shows every record in file order: record N is at N - 1.
    set.SetAbsolutePosition(int32_t(nRecord - 1));
    set.Edit();
    set.SetFieldValue(nField, typed.value);
    set.Update();
    set.Save();
    return 0;
}

}  // namespace

const Command kSetCommand = {"set",
                             "set TABLE --record N --field NAME --value TEXT [--stale-index-ok]\n"
                             "      [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]",
                             RunSet};

}  // namespace dbftool
