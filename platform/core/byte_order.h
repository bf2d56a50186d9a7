// Reading and writing fixed-size integers stored in file bytes, in either byte
// order, without alignment or aliasing assumptions.
#pragma once

#include <cstdint>
#include <cstring>

namespace platform {

inline uint16_t GetLE16(const void* p) {
    auto* b = static_cast<const uint8_t*>(p);
    return uint16_t(b[0] | (b[1] << 8));
}
inline uint32_t GetLE32(const void* p) {
    auto* b = static_cast<const uint8_t*>(p);
    return uint32_t(b[0]) | (uint32_t(b[1]) << 8) | (uint32_t(b[2]) << 16) | (uint32_t(b[3]) << 24);
}
inline uint64_t GetLE64(const void* p) {
    auto* b = static_cast<const uint8_t*>(p);
    return uint64_t(GetLE32(b)) | (uint64_t(GetLE32(b + 4)) << 32);
}
inline uint16_t GetBE16(const void* p) {
    auto* b = static_cast<const uint8_t*>(p);
    return uint16_t((b[0] << 8) | b[1]);
}
inline uint32_t GetBE32(const void* p) {
    auto* b = static_cast<const uint8_t*>(p);
    return (uint32_t(b[0]) << 24) | (uint32_t(b[1]) << 16) | (uint32_t(b[2]) << 8) | uint32_t(b[3]);
}

inline uint64_t GetBE64(const void* p) {
    return (uint64_t(GetBE32(p)) << 32) | GetBE32(static_cast<const uint8_t*>(p) + 4);
}

inline void PutLE16(void* p, uint16_t v) {
    auto* b = static_cast<uint8_t*>(p);
    b[0] = uint8_t(v);
    b[1] = uint8_t(v >> 8);
}
inline void PutLE32(void* p, uint32_t v) {
    auto* b = static_cast<uint8_t*>(p);
    for (int i = 0; i < 4; ++i) b[i] = uint8_t(v >> (8 * i));
}
inline void PutLE64(void* p, uint64_t v) {
    auto* b = static_cast<uint8_t*>(p);
    PutLE32(b, uint32_t(v));
    PutLE32(b + 4, uint32_t(v >> 32));
}
inline void PutBE16(void* p, uint16_t v) {
    auto* b = static_cast<uint8_t*>(p);
    b[0] = uint8_t(v >> 8);
    b[1] = uint8_t(v);
}
inline void PutBE32(void* p, uint32_t v) {
    auto* b = static_cast<uint8_t*>(p);
    for (int i = 0; i < 4; ++i) b[i] = uint8_t(v >> (24 - 8 * i));
}

inline double GetLEDouble(const void* p) {
    uint64_t u = GetLE64(p);
    double d;
    std::memcpy(&d, &u, sizeof d);
    return d;
}
inline void PutLEDouble(void* p, double d) {
    uint64_t u;
    std::memcpy(&u, &d, sizeof u);
    PutLE64(p, u);
}

}  // namespace platform
