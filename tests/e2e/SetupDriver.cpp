#include "SetupDriver.h"

#include <objbase.h>
#include <shlobj.h>
#include <shlwapi.h>

#include <gtest/gtest.h>

#include <cwchar>

#include "Crc32.h"
#include "ImageResources.h"
#include "TestSupport.h"

namespace {

struct WindowSearch {
    DWORD processId;
    HWND exclude;
    HWND found;
};

BOOL CALLBACK FindOtherTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    wchar_t className[16] = {};
    ::GetClassNameW(hwnd, className, 16);
    if (owner == search->processId && hwnd != search->exclude && ::IsWindowVisible(hwnd) &&
        std::wstring(className) == L"#32770") {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

struct ChildSearch {
    int id;
    HWND found;
};

BOOL CALLBACK FindChildById(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<ChildSearch*>(lParam);
    if (::GetDlgCtrlID(hwnd) == search->id) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND ChildById(HWND parent, int id)
{
    ChildSearch search{id, nullptr};
    ::EnumChildWindows(parent, &FindChildById, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

// Where the setup window draws its status line while the installation has not succeeded,
// in client coordinates.
constexpr RECT StatusLineRect{8 + 40, 408 - 100, 508 - 40, 408};

// A 32-bit picture, bottom row first, with the header that describes it.
struct Pixels {
    BITMAPINFOHEADER header;
    std::vector<uint32_t> bits;
};

// Runs `draw` on a memory DC holding a fresh 32-bit picture of `size` and returns the picture.
template <typename Draw>
Pixels DrawPixels(SIZE size, Draw draw)
{
    Pixels pixels{{sizeof(BITMAPINFOHEADER), size.cx, size.cy, 1, 32, BI_RGB}, {}};
    void* bits = nullptr;
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateDIBSection(screen, reinterpret_cast<BITMAPINFO*>(&pixels.header), DIB_RGB_COLORS,
                                        &bits, nullptr, 0);
    HDC memory = ::CreateCompatibleDC(screen);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    draw(memory, screen);
    ::GdiFlush();
    ::SelectObject(memory, previous);
    ::DeleteDC(memory);
    ::ReleaseDC(nullptr, screen);
    const uint32_t* first = static_cast<const uint32_t*>(bits);
    pixels.bits.assign(first, first + static_cast<size_t>(size.cx) * size.cy);
    ::DeleteObject(bitmap);
    return pixels;
}

Pixels ScreenPixels(const RECT& area)
{
    return DrawPixels(SIZE{area.right - area.left, area.bottom - area.top}, [&](HDC memory, HDC screen) {
        ::BitBlt(memory, 0, 0, area.right - area.left, area.bottom - area.top, screen, area.left, area.top,
                 SRCCOPY);
    });
}

// `text` as the setup window draws its status line: "宋体" at 9 points in 0x333333,
// centred on one line over the window's body colour.
Pixels RenderStatusLine(const std::wstring& text)
{
    const SIZE size{StatusLineRect.right - StatusLineRect.left, StatusLineRect.bottom - StatusLineRect.top};
    return DrawPixels(size, [&](HDC memory, HDC screen) {
        RECT area{0, 0, size.cx, size.cy};
        HBRUSH body = ::CreateSolidBrush(0xF0F0F0);
        ::FillRect(memory, &area, body);
        ::DeleteObject(body);
        LOGFONTW face{};
        face.lfHeight = -::MulDiv(9, ::GetDeviceCaps(screen, LOGPIXELSY), 72);
        face.lfCharSet = DEFAULT_CHARSET;
        std::wcscpy(face.lfFaceName, L"宋体");
        HFONT font = ::CreateFontIndirectW(&face);
        HGDIOBJ previous = ::SelectObject(memory, font);
        ::SetBkMode(memory, TRANSPARENT);
        ::SetTextColor(memory, 0x333333);
        ::DrawTextW(memory, text.c_str(), -1, &area, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
        ::SelectObject(memory, previous);
        ::DeleteObject(font);
    });
}

BOOL CALLBACK CountTopLevel(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<std::pair<DWORD, size_t>*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->first)
        ++search->second;
    return TRUE;
}

size_t TopLevelWindowsOf(DWORD processId)
{
    std::pair<DWORD, size_t> search{processId, 0};
    ::EnumWindows(&CountTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.second;
}

bool VisibleMessageBoxOf(DWORD processId)
{
    WindowSearch search{processId, nullptr, nullptr};
    ::EnumWindows(&FindOtherTopLevel, reinterpret_cast<LPARAM>(&search));
    return search.found != nullptr;
}

std::wstring WindowText(HWND window)
{
    wchar_t text[256] = {};
    ::GetWindowTextW(window, text, 256);
    return text;
}

BOOL CALLBACK FindVisibleTitled(HWND hwnd, LPARAM lParam)
{
    auto* search = reinterpret_cast<WindowSearch*>(lParam);
    DWORD owner = 0;
    ::GetWindowThreadProcessId(hwnd, &owner);
    if (owner == search->processId && ::IsWindowVisible(hwnd) && !WindowText(hwnd).empty()) {
        search->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND VisibleTitledWindowOf(DWORD processId)
{
    WindowSearch search{processId, nullptr, nullptr};
    ::EnumWindows(&FindVisibleTitled, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool ApplicationRuns()
{
    if (::FindWindowW(nullptr, L"Pinvora"))
        return true;
    HANDLE live = ::OpenEventW(SYNCHRONIZE, FALSE, L"Global\\PinvoraLiveEvent");
    if (live)
        ::CloseHandle(live);
    return live != nullptr;
}

BOOL CALLBACK RememberLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found)
{
    *reinterpret_cast<WORD*>(found) = language;
    return FALSE;
}

// The language the build gave resource 214 of `type`; an update must name the same one.
WORD ResourceLanguage(const std::wstring& exe, const wchar_t* type)
{
    WORD language = MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL);
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ::EnumResourceLanguagesW(module, type, MAKEINTRESOURCEW(214), &RememberLanguage,
                             reinterpret_cast<LONG_PTR>(&language));
    ::FreeLibrary(module);
    return language;
}

const wchar_t* const PackageFiles[] = {
    L"data.dat", L"Pinvora.exe", L"template-utf8.xml", L"使用说明.txt", L"卸载Tessamo.exe",
    L"res\\2020414132329879.png", L"res\\202042217722349.png", L"sound\\sound1.wav", L"sound\\sound6.mid"};

void PostKey(HWND target, UINT key)
{
    ::PostMessageW(target, WM_KEYDOWN, key, 1);
    ::PostMessageW(target, WM_KEYUP, key, 0xC0000001);
}

} // namespace

SetupDriver::~SetupDriver()
{
    if (process.hProcess) {
        if (::WaitForSingleObject(process.hProcess, 0) == WAIT_TIMEOUT)
            ::TerminateProcess(process.hProcess, 99);
        ::CloseHandle(process.hProcess);
        ::CloseHandle(process.hThread);
    }
}

bool SetupDriver::Start(const std::wstring& arguments, const std::wstring& folder, const std::wstring& exePath,
                        const std::wstring& name)
{
    CreateFolders(folder);
    const std::wstring copy = folder + name;
    if (!::CopyFileW(exePath.c_str(), copy.c_str(), FALSE))
        return false;
    std::wstring commandLine = L"\"" + copy + L"\"";
    if (!arguments.empty())
        commandLine += L" " + arguments;
    STARTUPINFOW startup{sizeof startup};
    return ::CreateProcessW(copy.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                            folder.c_str(), &startup, &process) != FALSE;
}

HWND SetupDriver::WaitForMainWindow(DWORD milliseconds)
{
    PumpUntil(
        [&] {
            main = ::FindWindowW(nullptr, L"安装Tessamo");
            if (!main)
                main = ::FindWindowW(nullptr, L"Tessamo软件升级");
            return main && ::IsWindowVisible(main) && Control(100);
        },
        milliseconds);
    return main;
}

HWND SetupDriver::Control(int id) const
{
    return main ? ChildById(main, id) : nullptr;
}

bool SetupDriver::IsVisible(int id) const
{
    HWND control = Control(id);
    return control && ::IsWindowVisible(control);
}

void SetupDriver::Click(HWND control) const
{
    RECT client;
    ::GetClientRect(control, &client);
    const LPARAM centre = MAKELPARAM(client.right / 2, client.bottom / 2);
    ::PostMessageW(control, WM_MOUSEMOVE, 0, centre);
    ::PostMessageW(control, WM_LBUTTONDOWN, MK_LBUTTON, centre);
    ::PostMessageW(control, WM_LBUTTONUP, 0, centre);
}

void SetupDriver::TypePath(const std::wstring& text)
{
    HWND field = Control(0);
    ::PostMessageW(field, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(2, 2));
    ::PostMessageW(field, WM_LBUTTONUP, 0, MAKELPARAM(2, 2));
    PostKey(field, VK_END);
    for (size_t i = 0; i < 300; ++i)
        PostKey(field, VK_BACK);
    for (wchar_t c : text)
        ::PostMessageW(field, WM_CHAR, c, 1);
    PumpUntil([&] { return PathFieldText() == text; }, 10000);
}

std::wstring SetupDriver::PathFieldText() const
{
    wchar_t text[600] = {};
    DWORD_PTR copied = 0;
    ::SendMessageTimeoutW(Control(0), WM_GETTEXT, 600, reinterpret_cast<LPARAM>(text), SMTO_ABORTIFHUNG, 5000,
                          &copied);
    return text;
}

std::wstring SetupDriver::Title() const
{
    return WindowText(main);
}

HWND SetupDriver::WaitForMessageBox(DWORD milliseconds) const
{
    WindowSearch search{process.dwProcessId, main, nullptr};
    PumpUntil(
        [&] {
            search.found = nullptr;
            ::EnumWindows(&FindOtherTopLevel, reinterpret_cast<LPARAM>(&search));
            return search.found && ChildById(search.found, 1);
        },
        milliseconds);
    return search.found;
}

void SetupDriver::Answer(HWND box, int button) const
{
    Click(ChildById(box, button));
    PumpUntil([&] { return !::IsWindow(box); }, 10000);
}

bool SetupDriver::WaitUntilVisible(int id, DWORD milliseconds) const
{
    return PumpUntil([&] { return IsVisible(id); }, milliseconds);
}

DWORD SetupDriver::WaitForExit(DWORD milliseconds)
{
    DWORD code = STILL_ACTIVE;
    PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, milliseconds);
    ::GetExitCodeProcess(process.hProcess, &code);
    return code;
}

SetupDriver::Watched SetupDriver::WatchUntilExit(DWORD milliseconds)
{
    Watched watched;
    const DWORD start = ::GetTickCount();
    while (::WaitForSingleObject(process.hProcess, 2) == WAIT_TIMEOUT) {
        watched.windowsSeen += TopLevelWindowsOf(process.dwProcessId);
        watched.applicationSeen = watched.applicationSeen || ApplicationRuns();
        watched.messageBoxSeen = watched.messageBoxSeen || VisibleMessageBoxOf(process.dwProcessId);
        if (HWND visible = VisibleTitledWindowOf(process.dwProcessId))
            watched.titleSeen = WindowText(visible);
        if (::GetTickCount() - start > milliseconds)
            return watched;
    }
    watched.applicationSeen = watched.applicationSeen || ApplicationRuns();
    ::GetExitCodeProcess(process.hProcess, &watched.exitCode);
    return watched;
}

bool SetupDriver::SaveScreenshot(HWND window, const std::wstring& name) const
{
    // Let the window's last composition reach the screen.
    PumpMessages(500);
    RECT frame;
    ::GetWindowRect(window, &frame);
    const Pixels shot = ScreenPixels(frame);
    CreateFolders(L"C:\\screenshots\\");
    const size_t imageBytes = shot.bits.size() * 4;
    BITMAPFILEHEADER file{0x4D42, static_cast<DWORD>(sizeof(BITMAPFILEHEADER) + sizeof shot.header + imageBytes), 0,
                          0, sizeof(BITMAPFILEHEADER) + sizeof shot.header};
    std::string bytes(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&shot.header), sizeof shot.header);
    bytes.append(reinterpret_cast<const char*>(shot.bits.data()), imageBytes);
    return WriteBytesFile(L"C:\\screenshots\\" + name + L".bmp", bytes);
}

size_t SetupDriver::PixelsDifferingFromStatusLine(const std::wstring& text) const
{
    PumpMessages(500);
    RECT status = StatusLineRect;
    ::MapWindowPoints(main, nullptr, reinterpret_cast<POINT*>(&status), 2);
    const std::vector<uint32_t> shown = ScreenPixels(status).bits;
    const std::vector<uint32_t> expected = RenderStatusLine(text).bits;
    size_t differing = 0;
    for (size_t i = 0; i < shown.size() && i < expected.size(); ++i)
        differing += (shown[i] & 0xFFFFFF) != (expected[i] & 0xFFFFFF);
    return differing;
}

std::vector<uint32_t> SetupDriver::PixelsOf(HWND window, const RECT& area) const
{
    PumpMessages(500);
    RECT onScreen = area;
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&onScreen), 2);
    const Pixels shot = ScreenPixels(onScreen);
    const size_t width = static_cast<size_t>(area.right - area.left);
    std::vector<uint32_t> topDown;
    for (size_t row = shot.bits.size() / width; row-- > 0;) {
        for (size_t x = 0; x < width; ++x)
            topDown.push_back(shot.bits[row * width + x] & 0xFFFFFF);
    }
    return topDown;
}

void UseDisplayDpi(UINT dpi)
{
    const DWORD value = dpi;
    ::RegSetKeyValueW(HKEY_CURRENT_USER, L"Control Panel\\Desktop", L"LogPixels", REG_DWORD, &value, sizeof value);
    using SetContext = BOOL(WINAPI*)(HANDLE);
    const auto set = reinterpret_cast<SetContext>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), "SetProcessDpiAwarenessContext")));
    // DPI_AWARENESS_CONTEXT_PER_MONITOR_AWARE_V2
    if (set)
        set(reinterpret_cast<HANDLE>(static_cast<INT_PTR>(-4)));
}

