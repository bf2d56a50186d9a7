// Sorting the visible list of the memory cursor set by one field.
//
// Comparing field values record against record would read and convert both
// fields at every comparison, and jump through the whole image doing it. The
// sort instead computes, once per record, a 64-bit key whose unsigned order
// is the order of the values, and sorts (key, record) pairs, stably, so that
// records with equal values keep the order they had. Keys:
//   - numbers, dates, currency, logicals: the value mapped onto an unsigned
//     number that orders like it; Empty (a blank date) is 0, below all;
//   - text: its first eight bytes, big-endian, zero-padded. Records whose
//     first eight bytes are equal and go on are sorted again among
//     themselves by the next eight, and so on; small or deeply tied groups
//     are finished by comparing the texts themselves;
//   - memo fields: a byte that tells Empty (no memo) from text, then the
//     first seven bytes of the text; tied groups are finished by comparing
//     the memo texts, read once per record.
// Descending order inverts every key, which keeps equal keys equal: the sort
// stays stable and Empty values come last.
#include <algorithm>
#include <bit>
#include <cmath>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "engine/dbf_exception.h"
#include "engine/field_copy.h"
#include "engine/field_io.h"
#include "engine/memory_cursorset.h"
#include "platform/core/byte_order.h"
#include "platform/core/value_coercion.h"

namespace dbf {

namespace {

#pragma pack(push, 1)
struct SortEntry {
    uint64_t nKey;
    uint32_t nSlot;
};
#pragma pack(pop)
static_assert(sizeof(SortEntry) == 12, "sort entries are packed: a million records take 12 MB");

bool KeyLess(const SortEntry& a, const SortEntry& b) { return a.nKey < b.nKey; }

template <class Less>
void StableSortRange(SortEntry* pBegin, SortEntry* pEnd, Less less) {
    // Small ranges, of which a tied text column makes many, without the
    // buffer std::stable_sort allocates.
    if (pEnd - pBegin <= 16) {
        for (SortEntry* p = pBegin + 1; p < pEnd; ++p) {
            SortEntry e = *p;
            SortEntry* q = p;
            for (; q > pBegin && less(e, q[-1]); --q) *q = q[-1];
            *q = e;
        }
        return;
    }
    std::stable_sort(pBegin, pEnd, less);
}

// A double onto an unsigned number of the same order: positive numbers get
// the sign bit, negative ones are inverted. -0 counts as 0; NaN (only in
// binary double fields) comes after every number. The result is never 0.
uint64_t DoubleKey(double d) {
    if (d == 0) d = 0.0;
    if (std::isnan(d)) return UINT64_MAX - 1;
    const uint64_t n = std::bit_cast<uint64_t>(d);
    constexpr uint64_t kSign = uint64_t(1) << 63;
    return (n & kSign) ? ~n : (n | kSign);
}

// Up to eight bytes from p (n of them) as a big-endian number, zero-padded.
uint64_t BigEndianChunk(const uint8_t* p, size_t n) {
    uint8_t bytes[8] = {};
    std::memcpy(bytes, p, std::min<size_t>(n, 8));
    return platform::GetBE64(bytes);
}

enum class KeyKind { number, text, rawBytes, memo };

KeyKind KindOf(const DBFFieldDesc& desc) {
    switch (desc.type) {
    case 'N': case 'F': case 'I': case 'Y': case 'L': case 'D': case 'T': case 'B': return KeyKind::number;
    case 'M': return KeyKind::memo;
    case 'C': return KeyKind::text;
    case '0': return desc.width > 4 ? KeyKind::rawBytes : KeyKind::number;
    default: return KeyKind::text;  // unknown letters read as their raw text
    }
}

// The text a field compares by, as ReadFieldValue reads it: up to its first
// NUL, C fields without trailing white space unless flagged binary. Wide
// null-flag fields compare all their bytes.
struct TextSpan {
    const uint8_t* p;
    size_t n;
};

TextSpan FieldText(const uint8_t* pRecord, const DBFFieldDesc& desc, KeyKind eKind) {
    const uint8_t* p = pRecord + desc.GetDisplacement();
    // C fields are as wide as bytes 16-17 say; other letters read byte 16.
    const size_t nWidth = desc.type == 'C' ? desc.GetLayoutWidth() : desc.width;
    if (eKind == KeyKind::rawBytes) return {p, nWidth};
    size_t n = strnlen(reinterpret_cast<const char*>(p), nWidth);
    if (desc.type == 'C' && desc.flags != kFieldFlagBinary)
        while (n > 0 && platform::IsAsciiSpace(char(p[n - 1]))) --n;
    return {p, n};
}

int CompareText(TextSpan a, TextSpan b, size_t nFrom) {
    const size_t na = a.n > nFrom ? a.n - nFrom : 0, nb = b.n > nFrom ? b.n - nFrom : 0;
    const int n = std::memcmp(a.p + nFrom, b.p + nFrom, std::min(na, nb));
    if (n != 0) return n;
    return na < nb ? -1 : na > nb ? 1 : 0;
}

// Memo texts compare like C strings: up to their first NUL.
std::string_view CutAtNul(const std::string& str) {
    return std::string_view(str.data(), strnlen(str.data(), str.size()));
}

// Tied groups smaller than this, or still tied after this many rounds of
// eight bytes, are finished by comparing the texts themselves.
constexpr size_t kDirectCompareBelow = 48;
constexpr int kMaxKeyRounds = 4;

}  // namespace

// The sort of one field, with the key and comparison rules above.
class CVisibleSorter {
public:
    CVisibleSorter(CDBFTableDef& table, const DBFFieldDesc& desc, bool bDescending, size_t nRecordLength,
                   std::function<const uint8_t*(uint32_t)> fnRecord)
        : m_table(table), m_desc(desc), m_eKind(KindOf(desc)), m_bDescending(bDescending),
          m_nRecordLength(nRecordLength), m_fnRecord(std::move(fnRecord)) {}

