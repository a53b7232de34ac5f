#pragma once
#include <cstdint>
#include <optional>
#include <vector>

// One section of a Windows program, as its section table describes it.
struct ImageSection {
    uint64_t virtualAddress = 0; // relative to the loaded program's base
    uint64_t rawOffset = 0;      // where its bytes start in the file
    uint64_t rawSize = 0;        // how many of its bytes the file holds
};

// Where the `size` bytes at `rva` of the loaded program lie in its file. Nothing unless
// they lie wholly inside the file bytes of one section: the rest of a section exists only
// in memory.
std::optional<uint64_t> FileOffsetOf(const std::vector<ImageSection>& sections, uint64_t rva, uint64_t size);
