// Cell texts and typed values.
#include "editor/cell_text.h"

#include <cinttypes>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "platform/core/conversion_error.h"
#include "platform/core/currency.h"
#include "platform/core/ole_date.h"
#include "platform/core/value_coercion.h"

namespace cell_text {

namespace {

std::string Upper(std::string str) {
    for (char& c : str)
        if (c >= 'a' && c <= 'z')
            c = char(c - 'a' + 'A');
    return str;
}

}  // namespace

std::string FormatValue(const dbf::FieldValue& value, const dbf::DBFFieldInfo& field, int32_t nDataLength,
                        const std::string& strDatePattern) {
    using dbf::FieldKind;
    char sz[64];
    switch (value.GetKind()) {
    case FieldKind::Int32:
        std::snprintf(sz, sizeof sz, "%d", value.GetInt32());
        return sz;
    case FieldKind::Double:
        return platform::FormatFixed(value.GetDouble(), unsigned(std::max(0, field.nDecimals)));
    case FieldKind::Currency:
        return platform::FormatCurrency(value.GetCurrency());
    case FieldKind::Date:
        return platform::FormatOleDate(value.GetDate(),
                                       field.cType == 'T' ? strDatePattern + " %H:%M:%S" : strDatePattern);
    case FieldKind::Text:
        return value.GetText();
    case FieldKind::Bool:
        return value.GetBool() ? "TRUE" : "FALSE";
    case FieldKind::MemoRef: {
        std::snprintf(sz, sizeof sz, "00000000%" PRIX32, value.GetMemoRef());
        std::string str = sz;
        size_t nKeep = size_t(std::max(0, 2 * nDataLength));
        if (nKeep < str.size())
            str.erase(0, str.size() - nKeep);
        return "0x" + str;
    }
    case FieldKind::Bytes: {
        dbf::ByteView bytes = value.GetBytes();
        std::string str;
        for (uint32_t i = 0; i < bytes.nLength && i < 40; ++i) {
            std::snprintf(sz, sizeof sz, " %02X", bytes.pData[i]);
            str += sz;
        }
        return str;
    }
    default:
        return std::string();
    }
}

bool IsTrueText(const std::string& strText) {
    std::string str = Upper(std::string(platform::TrimAsciiSpace(std::string_view(strText).substr(0, 10))));
    static const char* const kTrue[] = {"T", "Y", "YES", "TRUE", "\xC4\xC0", "\xC8\xD1\xD2\xC8\xCD\xC0"};
    for (const char* psz : kTrue)
        if (str == psz)
            return true;
    return false;
}

TypedValue ParseTypedText(const std::string& strText, const dbf::DBFFieldInfo& field) {
    TypedValue result;
    std::string_view trimmed = platform::TrimAsciiSpace(strText);
    switch (field.cType) {
    case 'B':
    case 'F':
    case 'N': {
        if (trimmed.empty()) {
            result.value = dbf::FieldValue::MakeDouble(0);
            break;
        }
        // A number as the user's locale writes it, or as a field stores it
        // (a full stop for the decimals whatever the locale).
        try {
            result.value = dbf::FieldValue::MakeDouble(platform::TextToDouble(trimmed));
            break;
        } catch (const platform::CConversionError&) {
        }
        std::string strCopy(trimmed);
        char* pEnd = nullptr;
        std::strtod(strCopy.c_str(), &pEnd);
        double d = platform::ParseCDouble(trimmed.data(), trimmed.size());
        if (pEnd && *pEnd == '\0' && std::isfinite(d)) {
            result.value = dbf::FieldValue::MakeDouble(d);
            break;
        }
        result.strError = "\"" + std::string(trimmed) + "\" is not a number.";
        return result;
    }
    case 'I': {
        if (trimmed.empty()) {
            result.value = dbf::FieldValue::MakeInt32(0);
            break;
        }
        bool bOverflow = false;
        int64_t n = platform::ParseCInteger(trimmed.data(), trimmed.size(), &bOverflow);
        std::string strCopy(trimmed);
        char* pEnd = nullptr;
        std::strtoll(strCopy.c_str(), &pEnd, 10);
        if (bOverflow || !pEnd || *pEnd != '\0' || n < INT32_MIN || n > INT32_MAX) {
            result.strError = "\"" + std::string(trimmed) + "\" is not a whole number from -2147483648 to 2147483647.";
            return result;
        }
        result.value = dbf::FieldValue::MakeInt32(int32_t(n));
        break;
    }
    case 'C':
        result.value = dbf::FieldValue::MakeText(strText);
        break;
    case 'D':
    case 'T': {
        if (trimmed.empty())
            break;  // Empty: a blank date
        double d = 0;
        if (!platform::ParseDateText(trimmed, d)) {
            result.strError = "\"" + std::string(trimmed) + "\" is not a date.";
            return result;
        }
        result.value = dbf::FieldValue::MakeDate(d);
        break;
    }
    case 'L':
        result.value = dbf::FieldValue::MakeBool(IsTrueText(strText) ? 1 : 0);
        break;
    case 'Y': {
        if (trimmed.empty()) {
            result.value = dbf::FieldValue::MakeCurrency(0);
            break;
        }
        int64_t n = 0;
        if (!platform::ParseCurrency(trimmed, n)) {
            result.strError = "\"" + std::string(trimmed) + "\" is not an amount of money.";
            return result;
        }
        result.value = dbf::FieldValue::MakeCurrency(n);
        break;
    }
    default:
        result.strError = "A field of this type cannot be edited here.";
        return result;
    }
    result.bOk = true;
    return result;
}

}  // namespace cell_text
