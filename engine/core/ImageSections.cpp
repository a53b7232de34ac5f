#include "ImageSections.h"

#include <algorithm>

std::optional<uint64_t> FileOffsetOf(const std::vector<ImageSection>& sections, uint64_t rva, uint64_t size)
{
    for (const ImageSection& section : sections) {
        if (rva < section.virtualAddress)
            continue;
        const uint64_t into = rva - section.virtualAddress;
        const uint64_t held = std::min(section.rawSize, section.virtualSize);
        if (into < held && size <= held - into)
            return section.rawOffset + into;
    }
    return std::nullopt;
}
