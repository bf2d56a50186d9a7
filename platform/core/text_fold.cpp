// Fold tables of single-byte pages: each byte's character, its capital by
// Unicode's case mapping, and the byte of that capital in the same page.
#include "platform/core/text_fold.h"

#include <clocale>
#include <cwctype>
#include <map>
#include <memory>
#include <mutex>

namespace platform {

namespace {

// The case mapping of C.UTF-8, never the process's own locale (which may be
// "C" and know only ASCII); plain ASCII when the system lacks it.
char32_t UnicodeUpper(char32_t c) {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (locale) return char32_t(towupper_l(wint_t(c), locale));
    return c >= 'a' && c <= 'z' ? c - 'a' + 'A' : c;
}

char32_t UnicodeLower(char32_t c) {
    static const locale_t locale = newlocale(LC_CTYPE_MASK, "C.UTF-8", locale_t(nullptr));
    if (locale) return char32_t(towlower_l(wint_t(c), locale));
    return c >= 'A' && c <= 'Z' ? c - 'A' + 'a' : c;
}

}  // namespace

char32_t FoldCharacter(char32_t c) {
    // The final sigma is a small letter of its own whose capital is the
    // ordinary one; the pair test below would refuse it.
    if (c == 0x03C2) return 0x03A3;
    char32_t cUpper = UnicodeUpper(c);
    // The micro sign's capital is Greek Mu, dotless i's is the Latin I, long
    // s's is S: each lowers to another letter, and folding them would make
    // a Greek or Turkish search match letters it does not contain.
    if (cUpper == c || UnicodeLower(cUpper) != c) return c;
    return cUpper;
}

class CTextFoldRegistry {
public:
    static const CTextFold& Get(const CCodePage& page) {
        static std::mutex mutex;
        static std::map<const CCodePage*, std::unique_ptr<CTextFold>> folds;
        std::lock_guard<std::mutex> lock(mutex);
        std::unique_ptr<CTextFold>& p = folds[&page];
        if (!p) p.reset(new CTextFold(page));
        return *p;
    }
};

const CTextFold& CTextFold::ForCodePage(const CCodePage& page) { return CTextFoldRegistry::Get(page); }

CTextFold::CTextFold(const CCodePage& page) {
    for (int b = 0; b < 256; ++b) {
        m_table[b] = uint8_t(b);
        if (!page.IsDefined(uint8_t(b))) continue;
        char32_t c = page.ToUnicode(uint8_t(b));
        char32_t cUpper = FoldCharacter(c);
        // Only to a capital the page holds itself: a look-alike (the bare
        // letter for an accented one) would make different letters match.
        if (cUpper != c && page.Contains(cUpper)) m_table[b] = page.FromUnicode(cUpper);
    }
}

size_t CTextFold::Find(std::string_view strText, std::string_view strFoldedNeedle) const {
    const size_t nNeedle = strFoldedNeedle.size();
    if (nNeedle == 0) return 0;
    if (nNeedle > strText.size()) return std::string_view::npos;
    const uint8_t cFirst = uint8_t(strFoldedNeedle[0]);
    const size_t nLast = strText.size() - nNeedle;
    for (size_t i = 0; i <= nLast; ++i) {
        if (m_table[uint8_t(strText[i])] != cFirst) continue;
        size_t k = 1;
        while (k < nNeedle && m_table[uint8_t(strText[i + k])] == uint8_t(strFoldedNeedle[k])) ++k;
        if (k == nNeedle) return i;
    }
    return std::string_view::npos;
}

}  // namespace platform
