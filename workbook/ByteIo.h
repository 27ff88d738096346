#pragma once

// Little-endian access to raw bytes. The callers check the bounds; these only move bytes.

#include <cstdint>
#include <cstring>
#include <vector>

namespace tv::bytes {

inline uint16_t U16(const uint8_t* p) {
    return uint16_t(p[0] | (p[1] << 8));
}
inline uint32_t U32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
inline uint64_t U64(const uint8_t* p) {
    return uint64_t(U32(p)) | (uint64_t(U32(p + 4)) << 32);
}
inline double F64(const uint8_t* p) {
    uint64_t bits = U64(p);
    double d;
    std::memcpy(&d, &bits, 8);
    return d;
}

inline void Put16(uint8_t* p, uint16_t v) {
    p[0] = uint8_t(v);
    p[1] = uint8_t(v >> 8);
}
inline void Put32(uint8_t* p, uint32_t v) {
    Put16(p, uint16_t(v));
    Put16(p + 2, uint16_t(v >> 16));
}
inline void Put64(uint8_t* p, uint64_t v) {
    Put32(p, uint32_t(v));
    Put32(p + 4, uint32_t(v >> 32));
}
inline void PutF64(uint8_t* p, double d) {
    uint64_t bits;
    std::memcpy(&bits, &d, 8);
    Put64(p, bits);
}

} // namespace tv::bytes
