// Formatting the values dbftool shows as numbers, dates and literals.
#include "tools/dbftool/value_text.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

#include "platform/core/ole_date.h"

namespace dbftool {

ScalarForm FormatScalar(const dbf::DBFFieldDesc& desc, const dbf::FieldValue& value, char* pBuffer,
                        std::string_view& text) {
    char* const pEnd = pBuffer + kScalarBuffer;
    auto done = [&](char* p, ScalarForm eForm) {
        text = std::string_view(pBuffer, size_t(p - pBuffer));
        return eForm;
    };
    switch (value.GetKind()) {
    case dbf::FieldKind::Int32: return done(std::to_chars(pBuffer, pEnd, value.GetInt32()).ptr, ScalarForm::bare);
    case dbf::FieldKind::MemoRef: return done(std::to_chars(pBuffer, pEnd, value.GetMemoRef()).ptr, ScalarForm::bare);
    case dbf::FieldKind::Double:
        if (!std::isfinite(value.GetDouble())) return ScalarForm::none;
        return done(std::to_chars(pBuffer, pEnd, value.GetDouble()).ptr, ScalarForm::bare);
    case dbf::FieldKind::Bool: {
        const std::string_view str = value.GetBool() ? "true" : "false";
        return done(std::copy(str.begin(), str.end(), pBuffer), ScalarForm::bare);
    }
    case dbf::FieldKind::Currency: {
        // Ten-thousandths as "whole.dddd"; the magnitude in unsigned
        // arithmetic so that the smallest value has one too.
        const int64_t n = value.GetCurrency();
        const uint64_t nAbs = n < 0 ? 0 - uint64_t(n) : uint64_t(n);
        const int nLen = std::snprintf(pBuffer, kScalarBuffer, "%s%llu.%04llu", n < 0 ? "-" : "",
                                       static_cast<unsigned long long>(nAbs / 10000),
                                       static_cast<unsigned long long>(nAbs % 10000));
        return done(pBuffer + nLen, ScalarForm::quoted);
    }
    case dbf::FieldKind::Date: {
        platform::DateTimeParts parts;
        if (!platform::SplitOleDate(value.GetDate(), parts)) return ScalarForm::none;
        // Digits by hand: a million dates through snprintf would cost more
        // than the rest of a dump.
        char* p = pBuffer;
        auto digits = [&p](int n, int nWidth) {
            for (int i = nWidth - 1; i >= 0; --i, n /= 10) p[i] = char('0' + n % 10);
            p += nWidth;
        };
        digits(parts.nYear, 4);
        *p++ = '-';
        digits(parts.nMonth, 2);
        *p++ = '-';
        digits(parts.nDay, 2);
        if (desc.type == 'T') {
            *p++ = 'T';
            digits(parts.nHour, 2);
            *p++ = ':';
            digits(parts.nMinute, 2);
            *p++ = ':';
            digits(parts.nSecond, 2);
        }
        return done(p, ScalarForm::quoted);
    }
    default: return ScalarForm::none;
    }
}

}  // namespace dbftool
