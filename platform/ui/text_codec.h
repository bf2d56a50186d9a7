// How single-byte table text becomes the Unicode a widget shows and back: the
// one place where an edited cell crosses between the table's bytes and Qt.
// A codec names a code page; the default one follows the program's current
// ANSI page (platform/core/code_page.h), so a change of the program's pages
// reaches every editor and every painted cell alike.
#pragma once

#include <string>
#include <string_view>

#include <QString>

#include "platform/core/code_page.h"
#include "platform/ui/draw_context.h"

namespace platform {

class CTextCodec {
public:
    // The program's current ANSI page, looked up at each conversion.
    CTextCodec() = default;
    // A fixed page; nullptr means the current ANSI page.
    explicit CTextCodec(const CCodePage* pPage) : m_pPage(pPage) {}
    // Whole text in a multi-byte encoding ("UTF-8", "CP932"): decoded and
    // encoded a string at a time, never byte by byte, so a character is
    // never split. Bytes that form no character travel as U+F700 + byte.
    static CTextCodec WholeText(std::string strEncoding);
    bool IsWholeText() const { return !m_strWholeText.empty(); }
    const std::string& GetWholeTextEncoding() const { return m_strWholeText; }

    const CCodePage& GetCodePage() const { return m_pPage ? *m_pPage : AnsiCodePage(); }
    // Bytes the page leaves undefined come out as U+F700 + byte and go back
    // to the same byte, so editing a cell never loses one.
    QString ToUnicode(std::string_view strText) const;
    // Characters the page lacks become their nearest look-alike, else '?'
    // (in a whole-text encoding, '?').
    std::string FromUnicode(const QString& strText) const;
    // The same mapping as a draw context's table, so painted and edited text
    // agree; a whole-text codec's contexts decode through ToUnicode instead.
    const CharTable& GetCharTable() const;

    bool operator==(const CTextCodec& other) const {
        return m_pPage == other.m_pPage && m_strWholeText == other.m_strWholeText;
    }

private:
    const CCodePage* m_pPage = nullptr;
    std::string m_strWholeText;
};

// The byte-to-character table of a page, built once per page.
const CharTable& CharTableOf(const CCodePage& page);

}  // namespace platform
