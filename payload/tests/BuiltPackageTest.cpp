// The package inside the built TessamoSetup.exe, unpacked by the installer's own code.
#include <windows.h>
#include <gtest/gtest.h>

#include <cstdlib>

#include "BuiltPackage.h"
#include "Package.h"
#include "TestSupport.h"

namespace {

const wchar_t* const SetupExe = L"C:\\bin\\TessamoSetup.exe";

uint64_t Fnv1a(const std::string& bytes)
{
    uint64_t value = 0xCBF29CE484222325ull;
    for (unsigned char byte : bytes)
        value = (value ^ byte) * 0x100000001B3ull;
    return value;
}

size_t CountFiles(const std::wstring& folder)
{
    size_t count = 0;
    WIN32_FIND_DATAW found;
    HANDLE search = ::FindFirstFileW((folder + L"\\*").c_str(), &found);
    if (search == INVALID_HANDLE_VALUE)
        return 0;
    do {
        const std::wstring name = found.cFileName;
        if (name == L"." || name == L"..")
            continue;
        count += (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ? CountFiles(folder + L"\\" + name) : 1;
    } while (::FindNextFileW(search, &found));
    ::FindClose(search);
    return count;
}

TEST(BuiltPackage, UnpacksIntoTheNineteenPayloadFilesUnderTheirNames)
{
    // Set by the run under a Western locale (see CMakeLists.txt), to be sure it took.
    if (const char* expected = std::getenv("TESSAMO_EXPECT_ACP")) {
        ASSERT_EQ(::GetACP(), static_cast<UINT>(std::atoi(expected)));
    }

    HMODULE setup = ::LoadLibraryExW(SetupExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(setup);
    const auto package = LoadResourceBytes(SetupPackageId, SetupPackageType, setup);
    ::FreeLibrary(setup);
    ASSERT_TRUE(package);

    ScopedTempDir scratch;
    const std::wstring target = scratch.Path() + L"temp";
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(package->data(), package->size(), target, record));

    ASSERT_EQ(std::size(BuiltPackageEntries), 19u);
    EXPECT_EQ(CountFiles(target), 19u);
    for (const BuiltPackageEntry& entry : BuiltPackageEntries) {
        const std::wstring path = target + entry.name;
        ASSERT_TRUE(FileExists(path)) << ToUtf8(entry.name);
        const std::string bytes = ReadBytesFile(path);
        EXPECT_EQ(bytes.size(), entry.size) << ToUtf8(entry.name);
        EXPECT_EQ(Fnv1a(bytes), entry.fnv1a) << ToUtf8(entry.name);
    }
    EXPECT_TRUE(FileExists(target + L"\\使用说明.txt"));
    EXPECT_TRUE(FileExists(target + L"\\卸载Tessamo.exe"));
}

TEST(BuiltPackage, CarriesTheBuiltProgramsByteForByte)
{
    HMODULE setup = ::LoadLibraryExW(SetupExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_TRUE(setup);
    const auto package = LoadResourceBytes(SetupPackageId, SetupPackageType, setup);
    ::FreeLibrary(setup);
    ASSERT_TRUE(package);

    ScopedTempDir scratch;
    ExtractionRecord record;
    ASSERT_TRUE(UnpackEntries(package->data(), package->size(), scratch.Path() + L"temp", record));
    EXPECT_EQ(ReadBytesFile(scratch.Path() + L"temp\\Pinvora.exe"), ReadBytesFile(L"C:\\bin\\Pinvora.exe"));
    EXPECT_EQ(ReadBytesFile(scratch.Path() + L"temp\\卸载Tessamo.exe"),
              ReadBytesFile(L"C:\\bin\\TessamoUninstaller.exe"));
}

} // namespace
