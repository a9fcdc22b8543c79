#pragma once
#include <cstddef>
#include <cstdint>

namespace orv {

// CRC-16/X-25 as the Z8 Encore! debugger computes its program memory CRC:
// CCITT polynomial processed least significant bit first (0x8408), preset
// FFFF, result inverted. Check value for "123456789" is 0x906E.
uint16_t Crc16X25(const uint8_t* data, size_t size);

}  // namespace orv
