// Reading the user's number and date conventions from the environment.
#include "platform/core/user_locale.h"

#include <langinfo.h>
#include <locale.h>

#include <cstdlib>
#include <cstring>
#include <memory>
#include <optional>

namespace platform {

namespace {

// Conventions of common languages, used when the system has no such locale
// installed. Territory "" matches any territory of the language that has no
// row of its own.
struct KnownConventions {
    const char* pszLanguage;
    const char* pszTerritory;
    char cDecimal;
    char cThousands;
    DateOrder eOrder;
    char cDateSeparator;
    const char* pszCurrency;
};

const KnownConventions kKnown[] = {
    {"en", "US", '.', ',', DateOrder::MDY, '/', "$"},
    {"en", "CA", '.', ',', DateOrder::YMD, '-', "$"},
    {"en", "ZA", '.', ',', DateOrder::YMD, '/', "R"},
    {"en", "AU", '.', ',', DateOrder::DMY, '/', "$"},
    {"en", "NZ", '.', ',', DateOrder::DMY, '/', "$"},
    {"en", "", '.', ',', DateOrder::DMY, '/', ""},
    {"de", "CH", '.', '\'', DateOrder::DMY, '.', "Fr."},
    {"de", "", ',', '.', DateOrder::DMY, '.', ""},
    {"fr", "CA", ',', ' ', DateOrder::YMD, '-', "$"},
    {"fr", "CH", '.', '\'', DateOrder::DMY, '.', "Fr."},
    {"fr", "", ',', ' ', DateOrder::DMY, '/', ""},
    {"it", "CH", '.', '\'', DateOrder::DMY, '.', "Fr."},
    {"it", "", ',', '.', DateOrder::DMY, '/', ""},
    {"es", "MX", '.', ',', DateOrder::DMY, '/', "$"},
    {"es", "US", '.', ',', DateOrder::MDY, '/', "$"},
    {"es", "", ',', '.', DateOrder::DMY, '/', ""},
    {"pt", "", ',', '.', DateOrder::DMY, '/', ""},
    {"nl", "BE", ',', '.', DateOrder::DMY, '/', ""},
    {"nl", "", ',', '.', DateOrder::DMY, '-', ""},
    {"da", "", ',', '.', DateOrder::DMY, '-', "kr"},
    {"sv", "", ',', ' ', DateOrder::YMD, '-', "kr"},
    {"fi", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"nb", "", ',', ' ', DateOrder::DMY, '.', "kr"},
    {"nn", "", ',', ' ', DateOrder::DMY, '.', "kr"},
    {"no", "", ',', ' ', DateOrder::DMY, '.', "kr"},
    {"is", "", ',', '.', DateOrder::DMY, '.', "kr"},
    {"pl", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"cs", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"sk", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"hu", "", ',', ' ', DateOrder::YMD, '.', "Ft"},
    {"sl", "", ',', '.', DateOrder::DMY, '.', ""},
    {"hr", "", ',', '.', DateOrder::DMY, '.', ""},
    {"bs", "", ',', '.', DateOrder::DMY, '.', ""},
    {"sr", "", ',', '.', DateOrder::DMY, '.', ""},
    {"ro", "", ',', '.', DateOrder::DMY, '.', ""},
    {"bg", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"ru", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"uk", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"be", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"kk", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"el", "", ',', '.', DateOrder::DMY, '/', ""},
    {"tr", "", ',', '.', DateOrder::DMY, '.', ""},
    {"lt", "", ',', ' ', DateOrder::YMD, '-', ""},
    {"lv", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"et", "", ',', ' ', DateOrder::DMY, '.', ""},
    {"he", "", '.', ',', DateOrder::DMY, '/', ""},
    {"ar", "", '.', ',', DateOrder::DMY, '/', ""},
    {"fa", "", '.', ',', DateOrder::YMD, '/', ""},
    {"th", "", '.', ',', DateOrder::DMY, '/', ""},
    {"vi", "", ',', '.', DateOrder::DMY, '/', ""},
    {"ja", "", '.', ',', DateOrder::YMD, '/', ""},
    {"zh", "", '.', ',', DateOrder::YMD, '/', ""},
    {"ko", "", '.', ',', DateOrder::YMD, '-', ""},
};

std::string DateFormatFor(DateOrder eOrder, char cSep) {
    const char* pszFirst = eOrder == DateOrder::YMD ? "%Y" : eOrder == DateOrder::DMY ? "%d" : "%m";
    const char* pszSecond = eOrder == DateOrder::MDY ? "%d" : "%m";
    const char* pszThird = eOrder == DateOrder::YMD ? "%d" : "%Y";
    return std::string(pszFirst) + cSep + pszSecond + cSep + pszThird;
}

bool IsCLocaleName(std::string_view strName) {
    return strName.empty() || strName == "C" || strName == "POSIX" || strName.substr(0, 2) == "C.";
}

// A separator from the locale's bytes: an ASCII character as it is, a no-break
// or thin space (UTF-8 or Latin-1) as a plain space, anything else as none.
char SeparatorFrom(const char* psz, char cFallback) {
    if (!psz || !*psz) return cFallback;
    if (psz[1] == 0 && static_cast<unsigned char>(psz[0]) < 0x80) return psz[0];
    std::string_view s(psz);
    if (s == "\xC2\xA0" || s == "\xE2\x80\xAF" || s == "\xE2\x80\x89" || s == "\xA0") return ' ';
    return cFallback;
}

// Order and separator of a C date format such as "%d.%m.%Y" or "%m/%d/%y".
bool OrderFromFormat(std::string_view strFormat, DateOrder& eOrder, char& cSep) {
    int nDay = -1, nMonth = -1, nYear = -1, nPos = 0;
    cSep = 0;
    for (size_t i = 0; i < strFormat.size(); ++i) {
        char c = strFormat[i];
        if (c != '%') {
            if (!cSep && nPos > 0 && static_cast<unsigned char>(c) < 0x80 && c != ' ') cSep = c;
            continue;
        }
        if (++i >= strFormat.size()) break;
        while (i < strFormat.size() && (strFormat[i] == 'E' || strFormat[i] == 'O' || strFormat[i] == '-' ||
                                        strFormat[i] == '#' || strFormat[i] == '0'))
            ++i;
        if (i >= strFormat.size()) break;
        switch (strFormat[i]) {
        case 'd': case 'e': nDay = nPos++; break;
        case 'm': case 'b': case 'B': nMonth = nPos++; break;
        case 'y': case 'Y': nYear = nPos++; break;
        default: break;
        }
    }
    if (nDay < 0 || nMonth < 0 || nYear < 0) return false;
    if (nYear < nMonth && nMonth < nDay) eOrder = DateOrder::YMD;
    else if (nDay < nMonth) eOrder = DateOrder::DMY;
    else eOrder = DateOrder::MDY;
    if (!cSep) cSep = '/';
    return true;
}

const KnownConventions* FindKnown(const std::string& strLanguage, const std::string& strTerritory) {
    for (const auto& k : kKnown)
        if (strLanguage == k.pszLanguage && strTerritory == k.pszTerritory) return &k;
    for (const auto& k : kKnown)
        if (strLanguage == k.pszLanguage && !*k.pszTerritory) return &k;
    return nullptr;
}

struct LocaleDeleter {
    void operator()(locale_t loc) const { freelocale(loc); }
};
using LocalePtr = std::unique_ptr<std::remove_pointer_t<locale_t>, LocaleDeleter>;

bool FromSystem(std::string_view strName, CUserLocale& result) {
    std::string strCopy(strName);
    LocalePtr loc(newlocale(LC_ALL_MASK, strCopy.c_str(), locale_t(0)));
    if (!loc) return false;
    result.m_cDecimal = SeparatorFrom(nl_langinfo_l(RADIXCHAR, loc.get()), '.');
    result.m_cThousands = SeparatorFrom(nl_langinfo_l(THOUSEP, loc.get()), 0);
    if (result.m_cThousands == result.m_cDecimal) result.m_cThousands = 0;
    DateOrder eOrder;
    char cSep;
    if (OrderFromFormat(nl_langinfo_l(D_FMT, loc.get()), eOrder, cSep)) result.SetDateOrder(eOrder, cSep);
    // Only a time format of plain conversions is kept; "%r" and the like are
    // spelt out so that the program's own formatter need not know them all.
    std::string strTime = nl_langinfo_l(T_FMT, loc.get());
    if (strTime == "%r") strTime = "%I:%M:%S %p";
    if (strTime == "%T" || strTime.empty()) strTime = "%H:%M:%S";
    result.m_strTimeFormat = strTime;
    // CRNCYSTR is the symbol preceded by where it goes ("-$", "+kr", ".").
    const char* pszCurrency = nl_langinfo_l(CRNCYSTR, loc.get());
    std::string strCurrency = pszCurrency && *pszCurrency ? pszCurrency + 1 : "";
    bool bAscii = true;
    for (char c : strCurrency) bAscii = bAscii && static_cast<unsigned char>(c) < 0x80 && c != ' ';
    result.m_strCurrency = bAscii ? strCurrency : "";
    return true;
}

// Kept in place so that references to the current locale stay valid when it
// is replaced.
std::optional<CUserLocale>& CurrentSlot() {
    static std::optional<CUserLocale> current;
    return current;
}

const char* Env(const char* pszName) {
    const char* psz = std::getenv(pszName);
    return psz && *psz ? psz : nullptr;
}

}  // namespace

CUserLocale::CUserLocale()
    : m_strName("C"), m_cDecimal('.'), m_cThousands(','), m_eDateOrder(DateOrder::MDY), m_cDateSeparator('/'),
      m_strDateFormat("%m/%d/%Y"), m_strTimeFormat("%H:%M:%S"), m_strCurrency("$") {}

void CUserLocale::SetDateOrder(DateOrder eOrder, char cSeparator) {
    m_eDateOrder = eOrder;
    m_cDateSeparator = cSeparator;
    m_strDateFormat = DateFormatFor(eOrder, cSeparator);
}

void SplitLocaleName(std::string_view strName, std::string& strLanguage, std::string& strTerritory) {
    if (IsCLocaleName(strName)) {
        strLanguage = "en";
        strTerritory = "US";
        return;
    }
    size_t nEnd = strName.find_first_of(".@");
    std::string_view s = strName.substr(0, nEnd);
    size_t nUnderscore = s.find_first_of("_-");
    strLanguage = std::string(s.substr(0, nUnderscore));
    strTerritory = nUnderscore == std::string_view::npos ? "" : std::string(s.substr(nUnderscore + 1));
    for (char& c : strLanguage) c = char(c >= 'A' && c <= 'Z' ? c + 32 : c);
    for (char& c : strTerritory) c = char(c >= 'a' && c <= 'z' ? c - 32 : c);
}

CUserLocale CUserLocale::FromName(std::string_view strName) {
    CUserLocale result;
    result.m_strName = strName.empty() ? "C" : std::string(strName);
    if (strName.empty() || strName == "C" || strName == "POSIX") return result;
    if (FromSystem(strName, result)) return result;
    std::string strLanguage, strTerritory;
    SplitLocaleName(strName, strLanguage, strTerritory);
    if (const KnownConventions* p = FindKnown(strLanguage, strTerritory)) {
        result.m_cDecimal = p->cDecimal;
        result.m_cThousands = p->cThousands;
        result.SetDateOrder(p->eOrder, p->cDateSeparator);
        result.m_strCurrency = p->pszCurrency;
    }
    return result;
}

CUserLocale CUserLocale::FromEnvironment() {
    const char* pszAll = Env("LC_ALL");
    const char* pszLang = Env("LANG");
    const char* pszNumeric = pszAll ? pszAll : Env("LC_NUMERIC") ? Env("LC_NUMERIC") : pszLang;
    const char* pszTime = pszAll ? pszAll : Env("LC_TIME") ? Env("LC_TIME") : pszLang;
    const char* pszMoney = pszAll ? pszAll : Env("LC_MONETARY") ? Env("LC_MONETARY") : pszLang;
    CUserLocale result = FromName(pszNumeric ? pszNumeric : "C");
    CUserLocale dates = FromName(pszTime ? pszTime : "C");
    result.m_eDateOrder = dates.m_eDateOrder;
    result.m_cDateSeparator = dates.m_cDateSeparator;
    result.m_strDateFormat = dates.m_strDateFormat;
    result.m_strTimeFormat = dates.m_strTimeFormat;
    result.m_strCurrency = FromName(pszMoney ? pszMoney : "C").m_strCurrency;
    return result;
}

const CUserLocale& CUserLocale::Current() {
    auto& current = CurrentSlot();
    if (!current) current = FromEnvironment();
    return *current;
}

void CUserLocale::SetCurrent(const CUserLocale& locale) {
    CurrentSlot() = locale;
}

CScopedUserLocale::CScopedUserLocale(const CUserLocale& locale) : m_saved(CUserLocale::Current()) {
    CUserLocale::SetCurrent(locale);
}

CScopedUserLocale::~CScopedUserLocale() { CUserLocale::SetCurrent(m_saved); }

}  // namespace platform
