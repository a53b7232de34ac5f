// Prepares what scripts/bench-install.sh times: a copy of an installer whose package
// carries 2,000 files of 100 KiB (200 MB) more than the real one, with the CRC-32 record
// to match. It also times the package check on both installers with the installer's own
// routine: the package read from the installer's file and its CRC-32 compared with the
// record. Usage:
//   install_bench.exe <installer> <where to write the large installer>
#include <windows.h>

#include <cstdio>
#include <string>

#include "Crc32.h"
#include "Package.h"
#include "PackageBytes.h"

namespace {

constexpr int SyntheticFiles = 2000;
constexpr size_t SyntheticFileSize = 100 * 1024;

double Seconds(LARGE_INTEGER from, LARGE_INTEGER to)
{
    LARGE_INTEGER frequency;
    ::QueryPerformanceFrequency(&frequency);
    return double(to.QuadPart - from.QuadPart) / double(frequency.QuadPart);
}

std::string ResourceOf(const wchar_t* exe)
{
    HMODULE module = ::LoadLibraryExW(exe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(214), L"PKG");
    std::string bytes(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                      ::SizeofResource(module, found));
    ::FreeLibrary(module);
    return bytes;
}

BOOL CALLBACK RememberLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found)
{
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// The language the build gave resource 214 of `type`; an update must name the same one.
WORD ResourceLanguage(const std::wstring& exe, const wchar_t* type)
{
    WORD language = 0;
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ::EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(214), &RememberLanguage,
                             reinterpret_cast<LONG_PTR>(&language));
    ::FreeLibrary(module);
    return language;
}

uint32_t PackageCrc(const std::string& package)
{
    return Crc32(reinterpret_cast<const uint8_t*>(package.data()), package.size());
}

// The real package with the synthetic files added.
std::string SyntheticPackage(const wchar_t* installer)
{
    std::string package = ResourceOf(installer);
    std::string payload(SyntheticFileSize, '\0');
    for (int i = 0; i < SyntheticFiles; ++i) {
        for (size_t b = 0; b < payload.size(); b += 4096)
            payload[b] = static_cast<char>(i + b);
        package += PackageEntryBytes("\\res\\synthetic-" + std::to_string(i) + ".bin", payload);
    }
    return package;
}

// Writes a copy of the installer that carries `package` and its CRC-32 record.
bool WriteInstallerWithPackage(const wchar_t* installer, const std::string& package, const wchar_t* copy)
{
    if (!::CopyFileW(installer, copy, FALSE))
        return false;
    const WORD packageLanguage = ResourceLanguage(copy, L"PKG");
    const WORD recordLanguage = ResourceLanguage(copy, L"PKGCRC");
    const uint32_t crc = PackageCrc(package);
    BYTE record[4] = {BYTE(crc), BYTE(crc >> 8), BYTE(crc >> 16), BYTE(crc >> 24)};
    HANDLE update = ::BeginUpdateResourceW(copy, FALSE);
    if (!update)
        return false;
    ::UpdateResourceW(update, L"PKG", MAKEINTRESOURCEW(214), packageLanguage, const_cast<char*>(package.data()),
                      static_cast<DWORD>(package.size()));
    ::UpdateResourceW(update, L"PKGCRC", MAKEINTRESOURCEW(214), recordLanguage, record, sizeof record);
    return ::EndUpdateResourceW(update, FALSE) != FALSE;
}

// Checks the package of `installer`, mapped as a program as it is when it runs, and
// prints how long that took; false when the check fails.
bool ReportCheck(const char* name, const wchar_t* installer)
{
    HMODULE module = ::LoadLibraryExW(installer, nullptr, DONT_RESOLVE_DLL_REFERENCES);
    const auto resource = module ? FindResourceBytes(SetupPackageId, SetupPackageType, module) : std::nullopt;
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    const bool passed = resource && CheckPackage(PackageSource::Locate(*resource, module), SetupPackageId, module).Passed();
    ::QueryPerformanceCounter(&end);
    if (module)
        ::FreeLibrary(module);
    if (!passed) {
        std::fprintf(stderr, "the package of the %s installer does not pass its check\n", name);
        return false;
    }
    std::printf("package check, %-22s %7.1f MB in %6.3f s\n", name, resource->size / (1024.0 * 1024.0),
                Seconds(start, end));
    return true;
}

} // namespace

int wmain(int argc, wchar_t** argv)
{
    if (argc != 3) {
        std::fprintf(stderr, "usage: install_bench.exe <installer> <where to write the large installer>\n");
        return 2;
    }
    const std::string package = SyntheticPackage(argv[1]);
    if (!WriteInstallerWithPackage(argv[1], package, argv[2]))
        return 1;
    const bool checked = ReportCheck("real package", argv[1]) && ReportCheck("200 MB in 2,000 files", argv[2]);
    return checked ? 0 : 1;
}
