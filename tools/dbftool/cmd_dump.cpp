// dbftool dump TABLE: every record, in file order, as one JSON object per
// line, with the values the record cursor reads (memo contents included).
#include <cstdio>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/file_cursor.h"
#include "platform/core/ole_date.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/json_out.h"
#include "tools/dbftool/table_text.h"

namespace dbftool {

namespace {

void WriteCurrency(CJsonOut& out, int64_t n) {
    // Ten-thousandths as "whole.dddd"; the magnitude in unsigned arithmetic
    // so that the smallest value has one too.
    uint64_t nAbs = n < 0 ? 0 - uint64_t(n) : uint64_t(n);
    char sz[32];
    std::snprintf(sz, sizeof sz, "\"%s%llu.%04llu\"", n < 0 ? "-" : "", static_cast<unsigned long long>(nAbs / 10000),
                  static_cast<unsigned long long>(nAbs % 10000));
    out.Raw(sz);
}

void WriteDate(CJsonOut& out, double dDate, bool bWithTime) {
    platform::DateTimeParts parts;
    if (!platform::SplitOleDate(dDate, parts)) {
        out.Raw("null");
        return;
    }
    char sz[32];
    if (bWithTime) {
        std::snprintf(sz, sizeof sz, "\"%04d-%02d-%02dT%02d:%02d:%02d\"", parts.nYear, parts.nMonth, parts.nDay,
                      parts.nHour, parts.nMinute, parts.nSecond);
    } else {
        std::snprintf(sz, sizeof sz, "\"%04d-%02d-%02d\"", parts.nYear, parts.nMonth, parts.nDay);
    }
    out.Raw(sz);
}

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
    switch (value.GetKind()) {
    case dbf::FieldKind::Int32: out.Integer(value.GetInt32()); break;
    case dbf::FieldKind::Double: out.Double(value.GetDouble()); break;
    case dbf::FieldKind::Currency: WriteCurrency(out, value.GetCurrency()); break;
    case dbf::FieldKind::Date: WriteDate(out, value.GetDate(), desc.type == 'T'); break;
    case dbf::FieldKind::Text: text.WriteText(out, value.GetText()); break;
    case dbf::FieldKind::Bool: out.Raw(value.GetBool() ? "true" : "false"); break;
    case dbf::FieldKind::MemoRef: out.Integer(value.GetMemoRef()); break;  // null-flags fields
    case dbf::FieldKind::Bytes: WriteBytes(out, value.GetBytes()); break;
    default: out.Raw("null"); break;  // Empty, Null, and references no memo file resolved
    }
}

int RunDump(const Args& args) {
    Args rest = args;
    CTableText text;
    if (!text.TakeOptions(rest)) return UsageError(kDumpCommand);
    if (rest.size() != 1 || rest[0].rfind("--", 0) == 0) return UsageError(kDumpCommand);

    dbf::CDBFFileCursor cursor;
    cursor.Open(rest[0], kReadOnlyShared);
    if (!cursor.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
    text.ChooseFor(cursor.GetTableDef()->GetHeader());

    // Each field's key, escaped once.
    const int nFields = cursor.GetFieldCount();
    std::vector<std::string> keys(static_cast<size_t>(nFields));
    for (int i = 0; i < nFields; ++i) {
        keys[size_t(i)] = "," + text.QuoteName(cursor.GetFieldList().m_pDesc[i].GetName()) + ":";
    }

    CJsonOut out(stdout);
    dbf::FieldValue value;
    const int32_t nCount = cursor.GetRecordCount();
    for (int32_t n = 0; n < nCount; ++n) {
        const size_t nLineStart = out.GetPending();
        try {
            cursor.SetAbsolutePosition(n);
            out.Raw("{\"_flag\":");
            text.WriteText(out, std::string_view(reinterpret_cast<const char*>(cursor.GetRecordBuffer()), 1));
            for (int i = 0; i < nFields; ++i) {
                out.Raw(keys[size_t(i)]);
                cursor.GetFieldValue(i, value);
                WriteValue(out, text, cursor.GetFieldList().m_pDesc[i], value);
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

const Command kDumpCommand = {"dump", "dump TABLE [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]", RunDump};

}  // namespace dbftool
