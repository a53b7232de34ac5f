// The PE32 stage's cases (scripts/pe32-stage.sh). The same program runs twice: built for
// x86-64 in a win64 prefix, and as the PE32 build under emulation in a win32 prefix. Each
// run drives the installer in C:\dl and the programs it installs, in one prefix and in
// this order, and writes what it saw under C:\observed\; the script compares the runs.
// Waits are long: under emulation every new process takes minutes to start.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cwchar>
#include <map>
#include <string>
#include <vector>

#include "PackageFormat.h"
#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

constexpr DWORD EmulatedStart = 15 * 60 * 1000;
const std::wstring InstallDir = L"C:\\Program Files\\Tessamo\\";
const std::wstring Observed = L"C:\\observed\\";

// What one case saw, written line by line as UTF-8 to C:\observed\<name>.txt.
class Observation {
public:
    explicit Observation(std::wstring name) : name(std::move(name)) {}
    ~Observation()
    {
        std::string text;
        for (const std::wstring& line : lines)
            text += ToUtf8(line) + "\n";
        CreateFolders(Observed);
        WriteBytesFile(Observed + name + L".txt", text);
    }
    void Add(const std::wstring& line) { lines.push_back(line); }

private:
    std::wstring name;
    std::vector<std::wstring> lines;
};

// What the installed files take, rounded up to KiB, as the installation case found it. The
// two builds' programs differ in size, and so does the uninstall entry's "EstimatedSize":
// it is named instead when it equals this.
DWORD installedKiB = 0;
const std::wstring InstalledSizeName = L"<the installed files' size in KiB>";

std::wstring Hex(const BYTE* bytes, DWORD size)
{
    static const wchar_t digits[] = L"0123456789abcdef";
    std::wstring text;
    for (DWORD i = 0; i < size; ++i)
        text += std::wstring{digits[bytes[i] >> 4], digits[bytes[i] & 15]};
    return text;
}

// Every value of a key, with its type, in the order the registry lists them.
void ObserveRegistryKey(Observation& seen, HKEY root, const std::wstring& rootName, const std::wstring& key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key.c_str(), 0, KEY_READ, &opened) != ERROR_SUCCESS) {
        seen.Add(L"registry " + rootName + L"\\" + key + L": absent");
        return;
    }
    DWORD index = 0;
    for (;; ++index) {
        wchar_t name[256];
        DWORD nameLength = 256, type = 0, size = 4096;
        BYTE data[4096 + sizeof(wchar_t)] = {};
        if (::RegEnumValueW(opened, index, name, &nameLength, nullptr, &type, data, &size) != ERROR_SUCCESS)
            break;
        std::wstring value;
        if (type == REG_SZ || type == REG_EXPAND_SZ)
            value = L"text \"" + std::wstring(reinterpret_cast<const wchar_t*>(data)) + L"\"";
        else if (type == REG_DWORD && name == std::wstring(L"EstimatedSize") && installedKiB &&
                 *reinterpret_cast<const DWORD*>(data) == installedKiB)
            value = L"number " + InstalledSizeName;
        else if (type == REG_DWORD)
            value = L"number " + std::to_wstring(*reinterpret_cast<const DWORD*>(data));
        else
            value = L"type " + std::to_wstring(type) + L" " + Hex(data, size);
        seen.Add(L"registry " + rootName + L"\\" + key + L": " + name + L" = " + value);
    }
    if (index == 0)
        seen.Add(L"registry " + rootName + L"\\" + key + L": no values");
    ::RegCloseKey(opened);
}

void ObserveRegistry(Observation& seen)
{
    for (const auto& [root, rootName] : {std::pair{HKEY_CURRENT_USER, L"HKCU"}, std::pair{HKEY_LOCAL_MACHINE, L"HKLM"}})
        for (const std::wstring& key : {RunKey, UninstallKey, KelbrinKey})
            ObserveRegistryKey(seen, root, rootName, key);
}

