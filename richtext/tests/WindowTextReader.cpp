// Reads another process's window text the way accessibility tools and test drivers do:
// WM_GETTEXTLENGTH, then WM_GETTEXT. Usage: WindowTextReader <hwnd in hex> <output file>.
// The text is written to the file as UTF-16; the exit code is the reported length.
#include <windows.h>

#include <cwchar>
#include <vector>

int wmain(int argc, wchar_t** argv)
{
    if (argc < 3)
        return -1;
    HWND window = reinterpret_cast<HWND>(static_cast<UINT_PTR>(std::wcstoul(argv[1], nullptr, 16)));
    LRESULT length = ::SendMessageW(window, WM_GETTEXTLENGTH, 0, 0);
    std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
    LRESULT copied = ::SendMessageW(window, WM_GETTEXT, buffer.size(),
                                    reinterpret_cast<LPARAM>(buffer.data()));
    HANDLE file = ::CreateFileW(argv[2], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    DWORD written = 0;
    ::WriteFile(file, buffer.data(), static_cast<DWORD>(copied * sizeof(wchar_t)), &written, nullptr);
    ::CloseHandle(file);
    return static_cast<int>(length);
}
