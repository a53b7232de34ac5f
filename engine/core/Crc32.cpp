#include "Crc32.h"

#include <array>

namespace {

constexpr uint32_t ReflectedPolynomial = 0xEDB88320u;

// Slicing by eight: Tables[k][n] is the CRC of byte n followed by k zero bytes, so eight
// bytes are folded in with eight look-ups instead of eight dependent steps.
using Tables = std::array<std::array<uint32_t, 256>, 8>;

constexpr Tables MakeTables()
{
    Tables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t crc = n;
        for (int bit = 0; bit < 8; ++bit)
            crc = (crc & 1) ? (crc >> 1) ^ ReflectedPolynomial : crc >> 1;
        tables[0][n] = crc;
    }
    for (size_t k = 1; k < tables.size(); ++k) {
        for (uint32_t n = 0; n < 256; ++n)
            tables[k][n] = (tables[k - 1][n] >> 8) ^ tables[0][tables[k - 1][n] & 0xFF];
    }
    return tables;
}

constexpr Tables Table = MakeTables();

// Assembled byte by byte so that the result does not depend on the machine's byte order.
uint32_t LoadLittleEndian(const uint8_t* bytes)
{
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}

} // namespace

uint32_t Crc32(const uint8_t* bytes, size_t size, uint32_t previous)
{
    uint32_t crc = ~previous;
    for (; size >= 8; bytes += 8, size -= 8) {
        const uint32_t low = crc ^ LoadLittleEndian(bytes);
        const uint32_t high = LoadLittleEndian(bytes + 4);
        crc = Table[7][low & 0xFF] ^ Table[6][(low >> 8) & 0xFF] ^ Table[5][(low >> 16) & 0xFF] ^
              Table[4][low >> 24] ^ Table[3][high & 0xFF] ^ Table[2][(high >> 8) & 0xFF] ^
              Table[1][(high >> 16) & 0xFF] ^ Table[0][high >> 24];
    }
    for (; size > 0; ++bytes, --size)
        crc = (crc >> 8) ^ Table[0][(crc ^ *bytes) & 0xFF];
    return ~crc;
}

std::optional<uint32_t> ReadLittleEndian32(const uint8_t* bytes, size_t size)
{
    if (!bytes || size != 4)
        return std::nullopt;
    return LoadLittleEndian(bytes);
}