    void Sort(std::vector<SortEntry>& entries) {
        for (SortEntry& e : entries) e.nKey = Directed(FirstKey(e.nSlot));
        StableSortRange(entries.data(), entries.data() + entries.size(), KeyLess);
        if (m_eKind == KeyKind::number) return;
        RefineTies(entries.data(), entries.data() + entries.size(), 0);
    }

private:
    uint64_t Directed(uint64_t nKey) const { return m_bDescending ? ~nKey : nKey; }

    uint64_t FirstKey(uint32_t nSlot) {
        const uint8_t* pRecord = m_fnRecord(nSlot);
        switch (m_eKind) {
        case KeyKind::number: return NumberKey(pRecord);
        case KeyKind::memo: return MemoKey(nSlot);
        default: return TextChunk(pRecord, 0);
        }
    }

    uint64_t NumberKey(const uint8_t* pRecord) {
        const uint8_t* p = pRecord + m_desc.GetDisplacement();
        switch (m_desc.type) {
        case 'N':
        case 'F': return DoubleKey(platform::ParseCDouble(reinterpret_cast<const char*>(p), m_desc.width));
        case 'B': return m_desc.width == 8 ? DoubleKey(platform::GetLEDouble(p)) : 0;
        case 'I': return m_desc.width >= 4 ? uint64_t(int64_t(int32_t(platform::GetLE32(p))) - INT32_MIN) + 1 : 0;
        case 'Y': return m_desc.width >= 8 ? platform::GetLE64(p) ^ (uint64_t(1) << 63) : 0;
        default: break;
        }
        // Logicals, dates and null flags as the record cursor reads them.
        ReadFieldValue(std::span<const uint8_t>(pRecord, m_nRecordLength), m_desc, m_value);
        switch (m_value.GetKind()) {
        case FieldKind::Bool: return m_value.GetBool() ? 2 : 1;
        case FieldKind::Date: return DoubleKey(m_value.GetDate());
        case FieldKind::MemoRef: return uint64_t(m_value.GetMemoRef()) + 1;
        default: return 0;  // Empty
        }
    }

    uint64_t TextChunk(const uint8_t* pRecord, int nRound) const {
        TextSpan text = FieldText(pRecord, m_desc, m_eKind);
        const size_t nFrom = size_t(nRound) * 8;
        return nFrom < text.n ? BigEndianChunk(text.p + nFrom, text.n - nFrom) : 0;
    }

    // Whether records tied on round nRound's key may still differ after it.
    bool GoesOn(uint64_t nDirectedKey, int nRound) const {
        const uint64_t nKey = Directed(nDirectedKey);
        if (m_eKind == KeyKind::memo) return (nKey >> 56) != 0 && (nKey & 0xFF) != 0;
        if (m_eKind == KeyKind::rawBytes) return size_t(nRound + 1) * 8 < m_desc.width;
        return (nKey & 0xFF) != 0;  // the chunk's last byte is text: there may be more
    }

    uint64_t MemoKey(uint32_t nSlot) {
        const std::string* pText = MemoText(nSlot);
        if (!pText) return 0;
        std::string_view text = CutAtNul(*pText);
        return (uint64_t(1) << 56) | (BigEndianChunk(reinterpret_cast<const uint8_t*>(text.data()),
                                                     std::min<size_t>(text.size(), 7)) >> 8);
    }

