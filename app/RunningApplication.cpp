#include "RunningApplication.h"

#include <windows.h>

namespace {

constexpr UINT HungWindowTimeoutMs = 3000;

} // namespace

bool AskApplicationToClose()
{
    HWND application = ::FindWindowW(nullptr, L"Pinvora");
    if (!application)
        return false;
    DWORD_PTR ignored = 0;
    ::SendMessageTimeoutW(application, WM_CLOSE, 0, 0, SMTO_ABORTIFHUNG | SMTO_NORMAL,
                          HungWindowTimeoutMs, &ignored);
    return true;
}

bool IsApplicationRunning()
{
    HANDLE event = ::OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Global\\PinvoraLiveEvent");
    if (event) {
        ::CloseHandle(event);
        return true;
    }
    return ::GetLastError() == ERROR_ACCESS_DENIED;
}
