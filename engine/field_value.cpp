// FieldValue construction and the coercion between its kinds.
#include "engine/field_value.h"

#include <cmath>

#include "platform/core/currency.h"
#include "platform/core/ole_date.h"
#include "platform/core/value_coercion.h"

namespace dbf {

namespace {

[[noreturn]] void Refuse(FieldKind eFrom, FieldKind eTo) {
    platform::ThrowConversionError(std::string("cannot convert ") + FieldKindName(eFrom) + " to " + FieldKindName(eTo));
}

int32_t CurrencyToInt32(int64_t n) {
    int64_t q = n / platform::kCurrencyScale;
    int64_t r = n % platform::kCurrencyScale;
    int64_t nHalf = platform::kCurrencyScale / 2;
    if (r > nHalf || (r == nHalf && (q & 1))) ++q;
    else if (r < -nHalf || (r == -nHalf && (q & 1))) --q;
    if (q < INT32_MIN || q > INT32_MAX) platform::ThrowConversionError("number out of the Int32 range");
    return int32_t(q);
}

}  // namespace

const char* FieldKindName(FieldKind eKind) {
    switch (eKind) {
    case FieldKind::Empty: return "Empty";
    case FieldKind::Null: return "Null";
    case FieldKind::Int32: return "Int32";
    case FieldKind::Double: return "Double";
    case FieldKind::Currency: return "Currency";
    case FieldKind::Date: return "Date";
    case FieldKind::Text: return "Text";
    case FieldKind::Bool: return "Bool";
    case FieldKind::SmtMemoRef: return "SmtMemoRef";
    case FieldKind::MemoRef: return "MemoRef";
    case FieldKind::Bytes: return "Bytes";
    }
    return "?";
}

FieldValue FieldValue::MakeNull() {
    FieldValue v;
    v.m_value = NullTag();
    return v;
}
FieldValue FieldValue::MakeInt32(int32_t n) {
    FieldValue v;
    v.m_value = n;
    return v;
}
FieldValue FieldValue::MakeDouble(double d) {
    FieldValue v;
    v.m_value = d;
    return v;
}
FieldValue FieldValue::MakeCurrency(int64_t nTenThousandths) {
    FieldValue v;
    v.m_value = CurrencyBox{nTenThousandths};
    return v;
}
FieldValue FieldValue::MakeDate(double dOleDate) {
    FieldValue v;
    v.m_value = DateBox{dOleDate};
    return v;
}
FieldValue FieldValue::MakeText(std::string str) {
    FieldValue v;
    v.m_value = std::move(str);
    return v;
}
FieldValue FieldValue::MakeBool(int16_t n) {
    FieldValue v;
    v.m_value = BoolBox{n};
    return v;
}
FieldValue FieldValue::MakeSmtMemoRef(uint32_t nLength, uint32_t nBlock) {
    FieldValue v;
    v.m_value = SmtMemoRef{nLength, nBlock};
    return v;
}
FieldValue FieldValue::MakeMemoRef(uint32_t nBlock) {
    FieldValue v;
    v.m_value = MemoRefBox{nBlock};
    return v;
}
FieldValue FieldValue::MakeBytes(const uint8_t* pData, uint32_t nLength) {
    FieldValue v;
    v.m_value = ByteView{pData, nLength};
    return v;
}

FieldKind FieldValue::GetKind() const {
    static const FieldKind kKinds[] = {FieldKind::Empty, FieldKind::Null,   FieldKind::Int32,      FieldKind::Double,
                                       FieldKind::Currency, FieldKind::Date, FieldKind::Text,       FieldKind::Bool,
                                       FieldKind::SmtMemoRef, FieldKind::MemoRef, FieldKind::Bytes};
    static_assert(std::size(kKinds) == std::variant_size_v<decltype(m_value)>);
    return kKinds[m_value.index()];
}

int32_t FieldValue::ToInt32(const platform::CUserLocale& locale) const {
    switch (GetKind()) {
    case FieldKind::Empty: return 0;
    case FieldKind::Int32: return GetInt32();
    case FieldKind::Double: return platform::DoubleToInt32(GetDouble());
    case FieldKind::Currency: return CurrencyToInt32(GetCurrency());
    case FieldKind::Date: return platform::DoubleToInt32(GetDate());
    case FieldKind::Text: return platform::TextToInt32(GetText(), locale);
    case FieldKind::Bool: return GetBool();
    case FieldKind::MemoRef:
        if (GetMemoRef() > uint32_t(INT32_MAX)) platform::ThrowConversionError("number out of the Int32 range");
        return int32_t(GetMemoRef());
    default: Refuse(GetKind(), FieldKind::Int32);
    }
}

double FieldValue::ToDouble(const platform::CUserLocale& locale) const {
    switch (GetKind()) {
    case FieldKind::Empty: return 0.0;
    case FieldKind::Int32: return GetInt32();
    case FieldKind::Double: return GetDouble();
    case FieldKind::Currency: return platform::CurrencyToDouble(GetCurrency());
    case FieldKind::Date: return GetDate();
    case FieldKind::Text: return platform::TextToDouble(GetText(), locale);
    case FieldKind::Bool: return GetBool();
    case FieldKind::MemoRef: return GetMemoRef();
    default: Refuse(GetKind(), FieldKind::Double);
    }
}

int64_t FieldValue::ToCurrency(const platform::CUserLocale& locale) const {
    switch (GetKind()) {
    case FieldKind::Empty: return 0;
    case FieldKind::Int32: return int64_t(GetInt32()) * platform::kCurrencyScale;
    case FieldKind::Double: return platform::CurrencyFromDouble(GetDouble());
    case FieldKind::Currency: return GetCurrency();
    case FieldKind::Date: return platform::CurrencyFromDouble(GetDate());
    case FieldKind::Text: return platform::TextToCurrency(GetText(), locale);
    case FieldKind::Bool: return int64_t(GetBool()) * platform::kCurrencyScale;
    case FieldKind::MemoRef: return int64_t(GetMemoRef()) * platform::kCurrencyScale;
    default: Refuse(GetKind(), FieldKind::Currency);
    }
}

double FieldValue::ToDate(const platform::CUserLocale& locale) const {
    switch (GetKind()) {
    case FieldKind::Empty: return 0.0;
    case FieldKind::Date: return platform::CheckOleDate(GetDate());
    case FieldKind::Text: return platform::TextToDate(GetText(), locale);
    case FieldKind::Int32:
    case FieldKind::Double:
    case FieldKind::Currency:
    case FieldKind::Bool:
    case FieldKind::MemoRef: return platform::CheckOleDate(ToDouble(locale));
    default: Refuse(GetKind(), FieldKind::Date);
    }
}

std::string FieldValue::ToText(const platform::CUserLocale& locale) const {
    switch (GetKind()) {
    case FieldKind::Empty: return std::string();
    case FieldKind::Int32: return platform::Int32ToText(GetInt32());
    case FieldKind::Double: return platform::DoubleToText(GetDouble(), locale);
    case FieldKind::Currency: return platform::FormatCurrency(GetCurrency(), locale);
    case FieldKind::Date: return platform::DateToText(GetDate(), locale);
    case FieldKind::Text: return GetText();
    case FieldKind::Bool: return platform::BoolToText(GetBool() != 0);
    case FieldKind::MemoRef: return std::to_string(GetMemoRef());
    default: Refuse(GetKind(), FieldKind::Text);
    }
}

bool FieldValue::ToBool(const platform::CUserLocale& locale) const {
    switch (GetKind()) {
    case FieldKind::Empty: return false;
    case FieldKind::Int32: return GetInt32() != 0;
    case FieldKind::Double: return GetDouble() != 0.0;
    case FieldKind::Currency: return GetCurrency() != 0;
    case FieldKind::Date: return GetDate() != 0.0;
    case FieldKind::Text: return platform::TextToBool(GetText(), locale);
    case FieldKind::Bool: return GetBool() != 0;
    case FieldKind::MemoRef: return GetMemoRef() != 0;
    default: Refuse(GetKind(), FieldKind::Bool);
    }
}

FieldValue FieldValue::CoercedTo(FieldKind eKind, const platform::CUserLocale& locale) const {
    const FieldKind eFrom = GetKind();
    if (eFrom == eKind) return *this;
    switch (eKind) {
    case FieldKind::Int32: return MakeInt32(ToInt32(locale));
    case FieldKind::Double: return MakeDouble(ToDouble(locale));
    case FieldKind::Currency: return MakeCurrency(ToCurrency(locale));
    case FieldKind::Date: return MakeDate(ToDate(locale));
    case FieldKind::Text: return MakeText(ToText(locale));
    case FieldKind::Bool: return MakeBool(ToBool(locale) ? 1 : 0);
    case FieldKind::MemoRef: {
        if (eFrom == FieldKind::Empty) return MakeMemoRef(0);
        if (eFrom == FieldKind::Null || eFrom == FieldKind::SmtMemoRef || eFrom == FieldKind::Bytes)
            Refuse(eFrom, eKind);
        double d = std::nearbyint(ToDouble(locale));
        if (!(d >= 0 && d <= 4294967295.0)) platform::ThrowConversionError("number out of the MemoRef range");
        return MakeMemoRef(uint32_t(d));
    }
    default: Refuse(eFrom, eKind);
    }
}

}  // namespace dbf