// Files below `root`, as paths relative to it, sorted.
std::vector<std::wstring> FilesBelow(const std::wstring& root, const std::wstring& relative = L"")
{
    std::vector<std::wstring> files;
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((root + relative + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return files;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (std::wstring& below : FilesBelow(root, relative + name + L"\\"))
                files.push_back(std::move(below));
        } else {
            files.push_back(relative + name);
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
    std::sort(files.begin(), files.end());
    return files;
}

uint64_t BytesBelow(const std::wstring& folder)
{
    uint64_t bytes = 0;
    for (const std::wstring& file : FilesBelow(folder)) {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (::GetFileAttributesExW((folder + file).c_str(), GetFileExInfoStandard, &data))
            bytes += (static_cast<uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    }
    return bytes;
}

std::wstring LinkText(IShellLinkW* link, HRESULT (STDMETHODCALLTYPE IShellLinkW::*get)(LPWSTR, int))
{
    wchar_t text[MAX_PATH] = {};
    (link->*get)(text, MAX_PATH);
    return text;
}

// A shortcut's target, arguments, working folder, icon and window state.
std::wstring DescribeShortcut(const std::wstring& path)
{
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return L"no shell link object";
    std::wstring text = L"unreadable";
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path.c_str(), STGM_READ))) {
        wchar_t icon[MAX_PATH] = {};
        int iconIndex = 0, show = 0;
        link->GetIconLocation(icon, MAX_PATH, &iconIndex);
        link->GetShowCmd(&show);
        text = L"target " + ShortcutTarget(path) + L", arguments \"" + LinkText(link, &IShellLinkW::GetArguments) +
               L"\", folder " + LinkText(link, &IShellLinkW::GetWorkingDirectory) + L", icon " + icon + L"," +
               std::to_wstring(iconIndex) + L", show " + std::to_wstring(show) + L", description \"" +
               LinkText(link, &IShellLinkW::GetDescription) + L"\"";
    }
    if (file)
        file->Release();
    link->Release();
    return text;
}

