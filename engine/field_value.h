// FieldValue: the tagged value in which every field's contents cross the
// engine's border. Its kinds and their numbers are those of the automation
// variant the program was first built on, because callers store and test the
// numbers. Conversions between kinds follow the automation coercion rules by
// the user's locale and raise platform::CConversionError when they fail.
#pragma once

#include <cstdint>
#include <string>
#include <variant>

#include "platform/core/conversion_error.h"
#include "platform/core/user_locale.h"

namespace dbf {

enum class FieldKind : uint16_t {
    Empty = 0,
    Null = 1,
    Int32 = 3,
    Double = 5,
    Currency = 6,
    Date = 7,
    Text = 8,
    Bool = 11,
    SmtMemoRef = 14,
    MemoRef = 19,
    Bytes = 0x4011,
};

// The reference of an .SMT memo: its length and its first block.
struct SmtMemoRef {
    uint32_t nLength = 0;
    uint32_t nBlock = 0;
    bool operator==(const SmtMemoRef&) const = default;
};

// Bytes owned by someone else (the record cursor's binary memo buffer, or the
// record buffer of a wide null-flags field); valid only as long as that owner
// keeps them.
struct ByteView {
    const uint8_t* pData = nullptr;
    uint32_t nLength = 0;
    bool operator==(const ByteView&) const = default;
};

class FieldValue {
public:
    FieldValue() = default;  // Empty

    static FieldValue MakeNull();
    static FieldValue MakeInt32(int32_t n);
    static FieldValue MakeDouble(double d);
    static FieldValue MakeCurrency(int64_t nTenThousandths);
    static FieldValue MakeDate(double dOleDate);
    static FieldValue MakeText(std::string str);
    static FieldValue MakeBool(int16_t n);  // the engine's true is 1
    static FieldValue MakeSmtMemoRef(uint32_t nLength, uint32_t nBlock);
    static FieldValue MakeMemoRef(uint32_t nBlock);
    static FieldValue MakeBytes(const uint8_t* pData, uint32_t nLength);

    FieldKind GetKind() const;
    unsigned GetTypeCode() const { return unsigned(GetKind()); }
    bool IsEmpty() const { return GetKind() == FieldKind::Empty; }
    bool IsNull() const { return GetKind() == FieldKind::Null; }
    void Clear() { m_value = std::monostate(); }

    // The payload; the kind must match (std::bad_variant_access otherwise).
    int32_t GetInt32() const { return std::get<int32_t>(m_value); }
    double GetDouble() const { return std::get<double>(m_value); }
    int64_t GetCurrency() const { return std::get<CurrencyBox>(m_value).n; }
    double GetDate() const { return std::get<DateBox>(m_value).d; }
    const std::string& GetText() const { return std::get<std::string>(m_value); }
    int16_t GetBool() const { return std::get<BoolBox>(m_value).n; }
    SmtMemoRef GetSmtMemoRef() const { return std::get<SmtMemoRef>(m_value); }
    uint32_t GetMemoRef() const { return std::get<MemoRefBox>(m_value).n; }
    ByteView GetBytes() const { return std::get<ByteView>(m_value); }

    // Coercion. Empty gives 0, empty text, false or 1899-12-30; Null and the
    // memo kinds that have no such value raise, as does text that does not
    // parse or a number out of the target's range.
    int32_t ToInt32(const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    double ToDouble(const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    int64_t ToCurrency(const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    double ToDate(const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    std::string ToText(const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    bool ToBool(const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    // A copy of the value as another kind. Coercing to its own kind copies;
    // Empty and Null may be asked for only from themselves.
    FieldValue CoercedTo(FieldKind eKind, const platform::CUserLocale& locale = platform::CUserLocale::Current()) const;
    void ChangeKind(FieldKind eKind, const platform::CUserLocale& locale = platform::CUserLocale::Current()) {
        *this = CoercedTo(eKind, locale);
    }

    bool operator==(const FieldValue& other) const = default;

private:
    struct NullTag {
        bool operator==(const NullTag&) const = default;
    };
    struct CurrencyBox {
        int64_t n;
        bool operator==(const CurrencyBox&) const = default;
    };
    struct DateBox {
        double d;
        bool operator==(const DateBox&) const = default;
    };
    struct BoolBox {
        int16_t n;
        bool operator==(const BoolBox&) const = default;
    };
    struct MemoRefBox {
        uint32_t n;
        bool operator==(const MemoRefBox&) const = default;
    };
    // Order matters: GetKind maps the index to the kind.
    std::variant<std::monostate, NullTag, int32_t, double, CurrencyBox, DateBox, std::string, BoolBox, SmtMemoRef,
                 MemoRefBox, ByteView>
        m_value;
};

// The name of a kind, for messages and tests ("Int32", "Text").
const char* FieldKindName(FieldKind eKind);

}  // namespace dbf
