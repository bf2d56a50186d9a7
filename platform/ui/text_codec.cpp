// Conversions between table bytes and widget text through a code page.
#include "platform/ui/text_codec.h"

#include <map>
#include <memory>
#include <mutex>

#include "platform/core/table_code_page.h"

namespace platform {

const CharTable& CharTableOf(const CCodePage& page) {
    // Pages live as long as the program, so their address is a lasting key.
    static std::mutex s_mutex;
    static std::map<const CCodePage*, std::unique_ptr<CharTable>> s_tables;
    std::lock_guard<std::mutex> lock(s_mutex);
    std::unique_ptr<CharTable>& pTable = s_tables[&page];
    if (!pTable) {
        pTable = std::make_unique<CharTable>();
        for (int b = 0; b < 256; ++b) {
            char32_t c = page.ToUnicode(static_cast<uint8_t>(b));
            // Single-byte pages map into the basic plane; anything else would
            // be a broken page, shown as the replacement character.
            (*pTable)[static_cast<size_t>(b)] = c <= 0xFFFF ? static_cast<char16_t>(c) : u'\uFFFD';
        }
    }
    return *pTable;
}

CTextCodec CTextCodec::WholeText(std::string strEncoding) {
    CTextCodec codec;
    codec.m_strWholeText = std::move(strEncoding);
    return codec;
}

QString CTextCodec::ToUnicode(std::string_view strText) const {
    if (IsWholeText())
        return QString::fromStdString(WholeTextToUtf8(m_strWholeText, strText));
    return DecodeText(strText, &GetCharTable());
}

std::string CTextCodec::FromUnicode(const QString& strText) const {
    if (IsWholeText())
        return WholeTextFromUtf8(m_strWholeText, strText.toStdString());
    const CCodePage& page = GetCodePage();
    std::string str;
    str.reserve(static_cast<size_t>(strText.size()));
    for (qsizetype i = 0; i < strText.size(); ++i) {
        char32_t c = strText.at(i).unicode();
        if (QChar::isHighSurrogate(c) && i + 1 < strText.size() && strText.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(static_cast<char16_t>(c), strText.at(i + 1).unicode());
            ++i;
        }
        str += static_cast<char>(page.FromUnicode(c));
    }
    return str;
}

const CharTable& CTextCodec::GetCharTable() const { return CharTableOf(GetCodePage()); }

}  // namespace platform