    // The memo's text, or null for Empty (no memo). Read through the record
    // cursor's rules: no memo file, or an empty memo, is empty text.
    const std::string* MemoText(uint32_t nSlot) {
        const uint8_t* pRecord = m_fnRecord(nSlot);
        ReadFieldValue(std::span<const uint8_t>(pRecord, m_nRecordLength), m_desc, m_value);
        uint32_t nBlock = 0, nLength = 0;
        if (m_value.GetKind() == FieldKind::MemoRef) nBlock = m_value.GetMemoRef();
        if (m_value.GetKind() == FieldKind::SmtMemoRef) {
            nBlock = m_value.GetSmtMemoRef().nBlock;
            nLength = m_value.GetSmtMemoRef().nLength;
        }
        if (nBlock == 0) return nullptr;
        m_strMemo.clear();
        m_table.ReadMemoText(nBlock, nLength, m_strMemo);
        return &m_strMemo;
    }

    // Within [pBegin, pEnd), sorted by round nRound's key: each run of equal
    // keys that may still differ is sorted further.
    void RefineTies(SortEntry* pBegin, SortEntry* pEnd, int nRound) {
        for (SortEntry* p = pBegin; p < pEnd;) {
            SortEntry* q = p + 1;
            while (q < pEnd && q->nKey == p->nKey) ++q;
            if (q - p > 1 && GoesOn(p->nKey, nRound)) RefineGroup(p, q, nRound + 1);
            p = q;
        }
    }

    void RefineGroup(SortEntry* pBegin, SortEntry* pEnd, int nRound) {
        if (m_eKind == KeyKind::memo) return SortMemoTexts(pBegin, pEnd);
        if (size_t(pEnd - pBegin) < kDirectCompareBelow || nRound >= kMaxKeyRounds)
            return SortTexts(pBegin, pEnd, size_t(nRound) * 8);
        for (SortEntry* p = pBegin; p < pEnd; ++p) p->nKey = Directed(TextChunk(m_fnRecord(p->nSlot), nRound));
        StableSortRange(pBegin, pEnd, KeyLess);
        RefineTies(pBegin, pEnd, nRound);
    }

    // The rest of each text, from nFrom on (the bytes before are equal).
    void SortTexts(SortEntry* pBegin, SortEntry* pEnd, size_t nFrom) {
        auto less = [&](const SortEntry& a, const SortEntry& b) {
            TextSpan ta = FieldText(m_fnRecord(a.nSlot), m_desc, m_eKind);
            TextSpan tb = FieldText(m_fnRecord(b.nSlot), m_desc, m_eKind);
            const int n = CompareText(ta, tb, nFrom);
            return m_bDescending ? n > 0 : n < 0;
        };
        StableSortRange(pBegin, pEnd, less);
    }

    // Memo texts of a tied group, read once each, then compared whole.
    void SortMemoTexts(SortEntry* pBegin, SortEntry* pEnd) {
        std::vector<std::string> texts(size_t(pEnd - pBegin));
        for (SortEntry* p = pBegin; p < pEnd; ++p) {
            if (const std::string* pText = MemoText(p->nSlot)) texts[size_t(p - pBegin)] = *pText;
            p->nKey = uint64_t(p - pBegin);  // the key now indexes the texts
        }
        auto less = [&](const SortEntry& a, const SortEntry& b) {
            const int n = CutAtNul(texts[a.nKey]).compare(CutAtNul(texts[b.nKey]));
            return m_bDescending ? n > 0 : n < 0;
        };
        StableSortRange(pBegin, pEnd, less);
    }

    CDBFTableDef& m_table;
    const DBFFieldDesc& m_desc;
    KeyKind m_eKind;
    bool m_bDescending;
    size_t m_nRecordLength;
    std::function<const uint8_t*(uint32_t)> m_fnRecord;
    FieldValue m_value;
    std::string m_strMemo;
};

void CDBFMemoryCursorset::Sort(int nField, bool bDescending) {
    if (!IsOpen()) return;
    if (nField < 0 || nField >= m_fields.m_nFields) ThrowError(errOutOfRange);
    m_nSortField = nField;
    m_bSortDescending = bDescending;
    DropPending();
    const DBFFieldDesc& desc = m_fields.m_pDesc[nField];
    if (m_visible.size() < 2 || IsBinaryMemoField(desc)) return;

    // The entries take the visible list's place while they are sorted: it
    // is rebuilt from them, even when reading a memo fails half-way.
    std::vector<SortEntry> entries(m_visible.size());
    for (size_t i = 0; i < m_visible.size(); ++i) entries[i] = {0, m_visible[i]};
    std::vector<uint32_t>().swap(m_visible);
    auto rebuild = [&] {
        m_visible.resize(entries.size());
        for (size_t i = 0; i < entries.size(); ++i) m_visible[i] = entries[i].nSlot;
    };
    try {
        CVisibleSorter sorter(*m_pTableDef, desc, bDescending, m_nRecordLength, [this](uint32_t nSlot) { return SlotRecord(nSlot); });
        sorter.Sort(entries);
    } catch (...) {
        rebuild();
        StandOn(m_nCurIndex);
        throw;
    }
    rebuild();
    StandOn(m_nCurIndex);
}

}  // namespace dbf
