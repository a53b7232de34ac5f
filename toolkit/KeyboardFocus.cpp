#include "KeyboardFocus.h"

#include <algorithm>

#include "FocusOrder.h"
#include "QCtrlBase.h"
#include "ToolkitMessages.h"

namespace {

bool CanTakeFocus(const CQCtrlBase* control)
{
    return control->window && ::IsWindowVisible(control->window) && ::IsWindowEnabled(control->window);
}

void ChangeUiState(HWND hwnd, WORD action)
{
    ::SendMessageW(::GetAncestor(hwnd, GA_ROOT), WM_CHANGEUISTATE, MAKEWPARAM(action, UISF_HIDEFOCUS), 0);
}

} // namespace

void CKeyboardFocus::SetTabOrder(std::vector<CQCtrlBase*> order)
{
    tabOrder = std::move(order);
    for (CQCtrlBase* control : tabOrder)
        control->tabStop = true;
}

bool CKeyboardFocus::MoveFocus(bool backward)
{
    std::vector<bool> focusable;
    int current = -1;
    const HWND focus = ::GetFocus();
    for (const CQCtrlBase* control : tabOrder) {
        if (control->window && control->window == focus)
            current = static_cast<int>(focusable.size());
        focusable.push_back(CanTakeFocus(control));
    }
    const int next = NextFocusIndex(focusable, current, backward);
    if (next < 0)
        return false;
    ::SetFocus(tabOrder[next]->window);
    return true;
}

void CKeyboardFocus::ApplyUiState(WPARAM change)
{
    if (!(HIWORD(change) & UISF_HIDEFOCUS))
        return;
    switch (LOWORD(change)) {
    case UIS_SET:
    case UIS_INITIALIZE:
        cueHidden = true;
        break;
    case UIS_CLEAR:
        cueHidden = false;
        break;
    default:
        break;
    }
}

bool CKeyboardFocus::Handle(HWND, UINT message, WPARAM wParam, LRESULT& result)
{
    switch (message) {
    case WM_CHANGEUISTATE:
    case WM_UPDATEUISTATE:
        ApplyUiState(wParam);
        result = 0;
        return message == WM_CHANGEUISTATE;
    case WM_QUERYUISTATE:
        result = cueHidden ? UISF_HIDEFOCUS : 0;
        return true;
    case WM_KEYDOWN:
        cueHidden = false;
        if (wParam == VK_TAB) {
            MoveFocus(::GetKeyState(VK_SHIFT) < 0);
            return true;
        }
        if (wParam == VK_RETURN && defaultButton && CanTakeFocus(defaultButton)) {
            // Posted: the button's command may run a modal loop.
            ::PostMessageW(defaultButton->window, WM_ALPHA_PRESS, 0, 0);
            return true;
        }
        return false;
    case WM_LBUTTONDOWN:
        cueHidden = true;
        return false;
    default:
        return false;
    }
}

void ReportKeyboardUse(HWND hwnd)
{
    ChangeUiState(hwnd, UIS_CLEAR);
}

void ReportMouseUse(HWND hwnd)
{
    ChangeUiState(hwnd, UIS_SET);
}
