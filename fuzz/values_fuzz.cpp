// Fuzz target: field values and the text conversions under them. Input: a
// byte choosing what to exercise and with which locale, then that part's
// bytes. Field mode: a 32-byte field descriptor and a record; the field is
// read, written back, and written with text made of the rest, and a refused
// write must leave the record exactly as it was; text that typed-text checks
// accept must then be written without a refusal. Text modes: date, number and
// currency parsing (strict typed dates and numbers too), whose accepted texts
// must survive their own formatting; code-page conversion, which must keep
// one byte per character; .cpg parsing, the UTF-8 sample and whole text,
// which must come back byte for byte.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "engine/dbf_exception.h"
#include "engine/field_io.h"
#include "engine/typed_value.h"
#include "fuzz/fuzz_support.h"
#include "platform/core/code_page.h"
#include "platform/core/currency.h"
#include "platform/core/ole_date.h"
#include "platform/core/table_code_page.h"
#include "platform/core/value_coercion.h"

namespace {

platform::CUserLocale LocaleOf(uint8_t nChoice) {
    platform::CUserLocale l;
    static const platform::DateOrder kOrders[] = {platform::DateOrder::MDY, platform::DateOrder::DMY,
                                                  platform::DateOrder::YMD};
    static const char kSeparators[] = {'/', '.', '-', ' '};
    l.SetDateOrder(kOrders[nChoice % 3], kSeparators[(nChoice >> 2) & 3]);
    if (nChoice & 0x10) {
        l.m_cDecimal = ',';
        l.m_cThousands = (nChoice & 0x20) ? ' ' : '.';
    }
    if (nChoice & 0x40) l.m_strTimeFormat = "%I:%M:%S %p";
    return l;
}

// A failed check names its line, so a crash artefact tells which rule broke.
#define Check(b)                                                   \
    do {                                                           \
        if (!(b)) {                                                \
            std::fprintf(stderr, "check failed at line %d\n", __LINE__); \
            std::abort();                                          \
        }                                                          \
    } while (0)

void FuzzField(fuzz::CInput& input, const platform::CUserLocale& locale) {
    fuzz::Bytes descBytes = input.Take(sizeof(dbf::DBFFieldDesc));
    descBytes.resize(sizeof(dbf::DBFFieldDesc));
    dbf::DBFFieldDesc desc;
    std::memcpy(&desc, descBytes.data(), sizeof desc);
    // Keep most fields inside small records so the writes are exercised.
    desc.SetDisplacement(desc.GetDisplacement() % 512);
    fuzz::Bytes record = input.TakeSized();
    fuzz::Bytes rest = input.Rest();
    std::string strText(rest.begin(), rest.end());

    dbf::FieldValue value;
    try {
        dbf::ReadFieldValue(record, desc, value);
    } catch (const dbf::CDBFException&) {
        return;  // the field lies outside the record
    }
    for (const dbf::FieldValue& v : {value, dbf::FieldValue::MakeText(strText), dbf::FieldValue()}) {
        fuzz::Bytes before = record;
        try {
            dbf::WriteFieldValue(record, desc, v, locale);
        } catch (const platform::CConversionError&) {
            Check(record == before);
        }
        dbf::FieldValue again;
        dbf::ReadFieldValue(record, desc, again);
    }
    dbf::TypedTextOptions options;
    options.pLocale = &locale;
    const dbf::TypedValue typed = dbf::ValueFromTypedText(desc, strText, options);
    if (!typed.IsRefused() && desc.type != 'M') {
        try {
            dbf::WriteFieldValue(record, desc, typed.value, locale);
        } catch (const platform::CConversionError&) {
            Check(false);  // a typed value the checks let through must never be refused
        }
    }
}

void FuzzDate(const std::string& str, const platform::CUserLocale& locale) {
    double dTyped = 0;
    std::string strError;
    if (platform::ParseTypedDate(str, true, dTyped, strError, locale) == platform::TypedDate::date) {
        // A typed date comes back the same through the storage's ISO form.
        double dAgain = 0;
        Check(platform::ParseTypedDate(platform::FormatOleDate(dTyped, "%Y-%m-%d %H:%M:%S", locale), true, dAgain,
                                       strError, locale) == platform::TypedDate::date &&
              dAgain == dTyped);
    }
    double d;
    if (!platform::ParseDateText(str, d, locale)) return;
    double dAgain;
    Check(platform::ParseDateText(platform::DateToText(d, locale), dAgain, locale));
    Check(dAgain == d);
    platform::FormatOleDate(d, str, locale);
}

void FuzzNumbers(const std::string& str, const platform::CUserLocale& locale) {
    int64_t n;
    if (platform::ParseCurrency(str, n, locale)) {
        int64_t nAgain;
        Check(platform::ParseCurrency(platform::FormatCurrency(n, locale), nAgain, locale) && nAgain == n);
    }
    try {
        // The text of a double keeps 15 significant digits, so it comes back
        // within that precision.
        double d = platform::TextToDouble(str, locale);
        double dAgain = platform::TextToDouble(platform::DoubleToText(d, locale), locale);
        Check(std::abs(dAgain - d) <= 1e-14 * std::abs(d) || std::abs(d) > 1e300 || std::abs(d) < 1e-300);
    } catch (const platform::CConversionError&) {
    }
    try {
        platform::TextToBool(str, locale);
    } catch (const platform::CConversionError&) {
    }
    platform::ParseCDouble(str.data(), str.size());
    platform::ParseCInteger(str.data(), str.size());
    std::string strField, strError;
    if (platform::FormatTypedNumber(str, 20, unsigned(str.size() % 6), strField, strError, locale)) {
        // What a typed number stores is a C number of its field's width.
        Check(strField.size() <= 20 && !strField.empty());
        const bool bZero = strField.find_first_not_of("-0.") == std::string::npos;
        Check(bZero || platform::ParseCDouble(strField.data(), strField.size()) != 0);
    }
}

void FuzzCodePages(const std::string& str, uint8_t nChoice) {
    static const char* const kPages[] = {"437", "850", "852", "866", "737", "720", "1250", "1251", "1252", "1258"};
    const platform::CCodePage* pFrom = platform::CCodePage::Find(kPages[nChoice % 10]);
    const platform::CCodePage* pTo = platform::CCodePage::Find(kPages[(nChoice / 10) % 10]);
    if (!pFrom || !pTo) return;
    platform::CCodePageConverter converter(*pFrom, *pTo);
    Check(converter.Convert(str).size() == str.size());
    std::string strUtf8 = pFrom->ToUtf8(str);
    Check(pFrom->FromUtf8(strUtf8) == str);
    Check(pTo->FromUtf8(str).size() <= str.size());

    platform::CpgPage page;
    platform::ParseCpgText(str, page);
    platform::CUtf8Sample sample;
    sample.Add(str);
    Check(!sample.IsUtf8() || platform::IsValidUtf8Text(str));
    for (const char* pszEncoding : {"UTF-8", "CP932", "CP950"}) {
        const std::string strWhole = platform::WholeTextToUtf8(pszEncoding, str);
        Check(platform::IsValidUtf8Text(strWhole));
        Check(platform::WholeTextFromUtf8(pszEncoding, strWhole) == str);
        Check(platform::CharacterBoundaryCut(pszEncoding, str, nChoice) <= std::min<size_t>(nChoice, str.size()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
    fuzz::CInput input(pData, nSize);
    uint8_t nMode = input.Byte();
    uint8_t nChoice = input.Byte();
    platform::CUserLocale locale = LocaleOf(nChoice);
    if (nMode % 4 == 0) {
        FuzzField(input, locale);
        return 0;
    }
    fuzz::Bytes rest = input.Rest();
    std::string str(rest.begin(), rest.end());
    if (str.size() > 4096) return 0;
    switch (nMode % 4) {
    case 1: FuzzDate(str, locale); break;
    case 2: FuzzNumbers(str, locale); break;
    default: FuzzCodePages(str, nChoice); break;
    }
    return 0;
}
