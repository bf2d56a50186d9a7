// dbftool dump TABLE: the records as the table window lists them (every
// record in file order, unless the list options hide, filter or sort them),
// as one JSON object per line with the values the record cursor reads (memo
// contents included). The table is loaded whole, as Tabulon loads it.
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/memory_cursorset.h"
#include "platform/core/value_coercion.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/json_out.h"
#include "tools/dbftool/list_options.h"
#include "tools/dbftool/table_text.h"
#include "tools/dbftool/value_text.h"

namespace dbftool {

namespace {

void WriteBytes(CJsonOut& out, dbf::ByteView bytes) {
    static const char kHex[] = "0123456789abcdef";
    out.Raw("{\"bytes\":\"");
    for (uint32_t i = 0; i < bytes.nLength; ++i) {
        out.Raw(kHex[bytes.pData[i] >> 4]);
        out.Raw(kHex[bytes.pData[i] & 15]);
    }
    out.Raw("\"}");
}

void WriteValue(CJsonOut& out, const CTableText& text, const dbf::DBFFieldDesc& desc, const dbf::FieldValue& value) {
    if (value.GetKind() == dbf::FieldKind::Text) return text.WriteText(out, value.GetText());
    if (value.GetKind() == dbf::FieldKind::Bytes) return WriteBytes(out, value.GetBytes());
    char buffer[kScalarBuffer];
    std::string_view str;
    switch (FormatScalar(desc, value, buffer, str)) {
    case ScalarForm::bare: out.Raw(str); break;
    case ScalarForm::quoted:
        out.Raw('"');
        out.Raw(str);
        out.Raw('"');
        break;
    default: out.Raw("null"); break;  // Empty, Null, and references no memo file resolved
    }
}

// A C field's text straight from the record, as the record cursor would
// read it (up to its first NUL, trailing white space trimmed unless the
// field is binary), without a string for every value.
std::string_view CharacterText(const uint8_t* pRecord, const dbf::DBFFieldDesc& desc) {
    const char* p = reinterpret_cast<const char*>(pRecord) + desc.GetDisplacement();
    size_t n = strnlen(p, desc.GetLayoutWidth());
    if (desc.flags != dbf::kFieldFlagBinary)
        while (n > 0 && platform::IsAsciiSpace(p[n - 1])) --n;
    return std::string_view(p, n);
}

int RunDump(const Args& args) {
    Args rest = args;
    CTableText text;
    CListOptions list;
    if (!text.TakeOptions(rest) || !list.TakeOptions(rest)) return UsageError(kDumpCommand);
    if (rest.size() != 1 || rest[0].rfind("--", 0) == 0) return UsageError(kDumpCommand);

    dbf::CDBFMemoryCursorset set;
    set.Open(rest[0], kReadOnlyShared);
    if (!set.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
    text.ChooseFor(set.GetTableDef()->GetHeader());
    if (!list.Apply(set, text)) return 2;

    // Each field's key, escaped once.
    const int nFields = set.GetFieldCount();
    const dbf::DBFFieldDesc* pDesc = set.GetFieldList().m_pDesc;
    std::vector<std::string> keys(static_cast<size_t>(nFields));
    for (int i = 0; i < nFields; ++i) keys[size_t(i)] = "," + text.QuoteName(pDesc[i].GetName()) + ":";

    CJsonOut out(stdout);
    dbf::FieldValue value;
    const int32_t nCount = set.GetRecordCount();
    for (int32_t n = 0; n < nCount; ++n) {
        const size_t nLineStart = out.GetPending();
        try {
            set.SetAbsolutePosition(n);
            const uint8_t* pRecord = set.GetRecordBuffer();
            out.Raw("{\"_flag\":");
            text.WriteText(out, std::string_view(reinterpret_cast<const char*>(pRecord), 1));
            for (int i = 0; i < nFields; ++i) {
                out.Raw(keys[size_t(i)]);
                if (pDesc[i].type == 'C') {
                    text.WriteText(out, CharacterText(pRecord, pDesc[i]));
                    continue;
                }
                set.GetFieldValue(i, value);
                WriteValue(out, text, pDesc[i], value);
            }
            out.Raw("}\n");
            out.FlushIfFull();
        } catch (...) {
            // The records before this one are whole; this one's half line goes.
            out.DropPendingFrom(nLineStart);
            out.Flush();
            throw;
        }
    }
    return out.Flush() ? 0 : 1;
}

}  // namespace

const Command kDumpCommand = {"dump",
                               "dump TABLE [--hide-deleted] [--sort=FIELD[:desc]] [--filter=TEXT[@FIELD]]\n"
                               "      [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]",
                               RunDump};

}  // namespace dbftool
