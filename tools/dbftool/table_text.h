// How dbftool turns a table's single-byte text into UTF-8 JSON strings: the
// table's text is OEM or ANSI (by the command line or the automatic rule of
// the version byte and code-page mark); OEM text goes through the platform's
// OEM-to-ANSI translation first, as the programs show it, then the ANSI page
// decodes it. Every byte's escaped UTF-8 form is worked out once, so a string
// costs one table look-up per byte.
#pragma once

#include <string>
#include <string_view>

#include "engine/dbf_format.h"
#include "tools/dbftool/commands.h"
#include "tools/dbftool/json_out.h"

namespace dbftool {

// Open flags of every dbftool command that only reads: read only, shared.
constexpr unsigned kReadOnlyShared = 64;

class CTableText {
public:
    // Takes --codepage=auto|oem|ansi, --oem=NAME and --ansi=NAME from args.
    // False (with a message on stderr) when a value is not understood.
    bool TakeOptions(Args& args);
    // Decides, for this table, whether its text is OEM, and builds the byte
    // table.
    void ChooseFor(const dbf::DBFHeader& header);
    bool IsOem() const { return m_bOem; }

    // A JSON string of table text. Runs of bytes that stand for themselves
    // (plain ASCII, mostly) are copied in one go.
    void WriteText(CJsonOut& out, std::string_view strBytes) const {
        out.Raw('"');
        size_t nRun = 0;
        for (size_t i = 0; i < strBytes.size(); ++i) {
            const uint8_t b = uint8_t(strBytes[i]);
            if (m_bPlain[b]) continue;
            out.Raw(strBytes.substr(nRun, i - nRun));
            out.Raw(m_escaped[b]);
            nRun = i + 1;
        }
        out.Raw(strBytes.substr(nRun));
        out.Raw('"');
    }
    // The character a table byte stands for on screen.
    char32_t DisplayChar(uint8_t b) const { return m_chars[b]; }
    // Text given on the command line (UTF-8) as the table's bytes: through
    // the ANSI page, and on to the OEM page for an OEM table.
    std::string ToTableText(std::string_view strUtf8) const;
    // The quoted JSON string of a field name: names that already are UTF-8
    // (plain ASCII above all) stay as they are, others are decoded as text.
    std::string QuoteName(std::string_view strBytes) const;

private:
    enum class Mode { automatic, oem, ansi };
    Mode m_mode = Mode::automatic;
    bool m_bOem = false;
    std::string m_escaped[256];  // escaped UTF-8 of each table byte
    bool m_bPlain[256] = {};     // whether the escaped form is the byte itself
    char32_t m_chars[256] = {};
};

}  // namespace dbftool
