#pragma once

#include <array>
#include <cstdint>

namespace zuv::platform {

// A message or a reply on the hand-over socket: a 32-bit little-endian number.
inline std::array<unsigned char, 4> EncodeHandoverNumber(std::uint32_t number)
{
    return {static_cast<unsigned char>(number), static_cast<unsigned char>(number >> 8),
            static_cast<unsigned char>(number >> 16), static_cast<unsigned char>(number >> 24)};
}

inline std::uint32_t DecodeHandoverNumber(const unsigned char* bytes)
{
    return std::uint32_t(bytes[0]) | std::uint32_t(bytes[1]) << 8 | std::uint32_t(bytes[2]) << 16 |
           std::uint32_t(bytes[3]) << 24;
}

} // namespace zuv::platform
