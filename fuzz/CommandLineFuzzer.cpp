// A command line as any script may write it.
#include <cstddef>
#include <cstdint>
#include <string>

#include "CommandLine.h"
#include "FuzzCheck.h"

namespace {

bool HasOuterBlank(const std::wstring& text)
{
    return !text.empty() && (text.front() == L' ' || text.front() == L'\t' || text.back() == L' ' ||
                             text.back() == L'\t');
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    // Two bytes a character, so that any UTF-16 unit can appear.
    std::wstring tail;
    for (size_t i = 0; i + 1 < size; i += 2)
        tail += static_cast<wchar_t>(bytes[i] | (bytes[i + 1] << 8));

    if (const std::optional<std::wstring> log = LogSwitchValue(tail)) {
        Require(!log->empty(), "an empty log value counts as no log");
        Require(tail.find(*log) != std::wstring::npos, "the log file is a piece of the tail");
    }
    if (const std::optional<FolderSwitch> folder = FolderSwitchValue(tail)) {
        Require(tail.find(L"/D=") != std::wstring::npos, "a folder needs /D=");
        Require(!HasOuterBlank(folder->folder), "the folder has no blanks around it");
        if (!folder->misplaced) {
            for (const wchar_t* other : {L" /quiet", L" /log=", L" /s", L" update=true", L"\t/quiet"})
                Require(folder->folder.find(other) == std::wstring::npos, "a switch inside the folder is named");
        } else {
            Require(folder->folder.find(*folder->misplaced) != std::wstring::npos,
                    "the misplaced switch stands in the value");
        }
    }
    return 0;
}
