// dbftool info TABLE: the table's header numbers and field list as one JSON
// object, the fields with the widths and decimals the engine shows callers.
#include <cstdio>

#include "engine/dbf_exception.h"
#include "engine/table_def.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/json_out.h"
#include "tools/dbftool/table_text.h"

namespace dbftool {

namespace {

const char* MemoName(const dbf::CMemoFile* pMemo) {
    if (!pMemo) return nullptr;
    switch (pMemo->GetMemoType()) {
    case dbf::memoDBase3: return "dbt3";
    case dbf::memoDBase4: return "dbt4";
    case dbf::memoFoxPro: return "fpt";
    case dbf::memoSmt: return "smt";
    default: return nullptr;
    }
}

int RunInfo(const Args& args) {
    Args rest = args;
    CTableText text;
    if (!text.TakeOptions(rest)) return UsageError(kInfoCommand);
    if (rest.size() != 1) return UsageError(kInfoCommand);

    dbf::CDBFTableDef table;
    table.Open(rest[0], kReadOnlyShared);
    if (!table.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
    text.ChooseFor(table.GetHeader());

    const dbf::DBFHeader& header = table.GetHeader();
    CJsonOut out(stdout);
    out.Raw("{\"version\":");
    out.Integer(header.version);
    out.Raw(",\"records\":");
    out.Integer(table.GetRecordCount());
    out.Raw(",\"header_length\":");
    out.Integer(table.GetHeaderLength());
    out.Raw(",\"record_length\":");
    out.Integer(table.GetRecordLength());
    out.Raw(",\"code_page_mark\":");
    out.Integer(header.codePageMark);
    out.Raw(",\"memo\":");
    if (const char* pszMemo = MemoName(table.GetMemoFile())) {
        out.String(pszMemo);
    } else {
        out.Raw("null");
    }
    out.Raw(",\"fields\":[");
    for (int i = 0; i < table.GetFieldCount(); ++i) {
        dbf::DBFFieldInfo info = table.GetFieldInfo(i);
        out.Raw(i ? ",{\"name\":" : "{\"name\":");
        out.Raw(text.QuoteName(info.strName));
        out.Raw(",\"type\":");
        text.WriteText(out, std::string(1, info.cType));
        out.Raw(",\"width\":");
        out.Integer(info.nWidth);
        out.Raw(",\"decimals\":");
        out.Integer(info.nDecimals);
        out.Raw('}');
    }
    out.Raw("]}\n");
    return out.Flush() ? 0 : 1;
}

}  // namespace

const Command kInfoCommand = {"info", "info TABLE [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]", RunInfo};

}  // namespace dbftool
