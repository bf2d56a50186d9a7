// dbftool info TABLE: the table's header numbers and field list as one JSON
// object, the fields with the widths and decimals the engine shows callers,
// its structural index, and the code pages its text is read in. A table
// refused only because its header's record count disagrees with its length
// is described all the same, with what is wrong ("damage"), and the command
// fails.
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

const char* SourceName(platform::CodePageSource eSource) {
    switch (eSource) {
    case platform::CodePageSource::mark: return "mark";
    case platform::CodePageSource::cpg: return "cpg";
    case platform::CodePageSource::utf8Sample: return "sample";
    default: return "locale";
    }
}

// "code_pages":{"oem":"CP866","ansi":"CP1251","text":"oem","source":"mark"}
// with "text" the side of the pair the text is in, or its whole-text
// encoding ("UTF-8"), and a "note" when a mark was not followed.
void WriteCodePages(CJsonOut& out, const CTableText& text) {
    const platform::TableCodePages& pages = text.GetPages();
    out.Raw(",\"code_pages\":{\"oem\":");
    out.String(pages.pOem->GetName());
    out.Raw(",\"ansi\":");
    out.String(pages.pAnsi->GetName());
    out.Raw(",\"text\":");
    out.String(!text.GetWholeText().empty() ? text.GetWholeText() : text.IsOem() ? "oem" : "ansi");
    out.Raw(",\"source\":");
    out.String(SourceName(pages.eSource));
    if (!pages.strNote.empty()) {
        out.Raw(",\"note\":");
        out.String(pages.strNote);
    }
    out.Raw('}');
}

int RunInfo(const Args& args) {
    Args rest = args;
    CTableText text;
    if (!text.TakeOptions(rest)) return UsageError(kInfoCommand);
    if (rest.size() != 1) return UsageError(kInfoCommand);

    dbf::CDBFTableDef table;
    try {
        table.Open(rest[0], kReadOnlyShared);
    } catch (const dbf::CDBFException& e) {
        if (e.GetCode() != dbf::errNotDbfFile) throw;
        // Perhaps only the count and the length disagree: a salvage says.
        try {
            table.OpenForSalvage(rest[0]);
        } catch (const dbf::CDBFException&) {
            throw e;
        }
        if (!table.IsSalvaged()) throw;
    }
    if (!table.IsOpen()) dbf::ThrowError(dbf::errCantOpenFile);
    text.ChooseFor(table);

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
    out.Raw(",\"index\":");
    const dbf::StructuralIndex& index = table.GetStructuralIndex();
    if (index.bFlagged) {
        out.Raw("{\"file\":");
        out.String(index.GetFileName());
        out.Raw(index.bPresent ? ",\"present\":true}" : ",\"present\":false}");
    } else {
        out.Raw("null");
    }
    WriteCodePages(out, text);
    const dbf::TableLengthDamage& damage = table.GetLengthDamage();
    if (damage.bDamaged) {
        out.Raw(",\"damage\":{\"header_records\":");
        out.Integer(damage.nHeaderRecords);
        out.Raw(",\"records_by_length\":");
        out.Integer(damage.nRecordsByLength);
        out.Raw(",\"extra_bytes\":");
        out.Integer(int64_t(damage.nExtraBytes));
        out.Raw('}');
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
    if (!out.Flush()) return 1;
    if (!damage.bDamaged) return 0;
    std::fprintf(stderr,
                 "dbftool: the header counts %lld records but the file's length holds %lld (%llu bytes more); "
                 "dump --salvage reads the %lld records there are\n",
                 static_cast<long long>(damage.nHeaderRecords), static_cast<long long>(damage.nRecordsByLength),
                 static_cast<unsigned long long>(damage.nExtraBytes), static_cast<long long>(damage.nRecordsRead));
    return 1;
}

}  // namespace

const Command kInfoCommand = {"info", "info TABLE [--codepage=auto|oem|ansi] [--oem=CPxxx] [--ansi=CPxxx]", RunInfo};

}  // namespace dbftool
