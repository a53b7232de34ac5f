#include "Scramble.h"

namespace {

unsigned RotationAt(std::size_t index)
{
    return static_cast<unsigned>(index % 7) + 1;
}

unsigned char RotateLeft(unsigned char value, unsigned count)
{
    return static_cast<unsigned char>((value << count) | (value >> (8 - count)));
}

unsigned char RotateRight(unsigned char value, unsigned count)
{
    return static_cast<unsigned char>((value >> count) | (value << (8 - count)));
}

} // namespace

void ScrambleBytes(unsigned char* buffer, std::size_t length)
{
    if (!buffer)
        return;
    for (std::size_t i = 0; i < length; ++i)
        buffer[i] = static_cast<unsigned char>(~RotateLeft(buffer[i], RotationAt(i)));
}

void UnscrambleBytes(unsigned char* buffer, std::size_t length)
{
    if (!buffer)
        return;
    for (std::size_t i = 0; i < length; ++i)
        buffer[i] = RotateRight(static_cast<unsigned char>(~buffer[i]), RotationAt(i));
}
