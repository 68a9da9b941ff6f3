// Little-endian numbers in byte buffers, whatever the machine's order.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace image::le {

inline std::uint16_t u16(const std::byte *p)
{
    return std::uint16_t(std::uint16_t(p[0]) | std::uint16_t(std::uint16_t(p[1]) << 8));
}
inline std::uint32_t u32(const std::byte *p) { return std::uint32_t(u16(p)) | std::uint32_t(u16(p + 2)) << 16; }
inline std::uint64_t u64(const std::byte *p) { return std::uint64_t(u32(p)) | std::uint64_t(u32(p + 4)) << 32; }
inline std::int32_t i32(const std::byte *p) { return std::int32_t(u32(p)); }
inline float f32(const std::byte *p)
{
    const std::uint32_t bits = u32(p);
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}
// An unsigned number of 1 to 8 bytes.
inline std::uint64_t unsignedOf(const std::byte *p, std::size_t bytes)
{
    std::uint64_t value = 0;
    for (std::size_t i = bytes; i-- > 0;)
        value = value << 8 | std::uint64_t(p[i]);
    return value;
}

inline void put16(std::byte *p, std::uint16_t v)
{
    p[0] = std::byte(v & 0xFF);
    p[1] = std::byte(v >> 8);
}
inline void put32(std::byte *p, std::uint32_t v)
{
    put16(p, std::uint16_t(v & 0xFFFF));
    put16(p + 2, std::uint16_t(v >> 16));
}
inline void put64(std::byte *p, std::uint64_t v)
{
    put32(p, std::uint32_t(v & 0xFFFFFFFF));
    put32(p + 4, std::uint32_t(v >> 32));
}

} // namespace image::le
