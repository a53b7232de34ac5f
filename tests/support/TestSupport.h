#pragma once
#include <windows.h>
#include <cstdint>
#include <string>

// The installer as it ships, PE32 in every test mode: in the x86-64 test build a copy of
// the PE32 build's exe stands beside the test programs.
inline const wchar_t* const ShippedSetupExe = L"C:\\bin\\" TESSAMO_SHIPPED_SETUP_NAME;

// Dispatches this thread's messages for about `milliseconds`.
void PumpMessages(DWORD milliseconds);

// Dispatches messages until `done` is true or `milliseconds` have passed.
template <typename Predicate>
bool PumpUntil(Predicate done, DWORD milliseconds = 5000)
{
    DWORD start = ::GetTickCount();
    while (!done()) {
        if (::GetTickCount() - start > milliseconds)
            return false;
        PumpMessages(10);
    }
    return true;
}

// A fresh folder under the prefix's temp folder, removed with its contents at the end.
class ScopedTempDir {
public:
    ScopedTempDir();
    ~ScopedTempDir();
    ScopedTempDir(const ScopedTempDir&) = delete;
    ScopedTempDir& operator=(const ScopedTempDir&) = delete;
    // With a trailing backslash.
    const std::wstring& Path() const { return path; }

private:
    std::wstring path;
};

// True when `file` holds a 32-bit x86 Windows GUI program (a PE32 image).
bool IsPe32GuiProgram(const std::string& file);

std::string ToUtf8(const std::wstring& text);
bool WriteBytesFile(const std::wstring& path, const std::string& bytes);
std::string ReadBytesFile(const std::wstring& path);
bool FileExists(const std::wstring& path);
// A 64-bit FNV-1a hash, to compare file contents in a listing.
uint64_t Fnv1a(const std::string& bytes);

// Makes `link` (a path that does not exist yet) a link to the folder `target`, as a
// junction would be: the system reports it as a reparse point and follows it. Wine cannot
// make junctions, but reports a link of the host's file system as one.
bool MakeFolderLink(const std::wstring& link, const std::wstring& target);
