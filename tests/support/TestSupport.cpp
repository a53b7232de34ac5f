#include "TestSupport.h"

#include <shellapi.h>

void PumpMessages(DWORD milliseconds)
{
    DWORD start = ::GetTickCount();
    do {
        MSG msg;
        while (::PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, 5, QS_ALLINPUT);
    } while (::GetTickCount() - start < milliseconds);
}

ScopedTempDir::ScopedTempDir()
{
    wchar_t base[MAX_PATH];
    ::GetTempPathW(MAX_PATH, base);
    static LONG counter = 0;
    for (;;) {
        path = std::wstring(base) + L"tessamo-test-" + std::to_wstring(::GetCurrentProcessId()) +
               L"-" + std::to_wstring(::InterlockedIncrement(&counter)) + L"\\";
        if (::CreateDirectoryW(path.c_str(), nullptr))
            break;
    }
}

ScopedTempDir::~ScopedTempDir()
{
    // Double NUL-terminated, without the trailing backslash.
    std::wstring from = path.substr(0, path.size() - 1);
    from.push_back(L'\0');
    SHFILEOPSTRUCTW op{};
    op.wFunc = FO_DELETE;
    op.pFrom = from.c_str();
    op.fFlags = FOF_NO_UI;
    ::SHFileOperationW(&op);
}

bool IsPe32GuiProgram(const std::string& file)
{
    if (file.size() < sizeof(IMAGE_DOS_HEADER))
        return false;
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    if (dos->e_magic != IMAGE_DOS_SIGNATURE || dos->e_lfanew < 0 ||
        static_cast<size_t>(dos->e_lfanew) + sizeof(IMAGE_NT_HEADERS32) > file.size())
        return false;
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(file.data() + dos->e_lfanew);
    return nt->Signature == IMAGE_NT_SIGNATURE && nt->FileHeader.Machine == IMAGE_FILE_MACHINE_I386 &&
           nt->OptionalHeader.Magic == IMAGE_NT_OPTIONAL_HDR32_MAGIC &&
           nt->OptionalHeader.Subsystem == IMAGE_SUBSYSTEM_WINDOWS_GUI;
}

std::string ToUtf8(const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string out(size, '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), out.data(), size,
                          nullptr, nullptr);
    return out;
}

bool WriteBytesFile(const std::wstring& path, const std::string& bytes)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    DWORD written = 0;
    BOOL ok = ::WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == bytes.size();
}

std::string ReadBytesFile(const std::wstring& path)
{
    HANDLE file = ::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return {};
    std::string bytes(::GetFileSize(file, nullptr), '\0');
    DWORD read = 0;
    ::ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
    ::CloseHandle(file);
    bytes.resize(read);
    return bytes;
}

bool FileExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

uint64_t Fnv1a(const std::string& bytes)
{
    uint64_t value = 0xCBF29CE484222325ull;
    for (unsigned char byte : bytes)
        value = (value ^ byte) * 0x100000001B3ull;
    return value;
}

namespace {

// The host's path of a Windows path, through Wine's own export; empty elsewhere.
std::string HostPath(const std::wstring& path)
{
    using HostName = char*(CDECL*)(const wchar_t*);
    const auto toHost = reinterpret_cast<HostName>(
        reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"kernel32.dll"), "wine_get_unix_file_name")));
    char* name = toHost ? toHost(path.c_str()) : nullptr;
    if (!name)
        return {};
    std::string host = name;
    ::HeapFree(::GetProcessHeap(), 0, name);
    return host;
}

} // namespace

bool MakeFolderLink(const std::wstring& link, const std::wstring& target)
{
    const std::string from = HostPath(target), to = HostPath(link);
    if (from.empty() || to.empty())
        return false;
    // Wine starts host programs given by a path below its "\\?\unix" root.
    std::wstring command = L"ln -s \"" + std::wstring(from.begin(), from.end()) + L"\" \"" +
                           std::wstring(to.begin(), to.end()) + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(L"\\\\?\\unix\\bin\\ln", command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    // A host program's handle tells nothing of its end: watch for the link instead.
    for (DWORD waited = 0; waited < 10000; waited += 20) {
        const DWORD attributes = ::GetFileAttributesW(link.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
            return true;
        ::Sleep(20);
    }
    return false;
}
