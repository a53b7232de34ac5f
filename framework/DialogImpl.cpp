#include "DialogImpl.h"

namespace {

CWindowImplRoot* DialogObjectOf(HWND hwnd)
{
    return reinterpret_cast<CWindowImplRoot*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
}

// Messages whose result a dialog procedure returns directly instead of through
// DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message)
{
    switch (message) {
    case WM_INITDIALOG:
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
        return true;
    default:
        return false;
    }
}

} // namespace

INT_PTR CALLBACK FrameworkDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        auto* object = reinterpret_cast<CWindowImplRoot*>(lParam);
        object->window = hwnd;
        ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    }
    CWindowImplRoot* object = DialogObjectOf(hwnd);
    if (!object)
        return FALSE;

    LRESULT result = 0;
    bool handled = object->Dispatch(hwnd, message, wParam, lParam, result);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
        object->Detach(hwnd);
        return FALSE;
    }
    if (!handled)
        return FALSE;
    if (ReturnsResultDirectly(message))
        return static_cast<INT_PTR>(result);
    ::SetWindowLongPtrW(hwnd, DWLP_MSGRESULT, result);
    return TRUE;
}