void ObserveShortcuts(Observation& seen)
{
    for (const std::wstring& folder :
         {SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\", SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\"})
        for (const std::wstring& file : FilesBelow(folder))
            seen.Add(L"shortcut " + folder + file + L": " + DescribeShortcut(folder + file));
}

// The package's files by their path below the install folder.
std::map<std::wstring, std::string> PackageFilesOf(const std::wstring& setupExe)
{
    const std::string package = SetupPackageOf(setupExe);
    const auto* bytes = reinterpret_cast<const uint8_t*>(package.data());
    std::map<std::wstring, std::string> files;
    for (const ExtractableEntry& entry : ReadExtractableEntries(bytes, package.size()).value_or(
             std::vector<ExtractableEntry>{}))
        files[entry.name.substr(1)] = package.substr(entry.payloadOffset, entry.payloadLength);
    return files;
}

// Each installed file and whether it is the package's file of that name, byte for byte;
// then the package's files that were not installed.
void ObserveInstalledFiles(Observation& seen, const std::wstring& setupExe)
{
    std::map<std::wstring, std::string> package = PackageFilesOf(setupExe);
    seen.Add(L"package: " + std::to_wstring(package.size()) + L" files");
    for (const std::wstring& file : FilesBelow(InstallDir)) {
        const std::string bytes = ReadBytesFile(InstallDir + file);
        const auto inPackage = package.find(file);
        std::wstring verdict = std::to_wstring(bytes.size()) + L" bytes, not in the package";
        if (inPackage != package.end())
            verdict = inPackage->second == bytes ? L"the package's"
                                                 : std::to_wstring(bytes.size()) + L" bytes, not the package's";
        seen.Add(L"installed " + file + L": " + verdict);
        if (inPackage != package.end())
            package.erase(inPackage);
    }
    for (const auto& [file, bytes] : package)
        seen.Add(L"not installed: " + file);
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// The log's lines without their time stamps ("hh:mm:ss.mmm  "). The package's CRC-32
// and size, and the installed size, differ between the two builds, so they are named instead.
void ObserveLog(Observation& seen, const std::wstring& path, const std::string& package)
{
    wchar_t crc[9];
    std::swprintf(crc, 9, L"%08X", static_cast<unsigned>(CrcOf(package)));
    std::wstring log = ReplaceAll(ReplaceAll(ReadLog(path), crc, L"<the package's CRC-32>"),
                                  std::to_wstring(package.size()), L"<the package's size>");
    if (installedKiB)
        log = ReplaceAll(log, L"EstimatedSize = " + std::to_wstring(installedKiB) + L"\r\n",
                         L"EstimatedSize = " + InstalledSizeName + L"\r\n");
    seen.Add(L"log: " + std::to_wstring(log.size()) + L" characters");
    for (size_t start = 0, end; start < log.size(); start = end + 2) {
        end = log.find(L"\r\n", start);
        if (end == std::wstring::npos)
            end = log.size();
        seen.Add(L"log| " + log.substr(start, end - start).substr(std::min<size_t>(14, end - start)));
    }
}

// Saves the window as C:\observed\<name>.bmp once two shots a second apart are equal:
// under emulation the window may still be drawing when it first shows.
bool SaveSettledScreenshot(const SetupDriver& setup, const std::wstring& name)
{
    std::string previous;
    for (int attempt = 0; attempt < 60; ++attempt) {
        if (!setup.SaveScreenshot(setup.main, name))
            return false;
        std::string shot = ReadBytesFile(L"C:\\screenshots\\" + name + L".bmp");
        if (shot == previous) {
            CreateFolders(Observed);
            return WriteBytesFile(Observed + name + L".bmp", shot);
        }
        previous = std::move(shot);
        PumpMessages(1000);
    }
    return false;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[1000] = {};
    ::GetWindowTextW(window, text, 1000);
    return text;
}

HWND VisibleWindow(const wchar_t* className, const wchar_t* title)
{
    HWND window = ::FindWindowW(className, title);
    return window && ::IsWindowVisible(window) ? window : nullptr;
}

// A program started in a job, so that the programs it starts in turn are waited for too.
class JobProcess {
public:
    // Starts `commandLine` as the system starts a shortcut or an uninstall entry.
    bool Start(std::wstring commandLine, const wchar_t* folder = nullptr)
    {
        STARTUPINFOW startup{sizeof startup};
        job = ::CreateJobObjectW(nullptr, nullptr);
        if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_SUSPENDED, nullptr,
                              folder, &startup, &process))
            return false;
        ::AssignProcessToJobObject(job, process.hProcess);
        ::ResumeThread(process.hThread);
        return true;
    }
    bool AnyRunning() const
    {
        JOBOBJECT_BASIC_ACCOUNTING_INFORMATION accounting{};
        ::QueryInformationJobObject(job, JobObjectBasicAccountingInformation, &accounting, sizeof accounting,
                                    nullptr);
        return accounting.ActiveProcesses > 0;
    }
    DWORD ExitCode() const
    {
        DWORD code = STILL_ACTIVE;
        ::GetExitCodeProcess(process.hProcess, &code);
        return code;
    }
    ~JobProcess()
    {
        if (process.hProcess) {
            ::CloseHandle(process.hProcess);
            ::CloseHandle(process.hThread);
        }
        if (job)
            ::CloseHandle(job);
    }

private:
    HANDLE job = nullptr;
    PROCESS_INFORMATION process{};
};

// The quiet uninstaller shows no box; one that appears all the same is noted, so that the
// comparison shows it, and answered with its first button ("是" or "确定"), so that the case ends.
void AnswerUninstallerBox(Observation& seen, HWND box)
{
    wchar_t text[1000] = {};
    ::GetDlgItemTextW(box, 0xFFFF, text, 1000);
    HWND yes = ::GetDlgItem(box, IDYES);
    HWND button = yes ? yes : ::GetDlgItem(box, IDOK);
    seen.Add(L"message box \"" + WindowText(box) + L"\": " + text + L" -> " + WindowText(button));
    ::PostMessageW(button, BM_CLICK, 0, 0);
    PumpUntil([&] { return !::IsWindow(box); }, 60000);
}

TEST(Pe32Stage, TheFreshWindowShowsTheDefaultFolderAndClosesWithCode0)
{
    Observation seen(L"fresh-window");
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow(EmulatedStart));
    seen.Add(L"title: " + setup.Title());
    seen.Add(L"path field: " + setup.PathFieldText());
    EXPECT_TRUE(SaveSettledScreenshot(setup, L"fresh-window"));
    ::PostMessageW(setup.main, WM_CLOSE, 0, 0);
    seen.Add(L"exit code: " + std::to_wstring(setup.WaitForExit(EmulatedStart)));
}

