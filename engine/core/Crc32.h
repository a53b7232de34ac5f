#pragma once
#include <cstddef>
#include <cstdint>
#include <optional>

// CRC-32 with zlib's conventions: the reflected polynomial 0xEDB88320, initial value and
// final XOR 0xFFFFFFFF. `previous` continues an earlier result, so that data can be
// checked in pieces: Crc32(b, nb, Crc32(a, na)) is the CRC of a followed by b.
uint32_t Crc32(const uint8_t* bytes, size_t size, uint32_t previous = 0);

// A recorded 32-bit value: exactly 4 bytes, least significant first. Nothing for any
// other size, so that a truncated or padded record is not taken for a value.
std::optional<uint32_t> ReadLittleEndian32(const uint8_t* bytes, size_t size);
