// Visual FoxPro's null flags: a table with nullable fields has a system field
// "_NullFlags" (type '0') whose bits say which fields of a record hold NULL.
// Fields flagged nullable (descriptor byte 18, bit 0x02) take one bit each,
// in field order; varchar and varbinary fields (V, Q) take one more for
// their length, after their null bit. Other programs read a field whose bit
// is set as NULL whatever its bytes hold.
#pragma once

#include <cstdint>
#include <vector>

#include "engine/dbf_format.h"

namespace dbf {

constexpr uint8_t kFieldFlagSystem = 0x01;
constexpr uint8_t kFieldFlagNullable = 0x02;

class CNullFlags {
public:
    CNullFlags() = default;
    // Maps the fields of a list; a table without a null-flags field maps none.
    CNullFlags(const DBFFieldDesc* pDesc, int nFields);

    bool IsEmpty() const { return m_nFlagsField < 0; }
    // Whether field nField is NULL in the record (false for fields without a
    // bit, or a bit beyond the null-flags field's bytes).
    bool IsNull(const uint8_t* pRecord, int nField) const;
    // Sets or clears the field's bit; nothing for a field without one.
    void SetNull(uint8_t* pRecord, int nField, bool bNull) const;

private:
    bool Locate(int nField, uint32_t& nByte, uint8_t& nMask) const;

    int m_nFlagsField = -1;
    uint32_t m_nFlagsOffset = 0;
    uint32_t m_nFlagsWidth = 0;
    std::vector<int> m_bits;  // per field: its null bit, or -1
};

}  // namespace dbf
