// ReadFieldValue and WriteFieldValue: the encodings of every field type.
#include "engine/field_io.h"

#include <cmath>
#include <cstring>
#include <vector>

#include "engine/dbf_exception.h"
#include "platform/core/byte_order.h"
#include "platform/core/ole_date.h"
#include "platform/core/value_coercion.h"

namespace dbf {

namespace {

// The field's bytes inside the record, checked against the record's length
// with the descriptor's layout width, which covers every byte the encodings
// below touch.
struct FieldBytes {
    uint32_t nOffset;
    uint32_t nByteWidth;  // descriptor byte 16
    uint32_t nWordWidth;  // bytes 16-17
    uint32_t nLayoutWidth;
};

FieldBytes Locate(size_t nRecordLength, const DBFFieldDesc& desc) {
    FieldBytes f{desc.GetDisplacement(), desc.width, uint32_t(desc.width | (desc.decimals << 8)),
                 desc.GetLayoutWidth()};
    if (f.nOffset > nRecordLength || f.nLayoutWidth > nRecordLength - f.nOffset) ThrowError(errNotDbfFile);
    return f;
}

// ---- Reading ----

FieldValue ReadCharacter(const uint8_t* p, const FieldBytes& f, const DBFFieldDesc& desc) {
    const char* psz = reinterpret_cast<const char*>(p);
    size_t n = strnlen(psz, f.nWordWidth);
    if (desc.flags != kFieldFlagBinary)
        while (n > 0 && platform::IsAsciiSpace(psz[n - 1])) --n;
    return FieldValue::MakeText(std::string(psz, n));
}

int DatePart(const uint8_t* p, uint32_t nWidth, uint32_t nStart, uint32_t nLength) {
    if (nStart >= nWidth) return 0;
    uint32_t n = nLength < nWidth - nStart ? nLength : nWidth - nStart;
    int64_t v = platform::ParseCInteger(reinterpret_cast<const char*>(p + nStart), n);
    return v < 0 || v > 99999 ? 0 : int(v);
}

FieldValue ReadDate(const uint8_t* p, const FieldBytes& f) {
    int nYear = DatePart(p, f.nWordWidth, 0, 4);
    int nMonth = DatePart(p, f.nWordWidth, 4, 2);
    int nDay = DatePart(p, f.nWordWidth, 6, 2);
    double d;
    if (!platform::MakeOleDate(nYear, nMonth, nDay, 0, 0, 0, d)) return FieldValue();
    return FieldValue::MakeDate(d);
}

FieldValue ReadDateTime(const uint8_t* p, const FieldBytes& f) {
    if (f.nWordWidth < 8) return FieldValue();
    int32_t nJulian = int32_t(platform::GetLE32(p));
    int32_t nMillis = int32_t(platform::GetLE32(p + 4));
    if (nJulian < platform::kJulianDayOfYearOne) return FieldValue();
    // The +1 lets a time 1 ms short of a second count as that second.
    int64_t nSeconds = (int64_t(nMillis) + 1) / 1000;
    double d;
    if (!platform::OleDateFromDaysAndSeconds(int64_t(nJulian) - platform::kJulianDayOfOleZero, nSeconds, d))
        return FieldValue();
    return FieldValue::MakeDate(d);
}

FieldValue ReadMemoReference(const uint8_t* p, const FieldBytes& f, bool bSmtAllowed) {
    if (bSmtAllowed && f.nByteWidth == 10 && int8_t(p[0]) <= 8 && p[1] == 0)
        return FieldValue::MakeSmtMemoRef(platform::GetLE32(p + 2), platform::GetLE32(p + 6));
    if (f.nByteWidth == 4) return FieldValue::MakeMemoRef(platform::GetLE32(p));
    if (f.nByteWidth == 10) {
        bool bOverflow = false;
        int64_t n = platform::ParseCInteger(reinterpret_cast<const char*>(p), 10, &bOverflow);
        // A number no block can have points nowhere; the memo file refuses it
        // rather than the reference silently wrapping onto another memo.
        if (bOverflow || n < 0 || n > int64_t(UINT32_MAX)) return FieldValue::MakeMemoRef(UINT32_MAX);
        return FieldValue::MakeMemoRef(uint32_t(n));
    }
    return FieldValue::MakeMemoRef(0);
}

FieldValue ReadNullFlags(const uint8_t* p, const FieldBytes& f) {
    // Wider null flags (more than 32 nullable fields) stay whole as bytes, so
    // that copying the field keeps every flag.
    if (f.nByteWidth > 4) return FieldValue::MakeBytes(p, f.nByteWidth);
    uint32_t n = 0;
    for (uint32_t i = 0; i < f.nByteWidth; ++i) n |= uint32_t(p[i]) << (8 * i);
    return FieldValue::MakeMemoRef(n);
}

// ---- Writing ----

// The text of a number for an N or F field of width nWidth: the field's
// decimals if they fit, fewer decimals (rounded) if only those fit, and a
// refusal when even the whole part does not fit. A cut would store another
// number.
std::string NumberText(double d, uint32_t nWidth, unsigned nDecimals) {
    if (!std::isfinite(d)) platform::ThrowConversionError("not a finite number");
    for (int k = int(nDecimals); k >= 0; --k) {
        std::string str = platform::FormatFixed(d, unsigned(k));
        if (!str.empty() && str[0] == '-' && str.find_first_not_of("-0.") == std::string::npos) str.erase(0, 1);
        if (str.size() <= nWidth) return str;
    }
    platform::ThrowConversionError("the number " + platform::FormatFixed(d, nDecimals) + " is too wide for a field of " +
                                   std::to_string(nWidth) + " characters");
}

// Text for an N or F field: rounded as the decimal number it spells.
std::string TypedNumberText(const std::string& strText, uint32_t nWidth, unsigned nDecimals,
                            const platform::CUserLocale& locale) {
    std::string strOut, strError;
    if (!platform::FormatTypedNumber(strText, nWidth, nDecimals, strOut, strError, locale))
        platform::ThrowConversionError(strError);
    return strOut;
}

// Text for an L field: the letters its programs store and people type (T, Y
// true; F, N false; any letter case), '?' and blanks for no value (-1), and
// otherwise the automation's words and numbers.
int LogicalOfText(const std::string& strText, const platform::CUserLocale& locale) {
    const std::string_view s = platform::TrimAsciiSpace(strText);
    if (s.empty() || s == "?") return -1;
    if (s.size() == 1) {
        switch (s[0]) {
        case 'T': case 't': case 'Y': case 'y': return 1;
        case 'F': case 'f': case 'N': case 'n': return 0;
        default: break;
        }
    }
    return platform::TextToBool(s, locale) ? 1 : 0;
}

// The day a D or T field stores: a Date as it is, any other value through
// its text and the locale's date parser. False when the text is not a date.
bool DateToStore(const FieldValue& value, const platform::CUserLocale& locale, platform::DateTimeParts& parts) {
    double d;
    if (value.GetKind() == FieldKind::Date) {
        d = value.GetDate();
    } else if (!platform::ParseDateText(value.ToText(locale), d, locale)) {
        return false;
    }
    if (!platform::SplitOleDate(d, parts)) platform::ThrowConversionError("date outside the years 1 to 9999");
    return true;
}

void PutDigitsEndingAt(uint8_t* pBuffer, size_t nEnd, int nValue) {
    for (size_t i = nEnd; nValue > 0 && i > 0; --i, nValue /= 10) pBuffer[i - 1] = uint8_t('0' + nValue % 10);
}

void WriteMemoReference(uint8_t* p, const FieldBytes& f, const FieldValue& value) {
    if (value.GetKind() == FieldKind::MemoRef && f.nByteWidth == 4) {
        platform::PutLE32(p, value.GetMemoRef());
    } else if (value.GetKind() == FieldKind::MemoRef && f.nByteWidth == 10) {
        std::memset(p, ' ', 10);
        if (uint32_t nBlock = value.GetMemoRef()) {
            std::string str = std::to_string(nBlock);
            std::memcpy(p + 10 - str.size(), str.data(), str.size());
        }
    } else if (value.GetKind() == FieldKind::SmtMemoRef && f.nByteWidth == 10) {
        SmtMemoRef ref = value.GetSmtMemoRef();
        if (ref.nBlock == 0) ref = SmtMemoRef();
        p[0] = ref.nBlock ? 8 : 0;
        p[1] = 0;
        platform::PutLE32(p + 2, ref.nLength);
        platform::PutLE32(p + 6, ref.nBlock);
    }
}

}  // namespace

uint32_t MemoBlockOf(const FieldValue& ref, uint32_t* pnLength) {
    if (pnLength) *pnLength = 0;
    if (ref.GetKind() == FieldKind::MemoRef) return ref.GetMemoRef();
    if (ref.GetKind() != FieldKind::SmtMemoRef) return 0;
    if (pnLength) *pnLength = ref.GetSmtMemoRef().nLength;
    return ref.GetSmtMemoRef().nBlock;
}

uint32_t ReadFieldValue(std::span<const uint8_t> record, const DBFFieldDesc& desc, FieldValue& value) {
    value.Clear();
    const FieldBytes f = Locate(record.size(), desc);
    // An empty record may have no buffer at all; a field of width 0 there
    // still gets a valid (empty) place to read from.
    static const uint8_t kNoBytes[1] = {};
    const uint8_t* p = record.data() ? record.data() + f.nOffset : kNoBytes;
    switch (desc.type) {
    case 'C': value = ReadCharacter(p, f, desc); break;
    case 'N':
    case 'F': value = FieldValue::MakeDouble(platform::ParseCDouble(reinterpret_cast<const char*>(p), f.nByteWidth)); break;
    case 'D': value = ReadDate(p, f); break;
    case 'T': value = ReadDateTime(p, f); break;
    case 'I':
        if (f.nByteWidth >= 4) value = FieldValue::MakeInt32(int32_t(platform::GetLE32(p)));
        break;
    case 'Y':
        if (f.nByteWidth >= 8) value = FieldValue::MakeCurrency(int64_t(platform::GetLE64(p)));
        break;
    case 'L': {
        uint8_t c = f.nWordWidth ? p[0] : 0;
        value = FieldValue::MakeBool(c == 'T' || c == 't' || c == 'Y' || c == 'y' ? 1 : 0);
        break;
    }
    case 'B':
        if (f.nByteWidth == 8) value = FieldValue::MakeDouble(platform::GetLEDouble(p));
        else value = ReadMemoReference(p, f, true);
        break;
    case 'M': value = ReadMemoReference(p, f, true); break;
    case 'G':
    case 'P': value = ReadMemoReference(p, f, false); break;
    case '0': value = ReadNullFlags(p, f); break;
    default: value = FieldValue::MakeText(std::string(reinterpret_cast<const char*>(p), f.nByteWidth)); break;
    }
    return f.nLayoutWidth;
}

void WriteFieldValue(std::span<uint8_t> record, const DBFFieldDesc& desc, const FieldValue& value,
                     const platform::CUserLocale& locale) {
    const FieldBytes f = Locate(record.size(), desc);
    if (f.nLayoutWidth == 0) return;  // nowhere to store anything
    uint8_t* p = record.data() + f.nOffset;
    const bool bNull = value.IsNull();
    switch (desc.type) {
    case 'C': {
        // Converted before the field is touched, so a refusal keeps the old text.
        std::string str = bNull ? std::string() : value.ToText(locale);
        std::memset(p, ' ', f.nWordWidth);
        size_t n = str.size() < f.nWordWidth ? str.size() : f.nWordWidth;
        size_t nText = strnlen(str.data(), n);
        std::memcpy(p, str.data(), nText);
        std::memset(p + nText, 0, n - nText);
        break;
    }
    case 'N':
    case 'F': {
        if (f.nByteWidth == 0) break;
        std::string str = bNull ? std::string()
                          : value.GetKind() == FieldKind::Text
                              ? TypedNumberText(value.GetText(), f.nByteWidth, desc.decimals, locale)
                              : NumberText(value.ToDouble(locale), f.nByteWidth, desc.decimals);
        std::memset(p, ' ', f.nByteWidth);
        std::memcpy(p + f.nByteWidth - str.size(), str.data(), str.size());
        break;
    }
    case 'D':
    case 'T': {
        platform::DateTimeParts parts;
        if (!DateToStore(value, locale, parts)) {
            // A blank date is spaces; a blank date-time is eight zero bytes,
            // which every reader of date-times takes for "no value" (spaces
            // are a day far beyond the year 9999 to them, or an error).
            std::memset(p, desc.type == 'D' ? ' ' : 0, f.nWordWidth);
            break;
        }
        uint8_t buffer[8];
        if (desc.type == 'D') {
            std::memset(buffer, '0', sizeof buffer);
            PutDigitsEndingAt(buffer, 4, parts.nYear);
            PutDigitsEndingAt(buffer, 6, parts.nMonth);
            PutDigitsEndingAt(buffer, 8, parts.nDay);
        } else {
            int64_t nDays = platform::DaysFromCivil(parts.nYear, parts.nMonth, parts.nDay);
            platform::PutLE32(buffer, uint32_t(int32_t(nDays + platform::kJulianDayOfOleZero)));
            platform::PutLE32(buffer + 4, uint32_t((parts.nHour * 3600 + parts.nMinute * 60 + parts.nSecond) * 1000));
        }
        std::memset(p, desc.type == 'D' ? '0' : 0, f.nWordWidth);
        std::memcpy(p, buffer, f.nWordWidth < 8 ? f.nWordWidth : 8);
        break;
    }
    case 'I': {
        uint8_t buffer[4] = {};
        if (!bNull) platform::PutLE32(buffer, uint32_t(value.ToInt32(locale)));
        std::memset(p, 0, f.nByteWidth);
        std::memcpy(p, buffer, f.nByteWidth < 4 ? f.nByteWidth : 4);
        break;
    }
    case 'Y': {
        uint8_t buffer[8] = {};
        if (!bNull) platform::PutLE64(buffer, uint64_t(value.ToCurrency(locale)));
        std::memset(p, 0, f.nByteWidth);
        std::memcpy(p, buffer, f.nByteWidth < 8 ? f.nByteWidth : 8);
        break;
    }
    case 'L': {
        if (f.nWordWidth == 0) break;
        if (bNull) {
            std::memset(p, ' ', f.nWordWidth);
            break;
        }
        // Only the engine's own true (1) is stored as T; a Bool keeps its number.
        int nLogical = value.GetKind() == FieldKind::Bool ? (value.GetBool() == 1 ? 1 : 0)
                       : value.GetKind() == FieldKind::Text ? LogicalOfText(value.GetText(), locale)
                                                            : (value.ToBool(locale) ? 1 : 0);
        if (nLogical < 0) {
            std::memset(p, ' ', f.nWordWidth);
            break;
        }
        std::memset(p, 0, f.nWordWidth);
        p[0] = nLogical ? 'T' : 'F';
        break;
    }
    case 'B':
        if (f.nByteWidth == 8) {
            uint8_t buffer[8] = {};
            if (!bNull) platform::PutLEDouble(buffer, value.ToDouble(locale));
            std::memcpy(p, buffer, 8);
        } else {
            WriteMemoReference(p, f, value);
        }
        break;
    case 'M':
    case 'G':
    case 'P': WriteMemoReference(p, f, value); break;
    case '0': {
        // Bytes may point into this very field, so they are taken before it is cleared.
        std::vector<uint8_t> flags(f.nByteWidth, 0);
        if (value.GetKind() == FieldKind::MemoRef) {
            uint32_t n = value.GetMemoRef();
            for (uint32_t i = 0; i < f.nByteWidth && i < 4; ++i) flags[i] = uint8_t(n >> (8 * i));
        } else if (value.GetKind() == FieldKind::Bytes && value.GetBytes().pData) {
            ByteView bytes = value.GetBytes();
            std::memcpy(flags.data(), bytes.pData, bytes.nLength < f.nByteWidth ? bytes.nLength : f.nByteWidth);
        }
        if (!flags.empty()) std::memcpy(p, flags.data(), flags.size());
        break;
    }
    default: break;
    }
}

}  // namespace dbf
