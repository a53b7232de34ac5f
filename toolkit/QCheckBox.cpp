#include "QCheckBox.h"

#include "GdiObjects.h"
#include "HighContrast.h"
#include "ImageResources.h"

CQCheckBox::~CQCheckBox()
{
    DeleteImages();
}

void CQCheckBox::DeleteImages()
{
    for (HBITMAP* image : {&checkedImage, &uncheckedImage}) {
        if (*image)
            ::DeleteObject(*image);
        *image = nullptr;
    }
}

void CQCheckBox::SetCheckImages(int checkedPngId, int uncheckedPngId, UINT dpi)
{
    DeleteImages();
    checkedImage = LoadPngBitmapAt(checkedPngId, dpi);
    uncheckedImage = LoadPngBitmapAt(uncheckedPngId, dpi);
    labelGap = ScaleLength(LabelGap, dpi);
    const SIZE size = BitmapSize(checkedImage);
    imageWidth = size.cx;
    imageHeight = size.cy;
}

void CQCheckBox::SetChecked(bool on)
{
    checked = on;
    if (window)
        Invalidate();
}

bool CQCheckBox::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result, DWORD mapId)
{
    if (CQCtrlBase::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
        return true;
    if (mapId != 0)
        return false;
    switch (message) {
    case WM_LBUTTONDOWN:
        click.Press(hwnd);
        return true;
    case WM_LBUTTONDBLCLK:
        // The second click of a double click is no new press.
        return true;
    case WM_LBUTTONUP:
        if (click.Release(hwnd, lParam))
            Toggle();
        return true;
    case WM_CAPTURECHANGED:
        click.Abandon();
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_SPACE)
            Press();
        return true;
    default:
        return false;
    }
}

void CQCheckBox::Toggle()
{
    checked = !checked;
    if (listener)
        listener->OnCheckChanged(this);
    Invalidate();
    ::NotifyWinEvent(EVENT_OBJECT_STATECHANGE, window, OBJID_CLIENT, CHILDID_SELF);
}

RECT CQCheckBox::FocusCueRect() const
{
    RECT client{};
    ::GetClientRect(window, &client);
    return client;
}

AccessibleFacts CQCheckBox::DescribeAccessible(long child) const
{
    AccessibleFacts facts = CQCtrlBase::DescribeAccessible(child);
    facts.name = text;
    facts.role = ROLE_SYSTEM_CHECKBUTTON;
    if (checked)
        facts.state |= STATE_SYSTEM_CHECKED;
    facts.defaultAction = checked ? L"取消选中" : L"选中";
    return facts;
}

void CQCheckBox::DrawSelf(HDC dc, HDC scratch)
{
    RECT client{};
    ::GetClientRect(window, &client);
    HBITMAP picture = checked ? checkedImage : uncheckedImage;
    if (picture) {
        BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
        ScopedSelection selection(scratch, picture);
        ::AlphaBlend(dc, 0, (client.bottom - client.top - imageHeight) / 2, imageWidth, imageHeight,
                     scratch, 0, 0, imageWidth, imageHeight, blend);
    }
    RECT label = client;
    label.left = imageWidth + labelGap;
    const COLORREF previous = ::SetTextColor(dc, ContrastColour(textColor, COLOR_WINDOWTEXT));
    ::DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &label, DT_SINGLELINE | DT_VCENTER);
    ::SetTextColor(dc, previous);
}
