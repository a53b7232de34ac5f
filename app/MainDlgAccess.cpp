// The setup window to the keyboard and to assistive technology.
#include "MainDlg.h"

#include "ProgressText.h"

namespace {

constexpr long StatusLineChild = 1;
constexpr long ProgressChild = 2;

RECT ClientToScreenRect(HWND hwnd, RECT rect)
{
    ::MapWindowPoints(hwnd, nullptr, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

} // namespace

void CMainDlg::SetUpKeyboard()
{
    pathField.accessibleName = L"安装目录";
    keyboard.SetTabOrder({&pathField, &changeDirButton, &mainButton, &autostartBox, &startButton});
    keyboard.SetDefaultButton(&mainButton);
}

bool CMainDlg::StatusLineShown() const
{
    return !pathField.visible && !StatusText.empty();
}

AccessibleFacts CMainDlg::DescribeAccessible(long child) const
{
    AccessibleFacts facts = CWndFrameBase<CMainDlg>::DescribeAccessible(CHILDID_SELF);
    if (child == CHILDID_SELF)
        return facts;
    const bool shown = StatusLineShown() && (child == StatusLineChild || !progressValue.empty());
    facts.state = STATE_SYSTEM_READONLY | (shown ? 0 : STATE_SYSTEM_INVISIBLE);
    facts.location = ClientToScreenRect(window, StatusRect());
    if (child == StatusLineChild) {
        facts.name = StatusText;
        facts.role = ROLE_SYSTEM_STATICTEXT;
    } else {
        facts.name = L"安装进度";
        facts.role = ROLE_SYSTEM_PROGRESSBAR;
        facts.value = progressValue;
    }
    return facts;
}

void CMainDlg::AnnounceProgress(int code)
{
    const wchar_t* value = ProgressValueFor(code);
    if (!value)
        return;
    progressValue = value;
    ::NotifyWinEvent(EVENT_OBJECT_NAMECHANGE, window, OBJID_CLIENT, StatusLineChild);
    ::NotifyWinEvent(EVENT_OBJECT_VALUECHANGE, window, OBJID_CLIENT, ProgressChild);
}
