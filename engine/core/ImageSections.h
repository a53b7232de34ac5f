#pragma once
#include <cstdint>
#include <optional>
#include <vector>

// One section of a Windows program, as its section table describes it.
struct ImageSection {
    uint64_t virtualAddress = 0; // relative to the loaded program's base
    uint64_t rawOffset = 0;      // where its bytes start in the file
    uint64_t rawSize = 0;        // how many of its bytes the file holds
    uint64_t virtualSize = 0;    // how many the loader maps
};

// Where the `size` bytes at `rva` of the loaded program lie in its file. Nothing unless
// they lie wholly inside the bytes of one section that both the file and memory hold:
// the rest of a section exists only in memory, and file bytes past its in-memory size
// are padding the loader does not map.
std::optional<uint64_t> FileOffsetOf(const std::vector<ImageSection>& sections, uint64_t rva, uint64_t size);
