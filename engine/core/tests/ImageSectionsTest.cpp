#include <gtest/gtest.h>

#include "ImageSections.h"

namespace {

// .text at 0x1000 with 0x800 bytes in the file from 0x400 and 0x800 in memory; .rsrc at
// 0x3000 with 0x1000 bytes from 0xC00 and 0x2000 in memory; .data at 0x6000 with 0x1000
// bytes from 0x1C00, of which memory holds only the first 0x600.
const std::vector<ImageSection> Sections = {
    {0x1000, 0x400, 0x800, 0x800}, {0x3000, 0xC00, 0x1000, 0x2000}, {0x6000, 0x1C00, 0x1000, 0x600}};

struct RangeCase {
    const char* what;
    uint64_t rva;
    uint64_t size;
    std::optional<uint64_t> offset;
};

TEST(ImageSections, ARangeIsFoundOnlyWhollyInsideBytesTheFileAndMemoryBothHold)
{
    const RangeCase cases[] = {
        {"start of the first section", 0x1000, 0x10, 0x400},
        {"inside the second", 0x3100, 0x100, 0xD00},
        {"ending exactly at the file bytes' end", 0x3F00, 0x100, 0x1B00},
        {"running past the file bytes", 0x3F00, 0x101, std::nullopt},
        {"in the part only memory holds", 0x4000, 0x10, std::nullopt},
        {"between sections", 0x2000, 0x10, std::nullopt},
        {"in the headers", 0x0, 0x10, std::nullopt},
        {"straddling two sections", 0x1700, 0x2000, std::nullopt},
        {"a size that would wrap around", 0x3000, ~uint64_t{0}, std::nullopt},
        {"an address that would wrap around", ~uint64_t{0}, 2, std::nullopt},
        {"inside what memory holds of a section padded in the file", 0x6100, 0x500, 0x1D00},
        {"in the file's padding, which memory does not hold", 0x6100, 0x600, std::nullopt},
    };
    for (const RangeCase& c : cases)
        EXPECT_EQ(FileOffsetOf(Sections, c.rva, c.size), c.offset) << c.what;
}

} // namespace
