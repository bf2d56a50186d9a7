// Decoding table text for dbftool's JSON output.
#include "tools/dbftool/table_text.h"

#include <cstdio>

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
    if (!bOem && !bAnsi) return true;
    // Naming one page of the pair keeps the locale's choice for the other.
    const platform::CodePagePair pair = platform::CodePagePairFromEnvironment();
    if (!bOem) strOem = "CP" + std::to_string(pair.nOem);
    if (!bAnsi) strAnsi = "CP" + std::to_string(pair.nAnsi);
    for (const std::string* pName : {&strOem, &strAnsi}) {
        if (!platform::CCodePage::Find(*pName)) {
            std::fprintf(stderr, "dbftool: '%s' is no single-byte code page\n", pName->c_str());
            return false;
        }
    }
    return platform::SetCodePages(strOem, strAnsi);
}

void CTableText::ChooseFor(const dbf::DBFHeader& header) {
    switch (m_mode) {
    case Mode::automatic: m_bOem = dbf::IsOemTextByDefault(header); break;
    case Mode::oem: m_bOem = true; break;
    case Mode::ansi: m_bOem = false; break;
    }
    const platform::CCodePage& ansi = platform::AnsiCodePage();
    const platform::CCodePageConverter& oemToAnsi = platform::OemToAnsiTable();
    for (int b = 0; b < 256; ++b) {
        const char c = char(m_bOem ? oemToAnsi.Convert(uint8_t(b)) : uint8_t(b));
        std::string strQuoted;
        AppendJsonString(strQuoted, ansi.ToUtf8(std::string_view(&c, 1)));
        m_escaped[b] = strQuoted.substr(1, strQuoted.size() - 2);
        m_bPlain[b] = m_escaped[b].size() == 1 && uint8_t(m_escaped[b][0]) == b;
        m_chars[b] = ansi.ToUnicode(uint8_t(c));
    }
}

std::string CTableText::ToTableText(std::string_view strUtf8) const {
    std::string strText = platform::AnsiCodePage().FromUtf8(strUtf8);
    if (m_bOem) platform::AnsiToOem(strText.data(), strText.size());
    return strText;
}

std::string CTableText::QuoteName(std::string_view strBytes) const {
    std::string strQuoted;
    if (IsValidUtf8(strBytes)) {
        AppendJsonString(strQuoted, strBytes);
        return strQuoted;
    }
    strQuoted = "\"";
    for (char c : strBytes) strQuoted += m_escaped[uint8_t(c)];
    return strQuoted + "\"";
}

}  // namespace dbftool
