// Decoding table text for dbftool's JSON output.
#include "tools/dbftool/table_text.h"

#include <cstdio>

#include "engine/memory_cursorset.h"
#include "engine/table_def.h"
#include "platform/core/code_page.h"

namespace dbftool {

bool CTableText::TakeOptions(Args& args) {
    std::string strMode, strOem, strAnsi;
    if (TakeOption(args, "codepage", strMode)) {
        if (strMode == "auto") {
            m_mode = Mode::automatic;
        } else if (strMode == "oem") {
            m_mode = Mode::oem;
        } else if (strMode == "ansi") {
            m_mode = Mode::ansi;
        } else {
            std::fprintf(stderr, "dbftool: --codepage takes auto, oem or ansi, not '%s'\n", strMode.c_str());
            return false;
        }
    }
    const bool bOem = TakeOption(args, "oem", strOem);
    const bool bAnsi = TakeOption(args, "ansi", strAnsi);
    for (const std::string* pName : {bOem ? &strOem : nullptr, bAnsi ? &strAnsi : nullptr}) {
        if (pName && !platform::CCodePage::Find(*pName)) {
            std::fprintf(stderr, "dbftool: '%s' is no single-byte code page\n", pName->c_str());
            return false;
        }
    }
    m_overrides.strOem = strOem;
    m_overrides.strAnsi = strAnsi;
    return true;
}

void CTableText::ChooseFor(dbf::CDBFTableDef& table) {
    m_pages = dbf::DecideCodePages(table, m_overrides);
    Build();
}

void CTableText::ChooseFor(dbf::CDBFMemoryCursorset& set) {
    m_pages = dbf::DecideCodePages(set, m_overrides);
    Build();
}

void CTableText::Build() {
    m_bOem = m_mode == Mode::automatic ? m_pages.bOemText : m_mode == Mode::oem;
    // Naming a side of the pair reads the text byte by byte in it.
    m_strWhole = m_mode == Mode::automatic ? m_pages.WholeTextEncoding() : std::string();
    const platform::CCodePage& ansi = *m_pages.pAnsi;
    const platform::CCodePageConverter oemToAnsi(*m_pages.pOem, ansi);
    for (int b = 0; b < 256; ++b) {
        const char c = char(m_bOem ? oemToAnsi.Convert(uint8_t(b)) : uint8_t(b));
        std::string strQuoted;
        AppendJsonString(strQuoted, ansi.ToUtf8(std::string_view(&c, 1)));
        m_escaped[b] = strQuoted.substr(1, strQuoted.size() - 2);
        m_bPlain[b] = m_escaped[b].size() == 1 && uint8_t(m_escaped[b][0]) == b;
        if (!m_strWhole.empty()) m_bPlain[b] = b >= 0x20 && b < 0x80 && b != '"' && b != '\\';
        m_chars[b] = ansi.ToUnicode(uint8_t(c));
    }
}

void CTableText::WriteWholeText(CJsonOut& out, std::string_view strBytes, size_t nRun) const {
    out.Raw(strBytes.substr(0, nRun));
    std::string strQuoted;
    AppendJsonString(strQuoted, platform::WholeTextToUtf8(m_strWhole, strBytes.substr(nRun)));
    out.Raw(std::string_view(strQuoted).substr(1));
}

std::string CTableText::ToTableText(std::string_view strUtf8) const {
    if (!m_strWhole.empty()) return platform::WholeTextFromUtf8(m_strWhole, strUtf8);
    std::string strText = m_pages.pAnsi->FromUtf8(strUtf8);
    if (m_bOem) platform::CCodePageConverter(*m_pages.pAnsi, *m_pages.pOem).ConvertInPlace(strText);
    return strText;
}

std::string CTableText::QuoteName(std::string_view strBytes) const {
    std::string strQuoted;
    if (IsValidUtf8(strBytes)) {
        AppendJsonString(strQuoted, strBytes);
        return strQuoted;
    }
    strQuoted.push_back('"');
    for (char c : strBytes) strQuoted += m_escaped[uint8_t(c)];
    strQuoted.push_back('"');
    return strQuoted;
}

}  // namespace dbftool
