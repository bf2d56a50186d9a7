// The null-flag bits of Visual FoxPro records.
#include "engine/null_flags.h"

namespace dbf {

CNullFlags::CNullFlags(const DBFFieldDesc* pDesc, int nFields) {
    for (int i = 0; i < nFields; ++i) {
        if (pDesc[i].type == '0') {
            m_nFlagsField = i;
            m_nFlagsOffset = pDesc[i].GetDisplacement();
            m_nFlagsWidth = pDesc[i].GetLayoutWidth();
            break;
        }
    }
    if (m_nFlagsField < 0) return;
    m_bits.assign(size_t(nFields), -1);
    int nBit = 0;
    for (int i = 0; i < nFields; ++i) {
        const DBFFieldDesc& desc = pDesc[i];
        if (desc.type == '0') continue;
        if (desc.flags & kFieldFlagNullable) m_bits[size_t(i)] = nBit++;
        if (desc.type == 'V' || desc.type == 'Q') ++nBit;
    }
}

bool CNullFlags::Locate(int nField, uint32_t& nByte, uint8_t& nMask) const {
    if (m_nFlagsField < 0 || nField < 0 || size_t(nField) >= m_bits.size() || m_bits[size_t(nField)] < 0) return false;
    const uint32_t nBit = uint32_t(m_bits[size_t(nField)]);
    if (nBit / 8 >= m_nFlagsWidth) return false;
    nByte = m_nFlagsOffset + nBit / 8;
    nMask = uint8_t(1u << (nBit % 8));
    return true;
}

bool CNullFlags::IsNull(const uint8_t* pRecord, int nField) const {
    uint32_t nByte;
    uint8_t nMask;
    return pRecord && Locate(nField, nByte, nMask) && (pRecord[nByte] & nMask) != 0;
}

void CNullFlags::SetNull(uint8_t* pRecord, int nField, bool bNull) const {
    uint32_t nByte;
    uint8_t nMask;
    if (!pRecord || !Locate(nField, nByte, nMask)) return;
    pRecord[nByte] = uint8_t(bNull ? pRecord[nByte] | nMask : pRecord[nByte] & ~nMask);
}

}  // namespace dbf
