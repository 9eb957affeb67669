#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

// Numbers stored low byte first, as the binary workbook format and its container keep them.
// REQUIRES: the bytes hold at least 2 (4) bytes from at.
inline std::uint16_t LittleEndian16(std::string_view bytes, std::size_t at)
{
    return static_cast<std::uint16_t>(static_cast<unsigned char>(bytes[at]) | static_cast<unsigned char>(bytes[at + 1])
                                                                                  << 8);
}

inline std::uint32_t LittleEndian32(std::string_view bytes, std::size_t at)
{
    return LittleEndian16(bytes, at) | static_cast<std::uint32_t>(LittleEndian16(bytes, at + 2)) << 16;
}
