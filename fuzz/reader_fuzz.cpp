// Fuzz target: Peekrow's reader on any table and memo bytes. Input: one byte
// choosing the memo file's name (none, .FPT, .DBT, a .dbc table with its
// .DCT; bit 2 spells the memo name in lower case) and Find's options (bit 3
// "Or" ranges, bit 4 DOS text), the table's bytes with their length first,
// then the memo file's bytes. Every field of every record that the file can
// hold is turned into text, and every memo block; Find's tests of every kind
// run over the first fields of those records, and its walk over the rows.
#include <cstdlib>

#include "fuzz/fuzz_support.h"
#include "viewer/reader/dbf_file_reader.h"
#include "viewer/reader/record_match.h"

namespace {

// Aborts when reading raises more boxes than one open allows: one for
// records and one for memos, whatever the bytes.
class CCountingSink : public CReaderErrorSink {
public:
    void ShowError(unsigned, const std::string&) override {
        if (++m_nErrors > 2 && m_bCounting) std::abort();
    }
    bool m_bCounting = false;
    int m_nErrors = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    fuzz::CInput input(pData, nSize);
    uint8_t nKind = input.Byte();
    fuzz::Bytes table = input.TakeSized();
    fuzz::Bytes memo = input.Rest();

    fuzz::ClearScratch();
    static const char* const kMemoExt[] = {nullptr, "FPT", "DBT", "DCT"};
    const char* pszMemoExt = kMemoExt[nKind & 3];
    std::string strTable = fuzz::ScratchPath((nKind & 3) == 3 ? "t.dbc" : "t.dbf");
    fuzz::WriteFile(strTable, table);
    if (pszMemoExt) {
        std::string strExt = pszMemoExt;
        if (nKind & 4)
            for (char& c : strExt) c = char(c - 'A' + 'a');
        fuzz::WriteFile(fuzz::ScratchPath("t." + strExt), memo);
    }

    CCountingSink sink;
    CDBFFileReader reader;
    reader.SetErrorSink(&sink);
    if (!reader.Open(strTable)) return 0;
    sink.m_nErrors = 0;  // the open's own message about the memo file is not counted
    sink.m_bCounting = true;

    // Every record the file could hold, and a few past it; the cells are
    // bounded so that one input stays quick.
    size_t nRecordLength = reader.GetRecordLength() ? reader.GetRecordLength() : 1;
    int64_t nRecords = std::min<int64_t>(reader.GetRecordCount(), int64_t(table.size() / nRecordLength) + 2);
    int64_t nFields = reader.GetFieldCount();
    nRecords = std::min<int64_t>(nRecords, 256);
    if (nFields > 0) nRecords = std::min<int64_t>(nRecords, 4096 / nFields + 1);
    std::string strText;
    bool bLogical = false;
    for (int32_t n = 1; n <= nRecords; ++n) {
        const uint8_t* pRecord = reader.ReadRecord(n);
        volatile uint8_t nFlag = pRecord[0];  // the view looks at the deletion flag
        (void)nFlag;
        for (int i = 0; i < nFields; ++i) reader.GetFieldText(i, n, strText, bLogical);
    }
    // Find: on each of the first fields the test of its type's panel and
    // one other kind (the typed values behind them read the same bytes as
    // the text), then walks that must stop at the table's ends.
    const bool bOr = (nKind & 8) != 0;
    const FindCodePages pages{(nKind & 16) != 0};
    for (int i = 0; i < std::min<int64_t>(nFields, 16); ++i) {
        const FindCriteria criteria[] = {
            FindCriteria::PlainText(i, "a\xE0"),
            FindCriteria::Text(i, "\xE0z", false),
            FindCriteria::NumberRange(i, -1e9, 1e9, bOr),
            FindCriteria::DateRange(i, 0, 9999999, bOr),
            FindCriteria::Logical(i, LogicalChoice(nKind % 6)),
        };
        const size_t nOwn = size_t(FindPanelForType(reader.GetField(i).GetType())) + 1;
        for (size_t k : {nOwn, (size_t(i) + nKind) % 5}) {
            CRecordMatcher matcher(reader, criteria[k], pages);
            for (int32_t n = 1; n <= nRecords; ++n) matcher.Matches(n);
        }
    }
    if (nFields > 0) {
        const FindCriteria none = FindCriteria::NumberRange(0, 1, 0, false);
        FindRecord(reader, none, FindDirection::down, std::max<int64_t>(0, reader.GetRecordCount() - nRecords), pages);
        FindRecord(reader, none, FindDirection::up, nRecords, pages);
    }

    if (reader.GetMemoKind() != CDBFFileReader::MemoKind::none && reader.GetMemoBlockSize()) {
        uint32_t nBlocks = uint32_t(std::min<size_t>(memo.size() / reader.GetMemoBlockSize() + 2, 64));
        for (uint32_t nBlock = 0; nBlock < nBlocks; ++nBlock) reader.GetMemo(nBlock);
        reader.GetMemo(0xFFFFFFFFu);
    }
    return 0;
}