std::vector<uint32_t> InstallerPicture(int id, SIZE& size)
{
    size = SIZE{0, 0};
    HMODULE installer = ::LoadLibraryExW(L"C:\\bin\\TessamoSetup.exe", nullptr,
                                         LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!installer)
        return {};
    std::vector<uint32_t> pixels;
    HRSRC found = ::FindResourceW(installer, MAKEINTRESOURCEW(id), L"PNG");
    HGLOBAL loaded = found ? ::LoadResource(installer, found) : nullptr;
    if (loaded) {
        IStream* stream = ::SHCreateMemStream(static_cast<const BYTE*>(::LockResource(loaded)),
                                              ::SizeofResource(installer, found));
        CGdiImage image;
        image.DecodeFrom(stream);
        stream->Release();
        HBITMAP bitmap = image.ToBitmap(0);
        size = BitmapSize(bitmap);
        BITMAPINFO header{{sizeof(BITMAPINFOHEADER), size.cx, -size.cy, 1, 32, BI_RGB}};
        pixels.resize(static_cast<size_t>(size.cx) * size.cy);
        HDC screen = ::GetDC(nullptr);
        ::GetDIBits(screen, bitmap, 0, size.cy, pixels.data(), &header, DIB_RGB_COLORS);
        ::ReleaseDC(nullptr, screen);
        ::DeleteObject(bitmap);
        for (uint32_t& pixel : pixels)
            pixel &= 0xFFFFFF;
    }
    ::FreeLibrary(installer);
    return pixels;
}

