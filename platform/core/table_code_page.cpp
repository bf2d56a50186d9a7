// The code-page rule of a table: marks, ".cpg" files, the UTF-8 sample and
// the decision, and the whole-text helpers for UTF-8 and double-byte pages.
#include "platform/core/table_code_page.h"

#include <iconv.h>

#include <cerrno>
#include <cstdio>
#include <map>
#include <memory>

#include "platform/core/file.h"
#include "platform/core/file_names.h"


namespace platform {

namespace {

// The published language-driver marks. A DOS mark names the OEM page and the
// Windows page of the same language completes the pair; a Windows mark the
// other way round.
const CodePageMarkInfo kMarks[] = {
    {0x01, "CP437", true, 437, 1252, false, false, "US DOS"},
    {0x02, "CP850", true, 850, 1252, false, false, "International DOS"},
    {0x03, "CP1252", false, 850, 1252, false, false, "Western European Windows"},
    {0x04, "MACINTOSH", false, 0, 0, false, false, "Macintosh Roman"},
    {0x08, "CP865", true, 865, 1252, false, false, "Nordic DOS"},
    {0x09, "CP437", true, 437, 1252, false, false, "Dutch DOS"},
    {0x0A, "CP850", true, 850, 1252, false, false, "Dutch DOS"},
    {0x0B, "CP437", true, 437, 1252, false, false, "Finnish DOS"},
    {0x0D, "CP437", true, 437, 1252, false, false, "French DOS"},
    {0x0E, "CP850", true, 850, 1252, false, false, "French DOS"},
    {0x0F, "CP437", true, 437, 1252, false, false, "German DOS"},
    {0x10, "CP850", true, 850, 1252, false, false, "German DOS"},
    {0x11, "CP437", true, 437, 1252, false, false, "Italian DOS"},
    {0x12, "CP850", true, 850, 1252, false, false, "Italian DOS"},
    {0x13, "CP932", false, 0, 0, true, false, "Japanese"},
    {0x14, "CP850", true, 850, 1252, false, false, "Spanish DOS"},
    {0x15, "CP437", true, 437, 1252, false, false, "Swedish DOS"},
    {0x16, "CP850", true, 850, 1252, false, false, "Swedish DOS"},
    {0x17, "CP865", true, 865, 1252, false, false, "Norwegian DOS"},
    {0x18, "CP437", true, 437, 1252, false, false, "Spanish DOS"},
    {0x19, "CP437", true, 437, 1252, false, false, "English DOS"},
    {0x1A, "CP850", true, 850, 1252, false, false, "English DOS"},
    {0x1B, "CP437", true, 437, 1252, false, false, "US DOS"},
    {0x1C, "CP863", true, 863, 1252, false, false, "French Canadian DOS"},
    {0x1D, "CP850", true, 850, 1252, false, false, "French DOS"},
    {0x1F, "CP852", true, 852, 1250, false, false, "Czech DOS"},
    {0x22, "CP852", true, 852, 1250, false, false, "Hungarian DOS"},
    {0x23, "CP852", true, 852, 1250, false, false, "Polish DOS"},
    {0x24, "CP860", true, 860, 1252, false, false, "Portuguese DOS"},
    {0x25, "CP850", true, 850, 1252, false, false, "Portuguese DOS"},
    {0x26, "CP866", true, 866, 1251, false, false, "Russian DOS"},
    {0x37, "CP850", true, 850, 1252, false, false, "US DOS"},
    {0x40, "CP852", true, 852, 1250, false, false, "Romanian DOS"},
    {0x4D, "CP936", false, 0, 0, true, false, "Simplified Chinese"},
    {0x4E, "CP949", false, 0, 0, true, false, "Korean"},
    {0x4F, "CP950", false, 0, 0, true, false, "Traditional Chinese"},
    {0x50, "CP874", false, 874, 874, false, false, "Thai"},
    {0x57, "CP1252", false, 850, 1252, false, false, "Western European Windows"},
    {0x58, "CP1252", false, 850, 1252, false, false, "Western European Windows"},
    {0x59, "CP1252", false, 850, 1252, false, false, "Spanish Windows"},
    {0x64, "CP852", true, 852, 1250, false, false, "Central European DOS"},
    {0x65, "CP866", true, 866, 1251, false, false, "Russian DOS"},
    {0x66, "CP865", true, 865, 1252, false, false, "Nordic DOS"},
    {0x67, "CP861", true, 861, 1252, false, false, "Icelandic DOS"},
    {0x68, nullptr, true, 0, 0, false, true, "Kamenicky, Czech DOS"},
    {0x69, nullptr, true, 0, 0, false, true, "Mazovia, Polish DOS"},
    {0x6A, "CP737", true, 737, 1253, false, false, "Greek DOS"},
    {0x6B, "CP857", true, 857, 1254, false, false, "Turkish DOS"},
    {0x78, "CP950", false, 0, 0, true, false, "Traditional Chinese"},
    {0x79, "CP949", false, 0, 0, true, false, "Korean"},
    {0x7A, "CP936", false, 0, 0, true, false, "Simplified Chinese"},
    {0x7B, "CP932", false, 0, 0, true, false, "Japanese"},
    {0x7C, "CP874", false, 874, 874, false, false, "Thai"},
    {0x7D, "CP1255", false, 862, 1255, false, false, "Hebrew Windows"},
    {0x7E, "CP1256", false, 864, 1256, false, false, "Arabic Windows"},
    {0x96, "MAC-CYRILLIC", false, 0, 0, false, false, "Macintosh Cyrillic"},
    {0x97, "MAC-CENTRALEUROPE", false, 0, 0, false, false, "Macintosh Central European"},
    {0x98, nullptr, false, 0, 0, false, true, "Macintosh Greek"},
    {0xC8, "CP1250", false, 852, 1250, false, false, "Central European Windows"},
    {0xC9, "CP1251", false, 866, 1251, false, false, "Russian Windows"},
    {0xCA, "CP1254", false, 857, 1254, false, false, "Turkish Windows"},
    {0xCB, "CP1253", false, 737, 1253, false, false, "Greek Windows"},
};

// The other side of a page's pair, for pages a ".cpg" file names.
struct Partner {
    const char* pszPage;
    int nPartner;
};
const Partner kAnsiPartners[] = {  // a Windows (or ISO) page and its DOS page
    {"CP1250", 852},        {"CP1251", 866},        {"CP1252", 850},       {"CP1253", 737},
    {"CP1254", 857},        {"CP1255", 862},        {"CP1256", 720},       {"CP1257", 775},
    {"CP1258", 1258},       {"CP874", 874},         {"ISO-8859-1", 850},   {"ISO-8859-2", 852},
    {"ISO-8859-5", 866},    {"ISO-8859-7", 737},    {"ISO-8859-9", 857},   {"ISO-8859-13", 775},
    {"ISO-8859-15", 850},   {"KOI8-R", 866},        {"KOI8-U", 866},
};
const Partner kOemPartners[] = {  // a DOS page and its Windows page
    {"CP437", 1252}, {"CP737", 1253}, {"CP775", 1257}, {"CP850", 1252}, {"CP852", 1250},
    {"CP855", 1251}, {"CP857", 1254}, {"CP860", 1252}, {"CP861", 1252}, {"CP862", 1255},
    {"CP863", 1252}, {"CP864", 1256}, {"CP865", 1252}, {"CP866", 1251}, {"CP869", 1253},
    {"CP720", 1256},
};

bool IsDosNumber(int n) {
    switch (n) {
    case 437: case 720: case 737: case 775: case 850: case 852: case 855: case 857: case 858:
    case 860: case 861: case 862: case 863: case 864: case 865: case 866: case 869: return true;
    default: return false;
    }
}

bool IsDoubleBytePage(int n) { return n == 932 || n == 936 || n == 949 || n == 950; }

int PartnerOf(const Partner* pBegin, const Partner* pEnd, const std::string& strPage) {
    for (const Partner* p = pBegin; p != pEnd; ++p)
        if (strPage == p->pszPage) return p->nPartner;
    return 0;
}

std::string Upper(std::string_view str) {
    std::string s;
    for (char c : str) s += char(c >= 'a' && c <= 'z' ? c - 32 : c);
    return s;
}

bool AllDigits(std::string_view s) {
    if (s.empty()) return false;
    for (char c : s)
        if (c < '0' || c > '9') return false;
    return true;
}

bool StartsWith(std::string_view s, std::string_view strPrefix) { return s.substr(0, strPrefix.size()) == strPrefix; }

// Lead bytes of the double-byte pages; any other byte is a character alone.
bool IsLeadByte(int nPage, uint8_t b) {
    if (nPage == 932) return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
    return b >= 0x81 && b <= 0xFE;
}

int DoubleBytePageOf(std::string_view strEncoding) {
    const std::string s = Upper(strEncoding);
    for (int n : {932, 936, 949, 950})
        if (s == "CP" + std::to_string(n)) return n;
    if (s == "GBK") return 936;
    if (s == "UHC") return 949;
    if (s == "BIG5") return 950;
    return 0;
}

bool IsUtf8Name(std::string_view strEncoding) {
    const std::string s = Upper(strEncoding);
    return s == "UTF-8" || s == "UTF8";
}

}  // namespace

const CodePageMarkInfo* FindCodePageMark(uint8_t nMark) {
    for (const CodePageMarkInfo& info : kMarks)
        if (info.nMark == nMark) return &info;
    return nullptr;
}

// ---- .cpg files ----

bool ParseCpgText(std::string_view strText, CpgPage& page) {
    page = CpgPage();
    if (StartsWith(strText, "\xEF\xBB\xBF")) strText.remove_prefix(3);
    strText = strText.substr(0, strText.find_first_of("\r\n"));
    std::string s;
    for (char c : Upper(strText))
        if (c != ' ' && c != '\t') s += c;
    if (s == "UTF-8" || s == "UTF8" || s == "65001") {
        page.bUtf8 = true;
        return true;
    }
    bool bOemWord = false;
    for (std::string_view strWord : {"ANSI", "OEM"}) {
        if (StartsWith(s, strWord) && s.size() > strWord.size()) {
            bOemWord = strWord == "OEM";
            s.erase(0, strWord.size());
            break;
        }
    }
    // The ISO pages as GIS programs name them: "88591", "8859-5", "ISO88591", "ISO-8859-15".
    std::string strIso = s;
    for (std::string_view strPrefix : {"ISO-", "ISO_", "ISO"})
        if (StartsWith(strIso, strPrefix)) {
            strIso.erase(0, strPrefix.size());
            break;
        }
    if (StartsWith(strIso, "8859")) {
        std::string strPart = strIso.substr(4);
        if (!strPart.empty() && (strPart[0] == '-' || strPart[0] == '_')) strPart.erase(0, 1);
        if (AllDigits(strPart) && strPart.size() <= 2) {
            page.strPage = "ISO-8859-" + std::to_string(std::stoi(strPart));
            return CCodePage::Find(page.strPage) != nullptr;
        }
    }
    std::string strNumber = s;
    for (std::string_view strPrefix : {"WINDOWS-", "WINDOWS", "CP", "IBM", "MS", "DOS"})
        if (StartsWith(strNumber, strPrefix)) {
            strNumber.erase(0, strPrefix.size());
            break;
        }
    if (AllDigits(strNumber) && strNumber.size() <= 5) {
        const int n = std::stoi(strNumber);
        if (IsDoubleBytePage(n)) {
            page.bMultiByte = true;
            page.strPage = "CP" + std::to_string(n);
            return true;
        }
        page.strPage = "CP" + std::to_string(n);
        page.bOem = bOemWord || IsDosNumber(n);
        return CCodePage::Find(page.strPage) != nullptr;
    }
    if (s.empty()) return false;
    // Any other name iconv knows: a single-byte page, or a multi-byte one.
    if (const CCodePage* pPage = CCodePage::Find(s)) {
        page.strPage = pPage->GetName();
        page.bOem = bOemWord;
        return true;
    }
    iconv_t cd = iconv_open("UTF-8", s.c_str());
    if (cd == iconv_t(-1)) return false;
    iconv_close(cd);
    page.bMultiByte = true;
    page.strPage = s;
    return true;
}

std::string FindCpgFile(const std::string& strTablePath) {
    return FindFileIgnoringCase(ReplaceExtension(strTablePath, ".cpg"));
}

bool ReadCpgFile(const std::string& strCpgPath, CpgPage& page) {
    CFile file;
    if (!file.Open(strCpgPath, modeRead | shareDenyNone | typeBinary)) return false;
    char buffer[256];
    size_t n = 0;
    try {
        n = file.Read(buffer, sizeof buffer);
    } catch (const CFileException&) {
        return false;
    }
    return ParseCpgText(std::string_view(buffer, n), page);
}

// ---- The UTF-8 sample ----

void CUtf8Sample::Add(std::string_view strText) {
    if (m_bInvalid) return;
    for (size_t i = 0; i < strText.size();) {
        if (static_cast<unsigned char>(strText[i]) < 0x80) {
            ++i;
            continue;
        }
        char32_t c;
        if (!DecodeUtf8Char(strText, i, c)) {
            m_bInvalid = true;
            return;
        }
        m_bMultiByte = true;
    }
}

bool IsValidUtf8Text(std::string_view strText) {
    for (size_t i = 0; i < strText.size();) {
        char32_t c;
        if (!DecodeUtf8Char(strText, i, c)) return false;
    }
    return true;
}

bool NeedsUtf8Sample(uint8_t nMark, bool bHasCpg) {
    if (bHasCpg) return false;
    const CodePageMarkInfo* pInfo = FindCodePageMark(nMark);
    return !pInfo || pInfo->bUnsupported;
}

// ---- The decision ----

bool IsOemByVersion(uint8_t nVersion, uint8_t nMark) {
    switch (nVersion) {
    case 0x30:
    case 0x31:
    case 0x32: {
        // Marks below 200 that name Windows pages: 1252 (0x03, 0x57-0x59),
        // the East Asian pages (0x4D-0x50, 0x78-0x7C), 1255 and 1256.
        const bool bLowWindows = nMark == 0x03 || (nMark >= 0x57 && nMark <= 0x59) ||
                                 (nMark >= 0x4D && nMark <= 0x50) || (nMark >= 0x78 && nMark <= 0x7E);
        return nMark < 200 && !bLowWindows;
    }
    case 0x3F: case 0x43: case 0x8B: case 0x8C: return false;
    default: return true;
    }
}

TableCodePages DecideTableCodePages(const TableCodePageFacts& facts) {
    TableCodePages result;
    result.pOem = &OemCodePage();
    result.pAnsi = &AnsiCodePage();
    result.bOemText = IsOemByVersion(facts.nVersion, facts.nMark);
    auto setPair = [&](int nOem, int nAnsi) {
        if (nOem)
            if (const CCodePage* p = CCodePage::Find(std::to_string(nOem))) result.pOem = p;
        if (nAnsi)
            if (const CCodePage* p = CCodePage::Find(std::to_string(nAnsi))) result.pAnsi = p;
    };

    const CodePageMarkInfo* pMark = FindCodePageMark(facts.nMark);
    if (pMark && pMark->bUnsupported) {
        char szNote[128];
        std::snprintf(szNote, sizeof szNote, "code-page mark 0x%02X (%s) is not supported", unsigned(facts.nMark),
                      pMark->pszLanguage);
        result.strNote = szNote;
        pMark = nullptr;
    }
    if (facts.bHasCpg) {
        result.eSource = CodePageSource::cpg;
        if (facts.cpg.bUtf8) {
            result.bUtf8 = true;
            result.bOemText = false;
        } else if (facts.cpg.bMultiByte) {
            result.strMultiBytePage = facts.cpg.strPage;
            result.bOemText = false;
        } else if (const CCodePage* pPage = CCodePage::Find(facts.cpg.strPage)) {
            result.bOemText = facts.cpg.bOem;
            if (facts.cpg.bOem) {
                result.pOem = pPage;
                setPair(0, PartnerOf(std::begin(kOemPartners), std::end(kOemPartners), pPage->GetName()));
            } else {
                result.pAnsi = pPage;
                setPair(PartnerOf(std::begin(kAnsiPartners), std::end(kAnsiPartners), pPage->GetName()), 0);
            }
        }
    } else if (pMark) {
        result.eSource = CodePageSource::mark;
        result.bOemText = pMark->bDos;
        if (pMark->bMultiByte) {
            result.strMultiBytePage = pMark->pszPage;
            result.bOemText = false;
        } else if (const CCodePage* pPage = CCodePage::Find(pMark->pszPage)) {
            setPair(pMark->nOem, pMark->nAnsi);
            (pMark->bDos ? result.pOem : result.pAnsi) = pPage;
        } else {
            result.eSource = CodePageSource::locale;
            result.strNote = std::string("the code page ") + pMark->pszPage + " of the table's mark is not available";
        }
    } else if (facts.nUtf8Sample == 1) {
        result.eSource = CodePageSource::utf8Sample;
        result.bUtf8 = true;
        result.bOemText = false;
    }

    if (!facts.strOemOverride.empty())
        if (const CCodePage* p = CCodePage::Find(facts.strOemOverride)) result.pOem = p;
    if (!facts.strAnsiOverride.empty())
        if (const CCodePage* p = CCodePage::Find(facts.strAnsiOverride)) result.pAnsi = p;
    return result;
}

// ---- Whole text ----

namespace {

// An iconv conversion that is closed with its object.
class CIconv {
public:
    CIconv(const char* pszTo, const std::string& strFrom) : m_cd(iconv_open(pszTo, strFrom.c_str())) {}
    CIconv(const std::string& strTo, const char* pszFrom) : m_cd(iconv_open(strTo.c_str(), pszFrom)) {}
    ~CIconv() {
        if (IsOpen()) iconv_close(m_cd);
    }
    CIconv(const CIconv&) = delete;
    CIconv& operator=(const CIconv&) = delete;
    bool IsOpen() const { return m_cd != iconv_t(-1); }
    // Converts all of strIn as one unit, from the initial state; false when
    // it is not exactly that (an invalid or an incomplete sequence).
    bool Convert(std::string_view strIn, std::string& strOut, bool& bIncomplete) {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* pIn = const_cast<char*>(strIn.data());
        size_t nInLeft = strIn.size();
        char buffer[32];
        char* pOut = buffer;
        size_t nOutLeft = sizeof buffer;
        bIncomplete = false;
        if (iconv(m_cd, &pIn, &nInLeft, &pOut, &nOutLeft) == size_t(-1)) {
            bIncomplete = errno == EINVAL;
            return false;
        }
        if (iconv(m_cd, nullptr, nullptr, &pOut, &nOutLeft) == size_t(-1)) return false;
        strOut.assign(buffer, sizeof buffer - nOutLeft);
        return nInLeft == 0 && !strOut.empty();
    }

private:
    iconv_t m_cd;
};

// The bytes of the character of a multi-byte page at strText[i] (1 to 4),
// and its UTF-8 in strUtf8; 0 when no character starts there, when the page
// would not give the same bytes back for the character (a character it holds
// under two byte pairs), or when it is one of the private-use characters that
// stand for single bytes (some pages map their user-defined characters
// there). Such bytes travel as private-use characters of their own, so that
// nothing is lost or mistaken.
size_t CharacterAt(CIconv& decoder, CIconv& encoder, std::string_view strText, size_t i, std::string& strUtf8) {
    for (size_t n = 1; n <= 4 && i + n <= strText.size(); ++n) {
        bool bIncomplete = false;
        if (decoder.Convert(strText.substr(i, n), strUtf8, bIncomplete)) {
            bool bStandsForAByte = false;
            char32_t c = 0;
            for (size_t j = 0; j < strUtf8.size();) {
                if (DecodeUtf8Char(strUtf8, j, c) && c >= kUndefinedBase && c < kUndefinedBase + 256)
                    bStandsForAByte = true;
            }
            std::string strBack;
            return !bStandsForAByte && encoder.Convert(strUtf8, strBack, bIncomplete) && strBack == strText.substr(i, n)
                       ? n
                       : 0;
        }
        if (!bIncomplete) return 0;
    }
    return 0;
}

// The converters of an encoding, opened once per thread: opening one loads
// the page's tables, which costs more than converting a field.
struct Converters {
    CIconv decoder, encoder;
    explicit Converters(const std::string& strEncoding) : decoder("UTF-8", strEncoding), encoder(strEncoding, "UTF-8") {}
    bool IsOpen() const { return decoder.IsOpen() && encoder.IsOpen(); }
};

Converters& ConvertersFor(std::string_view strEncoding) {
    thread_local std::map<std::string, std::unique_ptr<Converters>, std::less<>> cache;
    auto it = cache.find(strEncoding);
    if (it == cache.end()) {
        const std::string strName(strEncoding);
        it = cache.emplace(strName, std::make_unique<Converters>(strName)).first;
    }
    return *it->second;
}

}  // namespace

size_t CharacterBoundaryCut(std::string_view strEncoding, std::string_view strText, size_t nMax) {
    if (strText.size() <= nMax) return strText.size();
    if (IsUtf8Name(strEncoding)) {
        // Back over at most three continuation bytes to the start of the
        // character they belong to; a longer run is no character at all.
        size_t n = nMax;
        for (int k = 0; k < 3 && n > 0 && (static_cast<unsigned char>(strText[n]) & 0xC0) == 0x80; ++k) --n;
        if ((static_cast<unsigned char>(strText[n]) & 0xC0) == 0x80) return nMax;
        return n;
    }
    if (const int nPage = DoubleBytePageOf(strEncoding)) {
        size_t i = 0;
        while (i < nMax) {
            const size_t nStep = IsLeadByte(nPage, static_cast<unsigned char>(strText[i])) ? 2 : 1;
            if (i + nStep > nMax) break;
            i += nStep;
        }
        return i;
    }
    // Any other page iconv knows: walk its characters.
    Converters& converters = ConvertersFor(strEncoding);
    if (!converters.IsOpen()) return nMax;
    std::string strUtf8;
    size_t i = 0;
    while (i < nMax) {
        const size_t nStep =
            std::max<size_t>(1, CharacterAt(converters.decoder, converters.encoder, strText, i, strUtf8));
        if (i + nStep > nMax) break;
        i += nStep;
    }
    return i;
}

std::string WholeTextToUtf8(std::string_view strEncoding, std::string_view strText) {
    std::string strOut;
    strOut.reserve(strText.size());
    if (IsUtf8Name(strEncoding)) {
        for (size_t i = 0; i < strText.size();) {
            const size_t nStart = i;
            char32_t c;
            if (DecodeUtf8Char(strText, i, c) && !(c >= kUndefinedBase && c < kUndefinedBase + 256)) {
                strOut.append(strText.substr(nStart, i - nStart));
                continue;
            }
            // Bytes that form no character, and the private-use characters
            // that stand for single bytes, travel byte by byte.
            for (size_t j = nStart; j < i; ++j)
                AppendUtf8Char(strOut, kUndefinedBase + static_cast<unsigned char>(strText[j]));
        }
        return strOut;
    }
    Converters& converters = ConvertersFor(strEncoding);
    std::string strUtf8;
    for (size_t i = 0; i < strText.size();) {
        const unsigned char b = static_cast<unsigned char>(strText[i]);
        const size_t n =
            converters.IsOpen() ? CharacterAt(converters.decoder, converters.encoder, strText, i, strUtf8) : 0;
        if (n == 0) {
            // A byte that starts no character the page has (or a character
            // cut at the end): it travels as a private-use character.
            if (b < 0x80 && !converters.IsOpen()) {
                strOut += char(b);
            } else {
                AppendUtf8Char(strOut, kUndefinedBase + b);
            }
            ++i;
            continue;
        }
        strOut += strUtf8;
        i += n;
    }
    return strOut;
}

std::string WholeTextFromUtf8(std::string_view strEncoding, std::string_view strUtf8) {
    std::string strOut;
    const bool bUtf8 = IsUtf8Name(strEncoding);
    CIconv* pEncoder = bUtf8 ? nullptr : &ConvertersFor(strEncoding).encoder;
    std::string strBytes;
    for (size_t i = 0; i < strUtf8.size();) {
        const size_t nStart = i;
        char32_t c;
        if (!DecodeUtf8Char(strUtf8, i, c)) {
            strOut += '?';
            continue;
        }
        bool bIncomplete = false;
        if (c >= kUndefinedBase && c < kUndefinedBase + 256) {
            strOut += char(c - kUndefinedBase);
        } else if (bUtf8 || c < 0x80) {
            strOut.append(strUtf8.substr(nStart, i - nStart));
        } else if (pEncoder && pEncoder->IsOpen() &&
                   pEncoder->Convert(strUtf8.substr(nStart, i - nStart), strBytes, bIncomplete)) {
            strOut += strBytes;
        } else {
            strOut += '?';
        }
    }
    return strOut;
}

}  // namespace platform
