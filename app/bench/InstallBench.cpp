// Times complete automatic installations against a plain copy of the same files, and
// reports the installer's peak memory and what the package's CRC-32 check costs. Run it
// in a fresh prefix:
//   scripts/fresh-prefix-run.sh build/bin/install_bench.exe
// The synthetic case adds 2,000 files of 100 KiB (200 MB) to the real package. Peak
// memory is the larger of the peak working set and the peak private bytes. The check is
// timed here on the same bytes with the installer's own routine.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "Crc32.h"

namespace {

const wchar_t* const Installer = L"C:\\bin\\TessamoSetup.exe";
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

std::string Entry(const std::string& name, const std::string& payload)
{
    return "<#_this_is_tag_#>name:" + name + " length:" + std::to_string(payload.size()) +
           "</#_this_is_tag_#>" + payload;
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
std::string SyntheticPackage()
{
    std::string package = ResourceOf(Installer);
    std::string payload(SyntheticFileSize, '\0');
    for (int i = 0; i < SyntheticFiles; ++i) {
        for (size_t b = 0; b < payload.size(); b += 4096)
            payload[b] = static_cast<char>(i + b);
        package += Entry("\\res\\synthetic-" + std::to_string(i) + ".bin", payload);
    }
    return package;
}

// A copy of the installer that carries `package` and its CRC-32 record.
std::wstring InstallerWithPackage(const std::string& package)
{
    const std::wstring copy = L"C:\\bin\\TessamoSetupLarge.exe";
    ::CopyFileW(Installer, copy.c_str(), FALSE);
    const WORD packageLanguage = ResourceLanguage(copy, L"PKG");
    const WORD recordLanguage = ResourceLanguage(copy, L"PKGCRC");
    const uint32_t crc = PackageCrc(package);
    BYTE record[4] = {BYTE(crc), BYTE(crc >> 8), BYTE(crc >> 16), BYTE(crc >> 24)};
    HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
    ::UpdateResourceW(update, L"PKG", MAKEINTRESOURCEW(214), packageLanguage, const_cast<char*>(package.data()),
                      static_cast<DWORD>(package.size()));
    ::UpdateResourceW(update, L"PKGCRC", MAKEINTRESOURCEW(214), recordLanguage, record, sizeof record);
    ::EndUpdateResourceW(update, FALSE);
    return copy;
}

// The package check's own work: the CRC-32 of the whole package.
double CheckSeconds(const std::string& package)
{
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    volatile uint32_t crc = PackageCrc(package);
    (void)crc;
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

struct Run {
    double seconds;
    SIZE_T peakBytes;
};

Run InstallAutomatically(const std::wstring& exe, const std::wstring& folder)
{
    ::CreateDirectoryW(folder.c_str(), nullptr);
    const std::wstring copy = folder + L"TessamoSetup.exe";
    ::CopyFileW(exe.c_str(), copy.c_str(), FALSE);
    std::wstring commandLine = L"\"" + copy + L"\" /s";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    ::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder.c_str(),
                     &startup, &process);
    // Sampled while it runs: the counters of an ended process are not always kept.
    SIZE_T peak = 0;
    do {
        PROCESS_MEMORY_COUNTERS memory{sizeof memory};
        if (::GetProcessMemoryInfo(process.hProcess, &memory, sizeof memory))
            peak = std::max({peak, memory.PeakWorkingSetSize, memory.PeakPagefileUsage});
    } while (::WaitForSingleObject(process.hProcess, 20) == WAIT_TIMEOUT);
    ::QueryPerformanceCounter(&end);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    if (HWND application = ::FindWindowW(nullptr, L"Pinvora"))
        ::PostMessageW(application, WM_CLOSE, 0, 0);
    return Run{Seconds(start, end), peak};
}

// The same files copied one by one with CopyFileW: the floor for any installer.
double PlainCopy(const std::wstring& from, const std::wstring& to)
{
    LARGE_INTEGER start, end;
    ::QueryPerformanceCounter(&start);
    std::vector<std::wstring> folders{L""};
    for (size_t i = 0; i < folders.size(); ++i) {
        const std::wstring relative = folders[i];
        ::CreateDirectoryW((to + relative).c_str(), nullptr);
        WIN32_FIND_DATAW entry;
        HANDLE find = ::FindFirstFileW((from + relative + L"*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE)
            continue;
        do {
            const std::wstring name = entry.cFileName;
            if (name == L"." || name == L"..")
                continue;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)
                folders.push_back(relative + name + L"\\");
            else
                ::CopyFileW((from + relative + name).c_str(), (to + relative + name).c_str(), FALSE);
        } while (::FindNextFileW(find, &entry));
        ::FindClose(find);
    }
    ::QueryPerformanceCounter(&end);
    return Seconds(start, end);
}

void Report(const char* name, const Run& run, double copySeconds, double checkSeconds)
{
    std::printf("%-22s install %7.2f s   plain copy %6.2f s   ratio %5.2f   peak memory %6.1f MB   "
                "package check %5.3f s (%4.1f %% of the install)\n",
                name, run.seconds, copySeconds, run.seconds / copySeconds, run.peakBytes / (1024.0 * 1024.0),
                checkSeconds, 100.0 * checkSeconds / run.seconds);
}

} // namespace

int main()
{
    const std::wstring target = L"D:\\Program Files\\Tessamo\\";
    Run real = InstallAutomatically(Installer, L"C:\\bench-real\\");
    Report("real package", real, PlainCopy(target, L"D:\\copy-real\\"), CheckSeconds(ResourceOf(Installer)));

    const std::string package = SyntheticPackage();
    Run synthetic = InstallAutomatically(InstallerWithPackage(package), L"C:\\bench-large\\");
    Report("200 MB in 2,000 files", synthetic, PlainCopy(target, L"D:\\copy-large\\"), CheckSeconds(package));
    return 0;
}