uint32_t SetupDriver::PixelAt(HWND window, int x, int y) const
{
    RECT frame;
    ::GetWindowRect(window, &frame);
    HDC screen = ::GetDC(nullptr);
    COLORREF color = ::GetPixel(screen, frame.left + x, frame.top + y);
    ::ReleaseDC(nullptr, screen);
    return (GetRValue(color) << 16) | (GetGValue(color) << 8) | GetBValue(color);
}

void ExpectInstalledIn(const std::wstring& dir)
{
    for (const wchar_t* file : PackageFiles)
        EXPECT_TRUE(FileExists(dir + file)) << ToUtf8(dir + file);
    EXPECT_EQ(ShortcutTarget(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessamo.lnk"), dir + L"Pinvora.exe");
    EXPECT_EQ(ShortcutTarget(SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\卸载Tessamo.lnk"), dir + L"卸载Tessamo.exe");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, UninstallKey, L"DisplayIcon"), dir + L"Pinvora.exe");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, UninstallKey, L"UninstallString"), L"\"" + dir + L"卸载Tessamo.exe\"");
    EXPECT_FALSE(FileExists(L"C:\\dl\\temp")) << "the unpacked files are removed";
}

std::string SetupPackageOf(const std::wstring& exe)
{
    HMODULE module = ::LoadLibraryExW(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(214), L"PKG");
    std::string bytes;
    if (found)
        bytes.assign(static_cast<const char*>(::LockResource(::LoadResource(module, found))),
                     ::SizeofResource(module, found));
    ::FreeLibrary(module);
    return bytes;
}

uint32_t CrcOf(const std::string& package)
{
    return Crc32(reinterpret_cast<const uint8_t*>(package.data()), package.size());
}

std::wstring InstallerWithPackage(const std::string& package, std::optional<uint32_t> crcRecord)
{
    const std::wstring copy = L"C:\\bin\\TessamoSetupBroken.exe";
    ::CopyFileW(L"C:\\bin\\TessamoSetup.exe", copy.c_str(), FALSE);
    const WORD packageLanguage = ResourceLanguage(copy, L"PKG");
    const WORD recordLanguage = ResourceLanguage(copy, L"PKGCRC");
    HANDLE update = ::BeginUpdateResourceW(copy.c_str(), FALSE);
    ::UpdateResourceW(update, L"PKG", MAKEINTRESOURCEW(214), packageLanguage, const_cast<char*>(package.data()),
                      static_cast<DWORD>(package.size()));
    if (crcRecord) {
        BYTE record[4] = {BYTE(*crcRecord), BYTE(*crcRecord >> 8), BYTE(*crcRecord >> 16), BYTE(*crcRecord >> 24)};
        ::UpdateResourceW(update, L"PKGCRC", MAKEINTRESOURCEW(214), recordLanguage, record, sizeof record);
    }
    ::EndUpdateResourceW(update, FALSE);
    return copy;
}

std::string PackageWithOneByteChanged()
{
    std::string package = SetupPackageOf(L"C:\\bin\\TessamoSetup.exe");
    const std::string closingTag = "</#_this_is_tag_#>";
    const size_t firstPayload = package.find(closingTag) + closingTag.size();
    package[firstPayload + 100] ^= 0x01;
    return package;
}

std::string PackageEntry(const std::string& name, const std::string& payload)
{
    return "<#_this_is_tag_#>name:" + name + " length:" + std::to_string(payload.size()) + "</#_this_is_tag_#>" +
           payload;
}

std::string PackageWithout(const std::string& package, const std::string& name)
{
    const std::string tag = "<#_this_is_tag_#>name:";
    const size_t start = package.find(tag + name + " ");
    if (start == std::string::npos)
        return package;
    const size_t next = package.find(tag, start + tag.size());
    return package.substr(0, start) + (next == std::string::npos ? "" : package.substr(next));
}

namespace {

void ListFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((root + relative + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            out.push_back(L"folder " + root + relative + name);
            ListFiles(root, relative + name + L"\\", out);
        } else {
            const std::string bytes = ReadBytesFile(root + relative + name);
            out.push_back(L"file " + root + relative + name + L" " + std::to_wstring(bytes.size()) + L" " +
                          std::to_wstring(Fnv1a(bytes)));
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

} // namespace

std::vector<std::wstring> Snapshot(const std::wstring& dir)
{
    std::vector<std::wstring> items;
    const std::wstring local = SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\";
    for (const std::wstring& folder : {dir, local + L"Tessamo\\", local + L"Tessamo Setup\\"}) {
        items.push_back(folder + (FileExists(folder) ? L" is there" : L" is missing"));
        ListFiles(folder, L"", items);
    }
    for (HKEY root : {HKEY_CURRENT_USER, HKEY_LOCAL_MACHINE})
        items.push_back(L"Run Pinvora = " + RegistryString(root, RunKey, L"Pinvora"));
    for (const wchar_t* value : {L"DisplayIcon", L"DisplayName", L"Publisher", L"UninstallString", L"DisplayVersion"})
        items.push_back(std::wstring(L"Uninstall ") + value + L" = " +
                        RegistryString(HKEY_CURRENT_USER, UninstallKey, value));
    // A link's bytes hold its target's path: compare the targets.
    for (const std::wstring& folder :
         {SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\", SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\"}) {
        std::vector<std::wstring> files;
        ListFiles(folder, L"", files);
        for (const std::wstring& file : files) {
            const size_t end = file.find(L".lnk ");
            if (file.compare(0, 5, L"file ") != 0 || end == std::wstring::npos) {
                items.push_back(file);
                continue;
            }
            const std::wstring link = file.substr(5, end + 4 - 5);
            items.push_back(L"Shortcut " + link + L" -> " + ShortcutTarget(link));
        }
    }
    for (std::wstring& item : items)
        item = ReplaceAll(item, dir, L"<dir>\\");
    return items;
}

std::wstring ReadLog(const std::wstring& path)
{
    const std::string bytes = ReadBytesFile(path);
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") != 0)
        return {};
    std::wstring text(bytes.size(), L'\0');
    text.resize(::MultiByteToWideChar(CP_UTF8, 0, bytes.data() + 3, static_cast<int>(bytes.size() - 3), text.data(),
                                      static_cast<int>(text.size())));
    return text;
}

void ExpectLogHolds(const std::wstring& log, const std::vector<std::wstring>& parts)
{
    size_t at = 0;
    for (const std::wstring& part : parts) {
        const size_t found = log.find(part, at);
        EXPECT_NE(found, std::wstring::npos)
            << "missing or out of order: " << ToUtf8(part) << "\nlog:\n" << ToUtf8(log);
        if (found != std::wstring::npos)
            at = found + part.size();
    }
}

void CreateFolders(const std::wstring& path)
{
    for (size_t at = path.find(L'\\', 3); at != std::wstring::npos; at = path.find(L'\\', at + 1))
        ::CreateDirectoryW(path.substr(0, at).c_str(), nullptr);
}

bool SetRegistryString(HKEY root, const std::wstring& key, const std::wstring& name, const std::wstring& value)
{
    return ::RegSetKeyValueW(root, key.c_str(), name.c_str(), REG_SZ, value.c_str(),
                             static_cast<DWORD>((value.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

std::wstring RegistryString(HKEY root, const std::wstring& key, const std::wstring& name)
{
    wchar_t value[1000] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(root, key.c_str(), name.c_str(), RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<absent>";
    return value;
}

std::wstring SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE);
    return folder;
}

std::wstring ShortcutTarget(const std::wstring& linkPath)
{
    IShellLinkW* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&link))))
        return {};
    std::wstring target;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        PIDLIST_ABSOLUTE item = nullptr;
        wchar_t path[MAX_PATH] = {};
        if (SUCCEEDED(file->Load(linkPath.c_str(), STGM_READ)) && SUCCEEDED(link->GetIDList(&item)) &&
            ::SHGetPathFromIDListW(item, path))
            target = path;
        ::CoTaskMemFree(item);
        file->Release();
    }
    link->Release();
    return target;
}
