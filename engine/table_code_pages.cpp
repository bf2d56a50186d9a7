// The code-page decision for open tables, with the sample of their text.
#include "engine/table_code_pages.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/field_io.h"
#include "engine/memory_cursorset.h"
#include "engine/table_def.h"

namespace dbf {

namespace {

void SampleRecords(CDBFTableDef& table, const uint8_t* pRecords, size_t nBytes, platform::CUtf8Sample& sample) {
    const size_t nRecordLength = table.GetRecordLength();
    const DBFFieldList& fields = table.GetFieldList();
    if (nRecordLength == 0) return;
    const size_t nRecords = std::min(nBytes, platform::CUtf8Sample::kRecordBytes) / nRecordLength;
    const bool bMemo = table.HasOpenMemo();
    FieldValue ref;
    std::string strText;
    for (size_t n = 0; n < nRecords && !sample.IsDecided(); ++n) {
        const std::span<const uint8_t> record(pRecords + n * nRecordLength, nRecordLength);
        for (int i = 0; i < fields.m_nFields && !sample.IsDecided(); ++i) {
            const DBFFieldDesc& desc = fields.m_pDesc[i];
            const uint8_t* p = record.data() + desc.GetDisplacement();
            if (desc.type == 'C') {
                const char* pszText = reinterpret_cast<const char*>(p);
                sample.Add(std::string_view(pszText, strnlen(pszText, desc.GetLayoutWidth())));
            } else if (desc.type == 'M' && bMemo) {
                ReadFieldValue(record, desc, ref);
                uint32_t nLength = 0;
                const uint32_t nBlock = MemoBlockOf(ref, &nLength);
                if (nBlock == 0) continue;
                try {
                    table.ReadMemoText(nBlock, nLength, strText);
                } catch (const CDBFException&) {
                    continue;  // a damaged memo tells nothing about the others
                }
                sample.Add(strText);
            }
        }
    }
}

}  // namespace

platform::TableCodePages DecideCodePages(CDBFTableDef& table, const uint8_t* pRecords, size_t nBytes,
                                         const CodePageOverrides& overrides) {
    platform::TableCodePageFacts facts;
    facts.nVersion = table.GetHeader().version;
    facts.nMark = table.GetHeader().codePageMark;
    facts.strOemOverride = overrides.strOem;
    facts.strAnsiOverride = overrides.strAnsi;
    const std::string strCpg = platform::FindCpgFile(table.GetFilePath());
    facts.bHasCpg = !strCpg.empty() && platform::ReadCpgFile(strCpg, facts.cpg);
    if (platform::NeedsUtf8Sample(facts.nMark, facts.bHasCpg)) {
        platform::CUtf8Sample sample;
        SampleRecords(table, pRecords, nBytes, sample);
        facts.nUtf8Sample = sample.IsUtf8() ? 1 : 0;
    }
    platform::TableCodePages pages = platform::DecideTableCodePages(facts);
    table.SetWholeTextEncoding(pages.WholeTextEncoding());
    return pages;
}

platform::TableCodePages DecideCodePages(CDBFTableDef& table, const CodePageOverrides& overrides) {
    std::vector<uint8_t> records;
    if (table.IsOpen() && table.GetRecordLength() > 0) {
        const uint64_t nAll = uint64_t(table.GetRecordCount()) * table.GetRecordLength();
        const size_t nWant = size_t(std::min<uint64_t>(nAll, platform::CUtf8Sample::kRecordBytes));
        records.resize(nWant - nWant % table.GetRecordLength());
        try {
            records.resize(table.ReadFileAt(table.GetHeaderLength(), records.data(), records.size()));
        } catch (const platform::CFileException&) {
            records.clear();
        }
    }
    return DecideCodePages(table, records.data(), records.size(), overrides);
}

platform::TableCodePages DecideCodePages(CDBFMemoryCursorset& set, const CodePageOverrides& overrides) {
    CDBFTableDef* pTable = set.GetTableDef();
    if (!pTable) return platform::DecideTableCodePages(platform::TableCodePageFacts{});
    const int32_t nLoaded = set.GetImageRecordCount();
    const uint8_t* pFirst = nLoaded > 0 ? set.GetLoadedRecord(0) : nullptr;
    return DecideCodePages(*pTable, pFirst, size_t(nLoaded) * set.GetRecordLength(), overrides);
}

}  // namespace dbf
