// Code pages over glibc iconv: byte tables, look-alikes, the OEM/ANSI pair of
// the user's locale.
#include "platform/core/code_page.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "platform/core/user_locale.h"

namespace platform {

namespace {

// Arabic DOS (720), which glibc does not carry: the upper half; 0 = undefined.
const char16_t kCp720Upper[128] = {
    0,      0,      0x00E9, 0x00E2, 0,      0x00E0, 0,      0x00E7, 0x00EA, 0x00EB, 0x00E8, 0x00EF, 0x00EE, 0,      0,      0,
    0,      0x0651, 0x0652, 0x00F4, 0x00A4, 0x0640, 0x00FB, 0x00F9, 0x0621, 0x0622, 0x0623, 0x0624, 0x00A3, 0x0625, 0x0626, 0x0627,
    0x0628, 0x0629, 0x062A, 0x062B, 0x062C, 0x062D, 0x062E, 0x062F, 0x0630, 0x0631, 0x0632, 0x0633, 0x0634, 0x0635, 0x00AB, 0x00BB,
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556, 0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F, 0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B, 0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,
    0x0636, 0x0637, 0x0638, 0x0639, 0x063A, 0x0641, 0x00B5, 0x0642, 0x0643, 0x0644, 0x0645, 0x0646, 0x0647, 0x0648, 0x0649, 0x064A,
    0x2261, 0x064B, 0x064C, 0x064D, 0x064E, 0x064F, 0x0650, 0x2248, 0x00B0, 0x2219, 0x00B7, 0x221A, 0x207F, 0x00B2, 0x25A0, 0x00A0,
};

// Bare letters of U+00C0-U+017F, for targets without the accented letter.
const char kLatin1Bare[] = "AAAAAAACEEEEIIIIDNOOOOOxOUUUUYPsaaaaaaaceeeeiiiidnooooo?ouuuuypy";
const char kLatinExtABare[] =
    "AaAaAaCcCcCcCcDdDdEeEeEeEeEeGgGgGgGgHhHhIiIiIiIiIiIiJjKkkLlLlLlLlLlNnNnNnnNnOoOoOoOoRrRrRrSsSsSsSsTtTtTtUuUuUuUuUuUuWwYyYZzZzZzs";
static_assert(sizeof kLatin1Bare == 65 && sizeof kLatinExtABare == 129);

// Simple substitutions: a character and the look-alikes to try in order.
struct LookAlike {
    char32_t c;
    char32_t alt[3];
};
const LookAlike kLookAlikes[] = {
    // quotes, dashes, dots
    {0x2018, {'\''}}, {0x2019, {'\''}}, {0x201A, {'\''}}, {0x201B, {'\''}}, {0x00B4, {'\''}},
    {0x201C, {'"'}}, {0x201D, {'"'}}, {0x201E, {'"'}}, {0x00AB, {'"'}}, {0x00BB, {'"'}}, {0x00A8, {'"'}},
    {0x2039, {'<'}}, {0x203A, {'>'}},
    {0x2010, {'-'}}, {0x2011, {'-'}}, {0x2012, {'-'}}, {0x2013, {'-'}}, {0x2014, {'-'}}, {0x2015, {'-'}},
    {0x00AD, {'-'}}, {0x00AF, {'-'}},
    {0x2026, {'.'}}, {0x2022, {0x00B7, 0x2219, '*'}}, {0x00B7, {0x2219, '.'}}, {0x2219, {0x00B7, '.'}},
    {0x00A0, {' '}}, {0x00A6, {'|'}}, {0x2020, {'+'}}, {0x2021, {'+'}}, {0x00B8, {','}}, {0x02C6, {'^'}},
    {0x02DC, {'~'}}, {0x2030, {'%'}},
    // symbols
    {0x00A9, {'C'}}, {0x00AE, {'R'}}, {0x00B2, {'2'}}, {0x00B3, {'3'}}, {0x00B9, {'1'}}, {0x00D7, {'x'}},
    {0x00F7, {'/'}}, {0x20AC, {'E'}}, {0x00A3, {'L'}}, {0x00A5, {'Y'}}, {0x00A2, {'c'}}, {0x0192, {'f'}},
    {0x00B5, {0x03BC, 'u'}}, {0x03BC, {0x00B5, 'u'}}, {0x00DF, {0x03B2, 's'}}, {0x03B2, {0x00DF}},
    {0x2126, {0x03A9}}, {0x03A9, {0x2126}}, {0x2116, {'N'}}, {0x2264, {'<'}}, {0x2265, {'>'}},
    {0x2248, {'~'}}, {0x2261, {'='}}, {0x221A, {'v'}}, {0x207F, {'n'}}, {0x00B1, {'+'}},
    {0x2190, {'<'}}, {0x2191, {'^'}}, {0x2192, {'>'}}, {0x2193, {'v'}},
    {0x25B2, {'^'}}, {0x25BA, {'>'}}, {0x25BC, {'v'}}, {0x25C4, {'<'}},
    {0x2580, {'#'}}, {0x2584, {'#'}}, {0x2588, {'#'}}, {0x258C, {'#'}}, {0x2590, {'#'}},
    {0x2591, {'#'}}, {0x2592, {'#'}}, {0x2593, {'#'}}, {0x25A0, {'#'}},
    // Greek with tonos or dialytika
    {0x0386, {0x0391}}, {0x0388, {0x0395}}, {0x0389, {0x0397}}, {0x038A, {0x0399}}, {0x038C, {0x039F}},
    {0x038E, {0x03A5}}, {0x038F, {0x03A9}}, {0x0390, {0x03CA, 0x03B9}}, {0x03AA, {0x0399}}, {0x03AB, {0x03A5}},
    {0x03AC, {0x03B1}}, {0x03AD, {0x03B5}}, {0x03AE, {0x03B7}}, {0x03AF, {0x03B9}}, {0x03B0, {0x03CB, 0x03C5}},
    {0x03CA, {0x03B9}}, {0x03CB, {0x03C5}}, {0x03CC, {0x03BF}}, {0x03CD, {0x03C5}}, {0x03CE, {0x03C9}},
    // Cyrillic letters of other languages
    {0x0401, {0x0415}}, {0x0451, {0x0435}}, {0x0406, {'I'}}, {0x0456, {'i'}}, {0x0407, {0x0406, 'I'}},
    {0x0457, {0x0456, 'i'}}, {0x0408, {'J'}}, {0x0458, {'j'}}, {0x0405, {'S'}}, {0x0455, {'s'}},
    {0x0490, {0x0413}}, {0x0491, {0x0433}}, {0x0403, {0x0413}}, {0x0453, {0x0433}}, {0x040C, {0x041A}},
    {0x045C, {0x043A}}, {0x040E, {0x0423}}, {0x045E, {0x0443}},
    // Persian and Urdu letters, Arabic punctuation
    {0x067E, {0x0628}}, {0x0686, {0x062C}}, {0x0698, {0x0632}}, {0x06AF, {0x0643}}, {0x06A9, {0x0643}},
    {0x06CC, {0x064A}}, {0x06BE, {0x0647}}, {0x06C1, {0x0647}}, {0x06C0, {0x0647}}, {0x06D2, {0x064A}},
    {0x0688, {0x062F}}, {0x0679, {0x062A}}, {0x06BA, {0x0646}}, {0x0691, {0x0631}},
    {0x060C, {','}}, {0x061B, {';'}}, {0x061F, {'?'}},
};

// Look-alikes of a character, best first; count returned.
int LookAlikesOf(char32_t c, char32_t* pOut) {
    int n = 0;
    if (c >= 0x00C0 && c <= 0x00FF && kLatin1Bare[c - 0xC0] != '?') {
        pOut[n++] = char32_t(kLatin1Bare[c - 0xC0]);
    } else if (c >= 0x0100 && c <= 0x017F) {
        pOut[n++] = char32_t(kLatinExtABare[c - 0x100]);
    } else if (c >= 0x2500 && c <= 0x257F) {
        // Box drawing: double and rounded lines to single ones, then ASCII.
        static const char32_t kSingle[] = {0x250C, 0x2510, 0x2514, 0x2518, 0x251C, 0x2524, 0x252C, 0x2534, 0x253C};
        static const char32_t kArcs[] = {0x250C, 0x2510, 0x2518, 0x2514};
        const bool bHorizontal = c == 0x2500 || c == 0x2501 || c == 0x2504 || c == 0x2505 || c == 0x2508 ||
                                 c == 0x2509 || c == 0x254C || c == 0x254D || c == 0x2550 ||
                                 (c >= 0x2574 && c % 2 == 0);
        const bool bVertical = c == 0x2502 || c == 0x2503 || c == 0x2506 || c == 0x2507 || c == 0x250A ||
                               c == 0x250B || c == 0x254E || c == 0x254F || c == 0x2551 || (c >= 0x2575 && c % 2 == 1);
        if (c == 0x2571) pOut[n++] = '/';
        else if (c == 0x2572) pOut[n++] = '\\';
        else if (c == 0x2573) pOut[n++] = 'X';
        else if (bHorizontal) pOut[n++] = 0x2500, pOut[n++] = '-';
        else if (bVertical) pOut[n++] = 0x2502, pOut[n++] = '|';
        else {
            if (c >= 0x2552 && c <= 0x256C) pOut[n++] = kSingle[(c - 0x2552) / 3];
            else if (c >= 0x256D && c <= 0x2570) pOut[n++] = kArcs[c - 0x256D];
            pOut[n++] = '+';
        }
    }
    for (const auto& l : kLookAlikes) {
        if (l.c != c) continue;
        for (char32_t a : l.alt)
            if (a) pOut[n++] = a;
        break;
    }
    return n;
}

// The number of a Windows code-page name ("CP866", "866", "IBM866",
// "WINDOWS-1251"); 0 when the name is not of that form.
int NumberOfName(const std::string& strUpper) {
    std::string_view s(strUpper);
    for (std::string_view strPrefix : {"WINDOWS-", "CP", "IBM", "MS"})
        if (s.substr(0, strPrefix.size()) == strPrefix) {
            s.remove_prefix(strPrefix.size());
            break;
        }
    if (s.empty() || s.size() > 5) return 0;
    int n = 0;
    for (char c : s) {
        if (c < '0' || c > '9') return 0;
        n = n * 10 + (c - '0');
    }
    return n;
}

}  // namespace

void AppendUtf8Char(std::string& str, char32_t c) {
    if (c < 0x80) {
        str += char(c);
    } else if (c < 0x800) {
        str += char(0xC0 | (c >> 6));
        str += char(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        str += char(0xE0 | (c >> 12));
        str += char(0x80 | ((c >> 6) & 0x3F));
        str += char(0x80 | (c & 0x3F));
    } else {
        str += char(0xF0 | (c >> 18));
        str += char(0x80 | ((c >> 12) & 0x3F));
        str += char(0x80 | ((c >> 6) & 0x3F));
        str += char(0x80 | (c & 0x3F));
    }
}

bool DecodeUtf8Char(std::string_view s, size_t& i, char32_t& c) {
    auto b = [&](size_t k) { return static_cast<unsigned char>(s[k]); };
    unsigned char b0 = b(i);
    if (b0 < 0x80) {
        c = b0;
        ++i;
        return true;
    }
    int nMore = b0 >= 0xC2 && b0 <= 0xDF ? 1 : b0 >= 0xE0 && b0 <= 0xEF ? 2 : b0 >= 0xF0 && b0 <= 0xF4 ? 3 : -1;
    if (nMore < 0 || i + size_t(nMore) >= s.size()) {
        ++i;
        return false;
    }
    char32_t v = b0 & (0x3F >> nMore);
    for (int k = 1; k <= nMore; ++k) {
        if ((b(i + size_t(k)) & 0xC0) != 0x80) {
            ++i;
            return false;
        }
        v = (v << 6) | (b(i + size_t(k)) & 0x3F);
    }
    static const char32_t kMin[] = {0, 0x80, 0x800, 0x10000};
    if (v < kMin[nMore] || v > 0x10FFFF || (v >= 0xD800 && v <= 0xDFFF)) {
        ++i;
        return false;
    }
    c = v;
    i += size_t(nMore) + 1;
    return true;
}

// ---- The registry of loaded pages ----

class CCodePageRegistry {
public:
    static CCodePageRegistry& Instance() {
        static CCodePageRegistry registry;
        return registry;
    }

    const CCodePage* Find(std::string_view strName) {
        std::string strUpper;
        for (char c : strName)
            if (!IsAsciiSpaceChar(c)) strUpper += char(c >= 'a' && c <= 'z' ? c - 32 : c);
        if (strUpper.empty()) return nullptr;
        std::lock_guard<std::mutex> lock(m_mutex);
        if (auto it = m_byRequest.find(strUpper); it != m_byRequest.end()) return it->second;
        const CCodePage* pPage = LoadLocked(strUpper);
        m_byRequest[strUpper] = pPage;
        return pPage;
    }

    const CCodePageConverter& Converter(const CCodePage& from, const CCodePage& to) {
        std::lock_guard<std::mutex> lock(m_mutex);
        auto& p = m_converters[{&from, &to}];
        if (!p) p = std::make_unique<CCodePageConverter>(from, to);
        return *p;
    }

private:
    static bool IsAsciiSpaceChar(char c) { return c == ' ' || c == '\t'; }

    const CCodePage* Adopt(std::unique_ptr<CCodePage> p) {
        if (!p) return nullptr;
        auto& slot = m_byIconvName[p->m_strName];
        if (!slot) slot = std::move(p);
        return slot.get();
    }

    const CCodePage* LoadLocked(const std::string& strUpper) {
        int nNumber = NumberOfName(strUpper);
        std::vector<std::string> candidates;
        if (nNumber == 720) return Adopt(BuiltIn720());
        if (nNumber >= 1250 && nNumber <= 1258) candidates = {"CP" + std::to_string(nNumber)};
        else if (nNumber > 0) candidates = {"CP" + std::to_string(nNumber), "IBM" + std::to_string(nNumber)};
        else candidates = {strUpper};
        if (strUpper == "ISO-8859-1" || strUpper == "LATIN1") return Adopt(BuiltInLatin1());
        for (const auto& strIconv : candidates) {
            if (auto it = m_byIconvName.find(strIconv); it != m_byIconvName.end()) return it->second.get();
            if (auto p = CCodePage::Load(strIconv, nNumber)) return Adopt(std::move(p));
        }
        return nullptr;
    }

    static std::unique_ptr<CCodePage> BuiltIn720() {
        std::unique_ptr<CCodePage> p(new CCodePage());
        p->m_strName = "CP720";
        p->m_nNumber = 720;
        for (int b = 0; b < 256; ++b) {
            char32_t c = b < 0x80 ? char32_t(b) : char32_t(kCp720Upper[b - 0x80]);
            p->m_defined[b] = b < 0x80 || c != 0;
            p->m_toUnicode[b] = p->m_defined[b] ? c : kUndefinedBase + char32_t(b);
        }
        p->BuildReverse();
        return p;
    }

    // The last resort when iconv has no pages at all: every byte is the
    // character of the same number.
    static std::unique_ptr<CCodePage> BuiltInLatin1() {
        std::unique_ptr<CCodePage> p(new CCodePage());
        p->m_strName = "ISO-8859-1";
        for (int b = 0; b < 256; ++b) {
            p->m_defined[b] = true;
            p->m_toUnicode[b] = char32_t(b);
        }
        p->BuildReverse();
        return p;
    }

    std::mutex m_mutex;
    std::map<std::string, const CCodePage*> m_byRequest;
    std::map<std::string, std::unique_ptr<CCodePage>> m_byIconvName;
    std::map<std::pair<const CCodePage*, const CCodePage*>, std::unique_ptr<CCodePageConverter>> m_converters;
};

// ---- CCodePage ----

const CCodePage* CCodePage::Find(std::string_view strName) { return CCodePageRegistry::Instance().Find(strName); }

std::unique_ptr<CCodePage> CCodePage::Load(const std::string& strIconvName, int nNumber) {
    iconv_t cd = iconv_open("UTF-32LE", strIconvName.c_str());
    if (cd == iconv_t(-1)) return nullptr;
    std::unique_ptr<CCodePage> p(new CCodePage());
    p->m_strName = strIconvName;
    p->m_nNumber = nNumber;
    bool bSingleByte = true;
    for (int b = 0; b < 256 && bSingleByte; ++b) {
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        char cIn = char(b);
        char* pIn = &cIn;
        size_t nInLeft = 1;
        unsigned char out[32];
        char* pOut = reinterpret_cast<char*>(out);
        size_t nOutLeft = sizeof out;
        size_t r = iconv(cd, &pIn, &nInLeft, &pOut, &nOutLeft);
        if (r == size_t(-1) && errno == EINVAL) bSingleByte = false;  // a lead byte
        bool bOk = r != size_t(-1);
        // Pages with combining letters (CP1258) hold a letter back until the
        // next one; flushing releases it.
        if (bOk) iconv(cd, nullptr, nullptr, &pOut, &nOutLeft);
        size_t nBytes = sizeof out - nOutLeft;
        p->m_defined[b] = bOk && nBytes >= 4;
        p->m_toUnicode[b] =
            p->m_defined[b] ? char32_t(out[0] | (out[1] << 8) | (out[2] << 16) | (char32_t(out[3]) << 24))
                            : kUndefinedBase + char32_t(b);
    }
    iconv_close(cd);
    if (!bSingleByte) return nullptr;
    p->BuildReverse();
    return p;
}

void CCodePage::BuildReverse() {
    m_nSorted = 0;
    for (int b = 0; b < 256; ++b)
        if (m_defined[b]) m_sorted[m_nSorted++] = Entry{m_toUnicode[b], uint8_t(b)};
    // Stable, so that a character of two bytes maps back to the lower one.
    std::stable_sort(m_sorted, m_sorted + m_nSorted, [](const Entry& a, const Entry& b) { return a.c < b.c; });
}

bool CCodePage::FindExact(char32_t c, uint8_t& b) const {
    const Entry* pEnd = m_sorted + m_nSorted;
    const Entry* p = std::lower_bound(m_sorted, pEnd, c, [](const Entry& e, char32_t v) { return e.c < v; });
    if (p == pEnd || p->c != c) return false;
    b = p->b;
    return true;
}

bool CCodePage::Contains(char32_t c) const {
    uint8_t b;
    return FindExact(c, b);
}

uint8_t CCodePage::FromUnicode(char32_t c) const {
    uint8_t b;
    if (FindExact(c, b)) return b;
    if (c >= kUndefinedBase && c < kUndefinedBase + 256 && !m_defined[c - kUndefinedBase])
        return uint8_t(c - kUndefinedBase);
    char32_t alternatives[8];
    int n = LookAlikesOf(c, alternatives);
    for (int i = 0; i < n; ++i)
        if (FindExact(alternatives[i], b)) return b;
    return '?';
}

std::string CCodePage::ToUtf8(std::string_view strText) const {
    std::string str;
    str.reserve(strText.size());
    for (char ch : strText) AppendUtf8Char(str, m_toUnicode[uint8_t(ch)]);
    return str;
}

std::string CCodePage::FromUtf8(std::string_view strUtf8) const {
    std::string str;
    str.reserve(strUtf8.size());
    for (size_t i = 0; i < strUtf8.size();) {
        char32_t c;
        str += DecodeUtf8Char(strUtf8, i, c) ? char(FromUnicode(c)) : '?';
    }
    return str;
}

// ---- CCodePageConverter ----

CCodePageConverter::CCodePageConverter(const CCodePage& from, const CCodePage& to) {
    for (int b = 0; b < 256; ++b) {
        if (&from == &to) m_table[b] = uint8_t(b);
        else if (!from.IsDefined(uint8_t(b))) m_table[b] = '?';
        else m_table[b] = to.FromUnicode(from.ToUnicode(uint8_t(b)));
    }
}

// ---- The pair of the locale ----

CodePagePair CodePagePairForLocale(std::string_view strLocaleName) {
    std::string strLanguage, strTerritory;
    SplitLocaleName(strLocaleName, strLanguage, strTerritory);
    const bool bLatinScript = strLocaleName.find("@latin") != std::string_view::npos;
    const bool bCyrillicScript = strLocaleName.find("@cyrillic") != std::string_view::npos;
    auto is = [&](std::initializer_list<const char*> languages) {
        for (const char* psz : languages)
            if (strLanguage == psz) return true;
        return false;
    };
    if (strLanguage == "en") {
        bool bUs = strTerritory.empty() || strTerritory == "US";
        bool bEuropean = strTerritory == "GB" || strTerritory == "IE" || strTerritory == "AU" ||
                         strTerritory == "NZ" || strTerritory == "CA";
        return {bUs || !bEuropean ? 437 : 850, 1252};
    }
    if (is({"de", "fr", "it", "es", "pt", "nl", "da", "sv", "fi", "nb", "nn", "no", "is", "ca", "eu", "gl", "af",
            "ga", "gd", "cy", "br", "oc", "lb", "fo", "fy", "id", "ms", "sw", "rm", "wa", "an", "ast", "kl", "zu",
            "xh", "tl", "fil"}))
        return {850, 1252};
    if (strLanguage == "sr") return bLatinScript ? CodePagePair{852, 1250} : CodePagePair{855, 1251};
    if (strLanguage == "uz") return bCyrillicScript ? CodePagePair{866, 1251} : CodePagePair{857, 1254};
    if (strLanguage == "az") return bCyrillicScript ? CodePagePair{866, 1251} : CodePagePair{857, 1254};
    if (is({"pl", "cs", "sk", "hu", "sl", "hr", "ro", "sq", "bs", "hsb", "dsb"})) return {852, 1250};
    if (is({"ru", "uk", "be", "bg", "mk", "kk", "ky", "tt", "mn", "tg", "ba", "cv", "os", "sah"})) return {866, 1251};
    if (strLanguage == "el") return {737, 1253};
    if (strLanguage == "tr" || strLanguage == "tk") return {857, 1254};
    if (is({"lt", "lv", "et"})) return {775, 1257};
    if (is({"he", "iw", "yi"})) return {862, 1255};
    if (is({"ar", "fa", "ur", "ps", "ug", "sd", "ckb"})) return {720, 1256};
    if (strLanguage == "th") return {874, 874};
    if (strLanguage == "vi") return {1258, 1258};
    return {437, 1252};
}

CodePagePair CodePagePairFromEnvironment() {
    for (const char* pszVar : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* psz = std::getenv(pszVar);
        if (psz && *psz) return CodePagePairForLocale(psz);
    }
    return CodePagePairForLocale("C");
}

// ---- The current pair ----

namespace {

struct CurrentPages {
    const CCodePage* pOem = nullptr;
    const CCodePage* pAnsi = nullptr;
    const CCodePageConverter* pOemToAnsi = nullptr;
    const CCodePageConverter* pAnsiToOem = nullptr;
    bool bExplicit = false;
};

CurrentPages& Current() {
    static CurrentPages current;
    return current;
}

void Install(const CCodePage& oem, const CCodePage& ansi, bool bExplicit) {
    CurrentPages& c = Current();
    c.pOem = &oem;
    c.pAnsi = &ansi;
    c.pOemToAnsi = &CCodePageRegistry::Instance().Converter(oem, ansi);
    c.pAnsiToOem = &CCodePageRegistry::Instance().Converter(ansi, oem);
    c.bExplicit = bExplicit;
}

const CurrentPages& Ensure() {
    CurrentPages& c = Current();
    if (c.pOem) return c;
    CodePagePair pair = CodePagePairFromEnvironment();
    const CCodePage* pOem = CCodePage::Find(std::to_string(pair.nOem));
    const CCodePage* pAnsi = CCodePage::Find(std::to_string(pair.nAnsi));
    if (!pOem || !pAnsi) {
        pOem = CCodePage::Find("437");
        pAnsi = CCodePage::Find("1252");
    }
    if (!pOem || !pAnsi) pOem = pAnsi = CCodePage::Find("ISO-8859-1");
    Install(*pOem, *pAnsi, false);
    return c;
}

}  // namespace

bool SetCodePages(std::string_view strOem, std::string_view strAnsi) {
    const CCodePage* pOem = CCodePage::Find(strOem);
    const CCodePage* pAnsi = CCodePage::Find(strAnsi);
    if (!pOem || !pAnsi) return false;
    Install(*pOem, *pAnsi, true);
    return true;
}

void ResetCodePages() { Current() = CurrentPages(); }

const CCodePage& OemCodePage() { return *Ensure().pOem; }
const CCodePage& AnsiCodePage() { return *Ensure().pAnsi; }
const CCodePageConverter& OemToAnsiTable() { return *Ensure().pOemToAnsi; }
const CCodePageConverter& AnsiToOemTable() { return *Ensure().pAnsiToOem; }

CScopedCodePages::CScopedCodePages(std::string_view strOem, std::string_view strAnsi)
    : m_strOldOem(OemCodePage().GetName()), m_strOldAnsi(AnsiCodePage().GetName()), m_bWasSet(Current().bExplicit) {
    m_bValid = SetCodePages(strOem, strAnsi);
}

CScopedCodePages::~CScopedCodePages() {
    if (m_bWasSet) SetCodePages(m_strOldOem, m_strOldAnsi);
    else ResetCodePages();
}

}  // namespace platform
