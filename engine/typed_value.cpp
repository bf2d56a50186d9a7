// Typed text to field values, with the checks a person's input deserves.
#include "engine/typed_value.h"

#include "engine/field_copy.h"
#include "engine/table_def.h"
#include "platform/core/currency.h"
#include "platform/core/ole_date.h"
#include "platform/core/table_code_page.h"
#include "platform/core/value_coercion.h"

namespace dbf {

namespace {

TypedValue Accepted(FieldValue value) { return TypedValue{std::move(value), std::string()}; }

TypedValue Refused(const DBFFieldDesc& desc, const std::string& strWhy) {
    return TypedValue{FieldValue(), "Field " + desc.GetName() + ": " + strWhy};
}

// I, Y and B(8) through the locale's number conversions.
template <class F>
TypedValue Number(const DBFFieldDesc& desc, std::string_view s, F fnConvert) {
    try {
        return Accepted(fnConvert(s));
    } catch (const platform::CConversionError& e) {
        return Refused(desc, e.what());
    }
}

}  // namespace

TypedValue ValueFromTypedText(const DBFFieldDesc& desc, std::string_view strText, const TypedTextOptions& options) {
    const platform::CUserLocale& locale = options.pLocale ? *options.pLocale : platform::CUserLocale::Current();
    const std::string_view s = platform::TrimAsciiSpace(strText);
    const bool bBlank = s.empty();
    switch (desc.type) {
    case 'N':
    case 'F': {
        if (bBlank) return Accepted(FieldValue::MakeNull());
        std::string strDigits, strError;
        if (!platform::FormatTypedNumber(s, desc.width, desc.decimals, strDigits, strError, locale))
            return Refused(desc, strError);
        // The text itself goes on: WriteFieldValue rounds it the same way.
        return Accepted(FieldValue::MakeText(std::string(s)));
    }
    case 'D':
    case 'T': {
        double dDate = 0;
        std::string strError;
        switch (platform::ParseTypedDate(s, desc.type == 'T', dDate, strError, locale)) {
        case platform::TypedDate::blank: return Accepted(FieldValue());
        case platform::TypedDate::date: return Accepted(FieldValue::MakeDate(dDate));
        case platform::TypedDate::refused: return Refused(desc, strError);
        }
        return Refused(desc, strError);
    }
    case 'L': {
        if (bBlank || s == "?") return Accepted(FieldValue::MakeNull());
        if (s.size() == 1) {
            switch (s[0]) {
            case 'T': case 't': case 'Y': case 'y': return Accepted(FieldValue::MakeBool(1));
            case 'F': case 'f': case 'N': case 'n': return Accepted(FieldValue::MakeBool(0));
            default: break;
            }
        }
        if (platform::EqualsNoCase(s, "true") || platform::EqualsNoCase(s, "yes"))
            return Accepted(FieldValue::MakeBool(1));
        if (platform::EqualsNoCase(s, "false") || platform::EqualsNoCase(s, "no"))
            return Accepted(FieldValue::MakeBool(0));
        return Refused(desc, "\"" + std::string(strText) +
                                 "\" is not a logical value: type T or F (Y or N), or ? for none");
    }
    case 'I':
        if (bBlank) return Accepted(FieldValue::MakeNull());
        return Number(desc, s, [&](std::string_view t) {
            return FieldValue::MakeInt32(platform::TextToInt32(t, locale));
        });
    case 'Y':
        if (bBlank) return Accepted(FieldValue::MakeNull());
        return Number(desc, s, [&](std::string_view t) {
            return FieldValue::MakeCurrency(platform::TextToCurrency(t, locale));
        });
    case 'B':
        if (IsBinaryMemoField(desc)) break;
        if (bBlank) return Accepted(FieldValue::MakeNull());
        return Number(desc, s, [&](std::string_view t) {
            return FieldValue::MakeDouble(platform::TextToDouble(t, locale));
        });
    case 'M': return Accepted(FieldValue::MakeText(std::string(strText)));
    case 'G':
    case 'P':
    case '0': break;
    default: {
        // Text, cut where the field ends; whole text at a character boundary.
        const size_t nWidth = desc.GetLayoutWidth();
        size_t n = strText.size();
        if (n > nWidth)
            n = options.strWholeText.empty() ? nWidth
                                             : platform::CharacterBoundaryCut(options.strWholeText, strText, nWidth);
        return Accepted(FieldValue::MakeText(std::string(strText.substr(0, n))));
    }
    }
    return Refused(desc, desc.type == '0' ? "the null flags are the table's own and cannot be written"
                                          : "it holds binary data (a picture or an object), which cannot be typed");
}

bool CanWriteField(const CDBFTableDef& table, int nField, std::string* pstrWhy) {
    auto no = [&](const std::string& strWhy) {
        if (pstrWhy) *pstrWhy = strWhy;
        return false;
    };
    if (!table.IsOpen()) return no("the table is not open");
    if (nField < 0 || nField >= table.GetFieldCount()) return no("the table has no such field");
    const DBFFieldDesc& desc = table.GetFieldDesc(nField);
    const std::string strName = "field " + desc.GetName() + " cannot be written: ";
    if (table.IsSalvaged()) return no(strName + "the table is damaged and was opened to be read only");
    if ((table.GetOpenFlags() & 3) == platform::modeRead) return no(strName + "the table is open for reading only");
    if (desc.type == '0') return no(strName + "the null flags are the table's own");
    if (IsBinaryMemoField(desc)) return no(strName + "it holds binary data (a picture or an object)");
    if (desc.type == 'M') {
        if (!table.HasOpenMemo()) return no(strName + "the table's memo file is missing or could not be opened");
        if (desc.width != 4 && desc.width != 10) return no(strName + "its reference has no room for a block number");
    }
    return true;
}

}  // namespace dbf
