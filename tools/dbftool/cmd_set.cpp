// dbftool set TABLE --record N --field NAME --value TEXT: changes one field
// of record N (1-based, in file order) the way a cell edit does: the text,
// given in UTF-8, becomes the table's code page, the record cursor converts
// it to the field's kind (numbers and dates by the user's locale), and the
// table is saved in place. A value the field refuses changes nothing.
#include <cerrno>
#include <cstdio>
#include <cstdlib>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "platform/core/conversion_error.h"
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
    text.ChooseFor(set.GetTableDef()->GetHeader());
    if (nRecord > set.GetRecordCount()) {
        std::fprintf(stderr, "dbftool: the table has %d records, not %lld\n", set.GetRecordCount(), nRecord);
        return 1;
    }
    const int nField = FindFieldByName(set.GetFieldList(), strField);
    if (nField < 0) {
        std::fprintf(stderr, "dbftool: the table has no field named '%s'\n", strField.c_str());
        return 1;
    }
    // A new table shows every record in file order: record N is at N - 1.
    set.SetAbsolutePosition(int32_t(nRecord - 1));
    set.Edit();
    try {
        set.SetFieldValue(nField, dbf::FieldValue::MakeText(text.ToTableText(strValue)));
    } catch (const platform::CConversionError& e) {
        std::fprintf(stderr, "dbftool: field %s refuses '%s': %s\n", set.GetFieldList().m_pDesc[nField].GetName().c_str(),
                     strValue.c_str(), e.what());
        return 1;
    }
    set.Update();
    set.Save();
    return 0;
}

}  // namespace

const Command kSetCommand = {"set",
                             "set TABLE --record N --field NAME --value TEXT\n"
                             "      [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]",
                             RunSet};

}  // namespace dbftool
