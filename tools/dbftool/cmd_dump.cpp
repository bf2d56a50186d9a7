// dbftool dump TABLE: the records as the table window lists them (every
// record in file order, unless the list options hide, filter or sort them),
// as one JSON object per line with the values the record cursor reads (memo
// contents included; null where a field's null flag is set). The table is
// loaded whole, as Tabulon loads it. --salvage reads a table whose header's
// record count disagrees with its file's length: the records the file holds.
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/field_io.h"
#include "engine/memory_cursorset.h"
#include "platform/core/value_coercion.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/json_out.h"
#include "tools/dbftool/list_options.h"
#include "tools/dbftool/table_text.h"
#include "tools/dbftool/value_text.h"

namespace dbftool {

namespace {

constexpr int32_t kPrefetchAhead = 4;

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
    // A table whose header's count disagrees with its length: the records
    // the file holds, read only.
    const bool bSalvage = TakeFlag(rest, "salvage");
    if (!text.TakeOptions(rest) || !list.TakeOptions(rest)) return UsageError(kDumpCommand);
    if (rest.size() != 1 || rest[0].rfind("--", 0) == 0) return UsageError(kDumpCommand);

    dbf::CDBFMemoryCursorset set;
    if (bSalvage) {
        set.OpenForSalvage(rest[0]);
    } else {
        set.Open(rest[0], kReadOnlyShared);
    }
    if (!set.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
    text.ChooseFor(set);
    if (!list.Apply(set, text)) return 2;
    const dbf::CNullFlags& nulls = set.GetNullFlags();
    const bool bNulls = !nulls.IsEmpty();

    // Each field's key, escaped once.
    const int nFields = set.GetFieldCount();
    const dbf::DBFFieldDesc* pDesc = set.GetFieldList().m_pDesc;
    std::vector<std::string> keys(static_cast<size_t>(nFields));
    for (int i = 0; i < nFields; ++i) {
        std::string& strKey = keys[size_t(i)];
        strKey.push_back(',');
        strKey += text.QuoteName(pDesc[i].GetName());
        strKey.push_back(':');
    }

    CJsonOut out(stdout);
    dbf::FieldValue value;
    const int32_t nCount = set.GetRecordCount();
    const size_t nRecordLength = set.GetRecordLength();
    char buffer[kScalarBuffer];
    for (int32_t n = 0; n < nCount; ++n) {
        const size_t nLineStart = out.GetPending();
        try {
            // Sorted records lie anywhere in memory: the ones a few lines
            // ahead are fetched while this one is written.
            if (n + kPrefetchAhead < nCount) __builtin_prefetch(set.GetRecord(n + kPrefetchAhead));
            set.SetAbsolutePosition(n);
            const uint8_t* pRecord = set.GetRecordBuffer();
            out.Raw("{\"_flag\":");
            text.WriteText(out, std::string_view(reinterpret_cast<const char*>(pRecord), 1));
            for (int i = 0; i < nFields; ++i) {
                const dbf::DBFFieldDesc& desc = pDesc[i];
                out.Raw(keys[size_t(i)]);
                if (bNulls && nulls.IsNull(pRecord, i)) {
                    out.Raw("null");
                    continue;
                }
                // The common fields straight from the record; memo fields
                // (and the rest) through the record cursor.
                if (desc.type == 'C') {
                    text.WriteText(out, CharacterText(pRecord, desc));
                    continue;
                }
                std::string_view strDate;
                if (desc.type == 'D' &&
                    FormatDateDigits(pRecord + desc.GetDisplacement(), desc.GetLayoutWidth(), buffer, strDate)) {
                    if (strDate.empty()) {
                        out.Raw("null");
                    } else {
                        out.Raw('"');
                        out.Raw(strDate);
                        out.Raw('"');
                    }
                    continue;
                }
                if (desc.type == 'N' || desc.type == 'F') {
                    // ReadFieldValue's number, written as WriteValue would.
                    const double d =
                        platform::ParseCDouble(reinterpret_cast<const char*>(pRecord) + desc.GetDisplacement(), desc.width);
                    if (std::isfinite(d)) {
                        out.Raw(std::string_view(buffer, size_t(std::to_chars(buffer, buffer + sizeof buffer, d).ptr - buffer)));
                    } else {
                        out.Raw("null");
                    }
                    continue;
                }
                if (desc.type == 'L' || desc.type == 'I' || desc.type == 'Y') {
                    dbf::ReadFieldValue(std::span<const uint8_t>(pRecord, nRecordLength), desc, value);
                } else {
                    set.GetFieldValue(i, value);
                }
                WriteValue(out, text, desc, value);
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
                               "dump TABLE [--hide-deleted] [--sort=FIELD[:desc]] [--filter=TEXT[@FIELD]] [--salvage]\n"
                               "      [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]",
                               RunDump};

}  // namespace dbftool
