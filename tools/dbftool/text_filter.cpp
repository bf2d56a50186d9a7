// The text filter of dbftool's listing commands.
#include "tools/dbftool/text_filter.h"

#include <clocale>
#include <cstring>
#include <cwctype>

#include "engine/field_copy.h"
#include "engine/field_io.h"
#include "platform/core/table_code_page.h"
#include "platform/core/value_coercion.h"
#include "tools/dbftool/value_text.h"

namespace dbftool {

namespace {

// Unicode lower case through the C.UTF-8 locale, never the process's own;
// plain ASCII folding when the system lacks it.
char32_t Lower(char32_t c) {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (locale) return char32_t(towlower_l(wint_t(c), locale));
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

std::u32string DecodeUtf8(std::string_view str) {
    std::u32string out;
    for (size_t i = 0; i < str.size();) {
        const unsigned char c = static_cast<unsigned char>(str[i]);
        size_t nLen = c < 0x80 ? 1 : (c & 0xE0) == 0xC0 ? 2 : (c & 0xF0) == 0xE0 ? 3 : (c & 0xF8) == 0xF0 ? 4 : 0;
        if (nLen == 0 || i + nLen > str.size()) {
            out.push_back(0xFFFD);
            ++i;
            continue;
        }
        char32_t cp = nLen == 1 ? c : c & (0x7F >> nLen);
        for (size_t k = 1; k < nLen; ++k) cp = (cp << 6) | (static_cast<unsigned char>(str[i + k]) & 0x3F);
        out.push_back(cp);
        i += nLen;
    }
    return out;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

}  // namespace

int FindFieldByName(const dbf::DBFFieldList& fields, std::string_view strName) {
    const int nExact = fields.FindField(strName);
    if (nExact >= 0) return nExact;
    for (int i = 0; i < fields.m_nFields; ++i) {
        const std::string strField = fields.m_pDesc[i].GetName();
        if (strField.size() != strName.size()) continue;
        bool bSame = true;
        for (size_t k = 0; k < strName.size() && bSame; ++k) bSame = AsciiLower(strField[k]) == AsciiLower(strName[k]);
        if (bSame) return i;
    }
    return -1;
}

void CTextFilter::Parse(const std::string& strSpec, const dbf::DBFFieldList& fields, const CTableText& text) {
    std::string strText = strSpec;
    m_nField = -1;
    const size_t nAt = strSpec.rfind('@');
    if (nAt != std::string::npos) {
        const int nField = FindFieldByName(fields, std::string_view(strSpec).substr(nAt + 1));
        if (nField >= 0) {
            m_nField = nField;
            strText = strSpec.substr(0, nAt);
        }
    }
    m_needle.clear();
    for (char32_t c : DecodeUtf8(strText)) m_needle.push_back(Lower(c));
    for (int b = 0; b < 256; ++b) m_fold[b] = Lower(text.DisplayChar(uint8_t(b)));
    m_strWhole = text.GetWholeText();
}

bool CTextFilter::Contains(const uint8_t* p, size_t n) const {
    const size_t nNeedle = m_needle.size();
    if (nNeedle == 0) return true;
    if (!m_strWhole.empty()) {
        // Characters, not bytes: the text is decoded whole and folded.
        std::u32string haystack =
            DecodeUtf8(platform::WholeTextToUtf8(m_strWhole, std::string_view(reinterpret_cast<const char*>(p), n)));
        for (char32_t& c : haystack) c = Lower(c);
        return haystack.find(m_needle) != std::u32string::npos;
    }
    if (n < nNeedle) return false;
    const char32_t cFirst = m_needle[0];
    for (size_t i = 0; i + nNeedle <= n; ++i) {
        if (m_fold[p[i]] != cFirst) continue;
        size_t k = 1;
        while (k < nNeedle && m_fold[p[i + k]] == m_needle[k]) ++k;
        if (k == nNeedle) return true;
    }
    return false;
}

bool CTextFilter::FieldMatches(const uint8_t* pRecord, const dbf::DBFFieldDesc& desc, dbf::CDBFTableDef& table,
                               size_t nRecordLength) const {
    if (desc.type == 'C') {
        // The text as the record cursor reads it, straight from the record.
        const uint8_t* p = pRecord + desc.GetDisplacement();
        size_t n = strnlen(reinterpret_cast<const char*>(p), desc.GetLayoutWidth());
        if (desc.flags != dbf::kFieldFlagBinary)
            while (n > 0 && platform::IsAsciiSpace(char(p[n - 1]))) --n;
        return Contains(p, n);
    }
    if (dbf::IsBinaryMemoField(desc)) return false;
    char buffer[kScalarBuffer];
    std::string_view str;
    if (desc.type == 'D' && FormatDateDigits(pRecord + desc.GetDisplacement(), desc.GetLayoutWidth(), buffer, str)) {
        if (str.empty()) return m_needle.empty();
        return Contains(reinterpret_cast<const uint8_t*>(str.data()), str.size());
    }
    dbf::FieldValue value;
    dbf::ReadFieldValue(std::span<const uint8_t>(pRecord, nRecordLength), desc, value);
    if (desc.type == 'M') {
        uint32_t nBlock = 0, nLength = 0;
        if (value.GetKind() == dbf::FieldKind::MemoRef) nBlock = value.GetMemoRef();
        if (value.GetKind() == dbf::FieldKind::SmtMemoRef) {
            nBlock = value.GetSmtMemoRef().nBlock;
            nLength = value.GetSmtMemoRef().nLength;
        }
        if (nBlock == 0) return m_needle.empty();
        std::string strText;
        table.ReadMemoText(nBlock, nLength, strText);
        return Contains(reinterpret_cast<const uint8_t*>(strText.data()), strText.size());
    }
    if (value.GetKind() == dbf::FieldKind::Text) {
        const std::string& str = value.GetText();
        return Contains(reinterpret_cast<const uint8_t*>(str.data()), str.size());
    }
    if (FormatScalar(desc, value, buffer, str) == ScalarForm::none) return m_needle.empty();
    return Contains(reinterpret_cast<const uint8_t*>(str.data()), str.size());
}

bool CTextFilter::Matches(const uint8_t* pRecord, const dbf::DBFFieldList& fields, dbf::CDBFTableDef& table,
                          size_t nRecordLength) const {
    if (m_nField >= 0) return FieldMatches(pRecord, fields.m_pDesc[m_nField], table, nRecordLength);
    for (int i = 0; i < fields.m_nFields; ++i)
        if (FieldMatches(pRecord, fields.m_pDesc[i], table, nRecordLength)) return true;
    return false;
}

dbf::CDBFMemoryCursorset::Filter CTextFilter::MakePredicate(dbf::CDBFTableDef& table, size_t nRecordLength) const {
    return [filter = *this, &table, nRecordLength](const uint8_t* pRecord, const dbf::DBFFieldList& fields) {
        return filter.Matches(pRecord, fields, table, nRecordLength);
    };
}

}  // namespace dbftool