TEST(Pe32Stage, AQuietInstallationIntoAChosenFolderInstallsThePackageWithShortcutsAndEntries)
{
    Observation seen(L"quiet-installation");
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\setup.log /D=" + InstallDir.substr(0, InstallDir.size() - 1)));
    seen.Add(L"exit code: " + std::to_wstring(setup.WaitForExit(EmulatedStart)));
    installedKiB = static_cast<DWORD>((BytesBelow(InstallDir) + 1023) / 1024);
    ObserveInstalledFiles(seen, L"C:\\dl\\TessamoSetup.exe");
    seen.Add(L"unpacked files left: " + std::to_wstring(FilesBelow(L"C:\\dl\\temp\\").size()));
    ObserveRegistry(seen);
    ObserveShortcuts(seen);
    ObserveLog(seen, L"C:\\dl\\setup.log", SetupPackageOf(L"C:\\dl\\TessamoSetup.exe"));
}

TEST(Pe32Stage, TheInstalledApplicationShowsItsNoteAndCloses)
{
    Observation seen(L"application");
    JobProcess application;
    ASSERT_TRUE(application.Start(L"\"" + InstallDir + L"Pinvora.exe\"", InstallDir.c_str()));
    HWND note = nullptr;
    PumpUntil([&] { return (note = VisibleWindow(nullptr, L"Pinvora")) != nullptr; }, EmulatedStart);
    ASSERT_TRUE(note) << "the application's window never showed";
    RECT frame{};
    ::GetWindowRect(note, &frame);
    seen.Add(L"window \"Pinvora\": " + std::to_wstring(frame.right - frame.left) + L" x " +
             std::to_wstring(frame.bottom - frame.top));
    ObserveRegistry(seen);
    ::PostMessageW(note, WM_CLOSE, 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return !application.AnyRunning(); }, EmulatedStart));
    seen.Add(L"exit code: " + std::to_wstring(application.ExitCode()));
}

TEST(Pe32Stage, TheUninstallEntryRemovesTheInstallation)
{
    Observation seen(L"uninstallation");
    const std::wstring command = RegistryString(HKEY_CURRENT_USER, UninstallKey, L"QuietUninstallString");
    seen.Add(L"uninstall entry: " + command);
    JobProcess uninstaller;
    ASSERT_TRUE(uninstaller.Start(command));
    const bool ended = PumpUntil(
        [&] {
            if (HWND box = VisibleWindow(L"#32770", L"卸载Tessamo"))
                AnswerUninstallerBox(seen, box);
            return !uninstaller.AnyRunning();
        },
        2 * EmulatedStart);
    EXPECT_TRUE(ended) << "the uninstaller and its temporary copy did not end";
    seen.Add(L"exit code of the uninstaller started: " + std::to_wstring(uninstaller.ExitCode()));
    for (const std::wstring& file : FilesBelow(InstallDir))
        seen.Add(L"left in the install folder: " + file);
    seen.Add(std::wstring(L"install folder: ") + (FileExists(InstallDir) ? L"still there" : L"removed"));
    ObserveRegistry(seen);
    ObserveShortcuts(seen);
}

} // namespace
