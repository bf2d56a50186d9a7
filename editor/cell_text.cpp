// Cell texts.
#include "editor/cell_text.h"

#include <cinttypes>
#include <cstdio>

#include "platform/core/currency.h"
#include "platform/core/ole_date.h"
#include "platform/core/value_coercion.h"

namespace cell_text {

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

}  // namespace cell_text
