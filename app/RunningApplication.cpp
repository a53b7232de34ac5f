#include "RunningApplication.h"

#include <windows.h>

namespace {

// A check sends WM_CLOSE twice and pauses 500 ms between. Kept together well under
// the five seconds after which a window that has not read its messages counts as
// hung, so the setup window is never greyed out as "not responding".
constexpr UINT HungWindowTimeoutMs = 1500;

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
