// How dbftool turns a table's text into UTF-8 JSON strings and back. The
// table's code pages come from the one rule of the programs
// (dbf::DecideCodePages: the mark, a ".cpg" file, a sample of the text),
// with --oem/--ansi overriding the pair and --codepage=oem|ansi saying which
// side of it the text is in. Single-byte OEM text goes through the pair's
// OEM-to-ANSI translation first, as the programs show it, then the ANSI page
// decodes it; every byte's escaped UTF-8 form is worked out once, so a string
// costs one table look-up per byte. UTF-8 text and other multi-byte pages
// are decoded whole.
#pragma once

#include <string>
#include <string_view>

#include "engine/table_code_pages.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/json_out.h"

namespace dbf {
class CDBFTableDef;
class CDBFMemoryCursorset;
}  // namespace dbf

namespace dbftool {

// Open flags of every dbftool command that only reads: read only, shared.
constexpr unsigned kReadOnlyShared = 64;

class CTableText {
public:
    // Takes --codepage=auto|oem|ansi, --oem=NAME and --ansi=NAME from args.
    // False (with a message on stderr) when a value is not understood.
    bool TakeOptions(Args& args);
    // Decides this table's code pages and builds the byte table.
    void ChooseFor(dbf::CDBFTableDef& table);
    void ChooseFor(dbf::CDBFMemoryCursorset& set);
    bool IsOem() const { return m_bOem; }
    const platform::TableCodePages& GetPages() const { return m_pages; }
    // The encoding of whole text ("UTF-8", "CP932"), or empty.
    const std::string& GetWholeText() const { return m_strWhole; }

    // A JSON string of table text. Runs of bytes that stand for themselves
    // (plain ASCII, mostly) are copied in one go.
    void WriteText(CJsonOut& out, std::string_view strBytes) const {
        out.Raw('"');
        size_t nRun = 0;
        for (size_t i = 0; i < strBytes.size(); ++i) {
            const uint8_t b = uint8_t(strBytes[i]);
            if (m_bPlain[b]) continue;
            if (!m_strWhole.empty()) return WriteWholeText(out, strBytes, i);
            out.Raw(strBytes.substr(nRun, i - nRun));
            out.Raw(m_escaped[b]);
            nRun = i + 1;
        }
        out.Raw(strBytes.substr(nRun));
        out.Raw('"');
    }
    // The character a table byte stands for on screen (single-byte text).
    char32_t DisplayChar(uint8_t b) const { return m_chars[b]; }
    // Text given on the command line (UTF-8) as the table's bytes: through
    // the ANSI page, and on to the OEM page for an OEM table; whole text
    // through its encoding.
    std::string ToTableText(std::string_view strUtf8) const;
    // The quoted JSON string of a field name: names that already are UTF-8
    // (plain ASCII above all) stay as they are, others are decoded as text.
    std::string QuoteName(std::string_view strBytes) const;

private:
    enum class Mode { automatic, oem, ansi };
    void Build();
    // The rest of a string of whole text from nRun on, closing quote included.
    void WriteWholeText(CJsonOut& out, std::string_view strBytes, size_t nRun) const;

    Mode m_mode = Mode::automatic;
    dbf::CodePageOverrides m_overrides;
    platform::TableCodePages m_pages;
    bool m_bOem = false;
    std::string m_strWhole;
    std::string m_escaped[256];  // escaped UTF-8 of each table byte
    bool m_bPlain[256] = {};     // whether the escaped form is the byte itself
    char32_t m_chars[256] = {};
};

}  // namespace dbftool
