#pragma once
#include <cstddef>

// The keyless byte scrambling of the notes application's data files ("data.dat",
// "timer.dat"). The byte at index i is rotated by (i mod 7) + 1 bits and inverted.
// Both transform in place and do nothing for a null buffer.
void ScrambleBytes(unsigned char* buffer, std::size_t length);
void UnscrambleBytes(unsigned char* buffer, std::size_t length);
