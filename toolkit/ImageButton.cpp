#include "ImageButton.h"

#include <algorithm>

#include "GdiObjects.h"
#include "ImageResources.h"
#include "NineGridImage.h"

int AdvanceFade(int level)
{
    return std::min(level + 50, 255);
}

CImageButton::~CImageButton()
{
    fadeLevel = 255;
    fadeFromImage = nullptr;
    if (window && ::IsWindow(window))
        ::KillTimer(window, FadeTimerId);
    DeleteImages();
}

void CImageButton::DeleteImages()
{
    for (HBITMAP& image : images) {
        if (image)
            ::DeleteObject(image);
        image = nullptr;
    }
}

void CImageButton::SetImages(int normalId, int hoverId, int pressedId, int selectedId, UINT dpi)
{
    // The pictures being replaced may still be named by a fade.
    currentImage = fadeFromImage = nullptr;
    DeleteImages();
    const int ids[4] = {normalId, hoverId, pressedId, selectedId};
    for (int slot = 0; slot < 4; ++slot) {
        if (ids[slot])
            images[slot] = LoadPngBitmapAt(ids[slot], dpi);
    }
    if (window)
        Invalidate();
}

void CImageButton::StartFade(int newState)
{
    fadeFromImage = currentImage;
    fadeLevel = 0;
    state = newState;
    ::SetTimer(window, FadeTimerId, FadeTickMilliseconds, nullptr);
    Invalidate();
}

void CImageButton::SettleInState(int newState)
{
    ::KillTimer(window, FadeTimerId);
    state = newState;
    fadeLevel = 255;
    fadeFromImage = nullptr;
    Invalidate();
}

void CImageButton::StopFade()
{
    fadeLevel = 255;
    fadeFromImage = nullptr;
    ::KillTimer(window, FadeTimerId);
}

void CImageButton::OnMouseMove(HWND hwnd, LPARAM point, LRESULT& result)
{
    TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
    ::TrackMouseEvent(&track);
    if (click.Pending()) {
        // Held down: pressed while over the button, normal beside it.
        const int look = IsInClient(hwnd, point) ? Pressed : Normal;
        if (state != look)
            SettleInState(look);
        result = 1;
        return;
    }
    if (state == Normal)
        StartFade(Hover);
}

void CImageButton::OnButtonUp(HWND hwnd, LPARAM point)
{
    const bool clicked = click.Release(hwnd, point);
    const bool over = IsInClient(hwnd, point);
    const int look = over ? Hover : Normal;
    if (state != look)
        SettleInState(look);
    if (over) {
        // Mouse-leave tracking ends with the capture; the button must still fade out.
        TRACKMOUSEEVENT track{sizeof track, TME_LEAVE, hwnd, 0};
        ::TrackMouseEvent(&track);
    }
    // Last: the parent may destroy the button in answer.
    if (clicked)
        Notify();
}

bool CImageButton::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                 LRESULT& result, DWORD mapId)
{
    if (CQCtrlBase::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
        return true;
    if (mapId != 0)
        return false;
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(hwnd, lParam, result);
        return true;
    case WM_MOUSELEAVE:
        // While held down the moves decide the look.
        if (state != Normal && !click.Pending())
            StartFade(Normal);
        return true;
    case WM_LBUTTONDOWN:
        click.Press(hwnd);
        if (state != Pressed)
            SettleInState(Pressed);
        return true;
    case WM_LBUTTONDBLCLK:
        // The second click of a double click is no new press.
        return true;
    case WM_LBUTTONUP:
        OnButtonUp(hwnd, lParam);
        return true;
    case WM_CAPTURECHANGED:
        if (click.Abandon())
            SettleInState(Normal);
        return true;
    case WM_KEYDOWN:
        if (wParam == VK_RETURN || wParam == VK_SPACE)
            Press();
        return true;
    case WM_TIMER:
        if (wParam == FadeTimerId) {
            fadeLevel = AdvanceFade(fadeLevel);
            if (fadeLevel >= 255)
                StopFade();
            Invalidate();
        }
        return false;
    default:
        return false;
    }
}

AccessibleFacts CImageButton::DescribeAccessible(long child) const
{
    AccessibleFacts facts = CQCtrlBase::DescribeAccessible(child);
    facts.role = ROLE_SYSTEM_PUSHBUTTON;
    facts.defaultAction = L"按下";
    return facts;
}

void CImageButton::DrawPicture(HDC dc, HDC scratch, HBITMAP picture, int opacity,
                               const RECT& client)
{
    if (!picture)
        return;
    const SIZE size = BitmapSize(images[PressedImage] ? images[PressedImage] : picture);
    if (stretch) {
        NineGridImage grid;
        grid.Attach(picture, false);
        grid.SetSplits(size.cx / 2, size.cx / 2, size.cy / 2, size.cy / 2);
        grid.SetConstantAlpha(static_cast<BYTE>(opacity));
        grid.Draw(dc, scratch, client.left, client.top, client.right, client.bottom);
        return;
    }
    const int x = (client.right - client.left - size.cx) / 2;
    const int y = (client.bottom - client.top - size.cy) / 2;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, static_cast<BYTE>(opacity), AC_SRC_ALPHA};
    ScopedSelection selection(scratch, picture);
    ::AlphaBlend(dc, x, y, size.cx, size.cy, scratch, 0, 0, size.cx, size.cy, blend);
    currentImage = picture;
}

void CImageButton::DrawSelf(HDC dc, HDC scratch)
{
    RECT client{};
    ::GetClientRect(window, &client);
    if (::IsRectEmpty(&client) || !parent)
        return;
    if (fade && fadeFromImage)
        DrawPicture(dc, scratch, fadeFromImage, 255 - fadeLevel, client);
    else
        fadeLevel = 255;

    HBITMAP picture = nullptr;
    if (selected)
        picture = images[SelectedImage];
    else if (state == Normal)
        picture = images[NormalImage];
    else if (state == Hover)
        picture = images[HoverImage];
    else
        picture = images[PressedImage];
    DrawPicture(dc, scratch, picture, fadeLevel, client);
}
