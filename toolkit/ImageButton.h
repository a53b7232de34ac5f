#pragma once
#include "DisplayScale.h"
#include "QCtrlBase.h"

// The hover cross-fade: every 30 ms tick adds 50 to the new picture's opacity; the
// fade ends at 255, so it takes six ticks (50, 100, 150, 200, 250, 255).
constexpr UINT FadeTimerId = 1;
constexpr UINT FadeTickMilliseconds = 30;
int AdvanceFade(int level);

// A button drawn from state pictures (normal, hover, pressed, selected), with a short
// cross-fade when the mouse enters or leaves it. A click on it (press and release both
// over it; see ClickTracker), or Enter or Space while it has the focus, sends WM_COMMAND
// (wParam = id) to the parent. While pressed it shows the pressed picture as long as the
// mouse is over it.
class CImageButton : public CQCtrlBase {
public:
    enum State { Normal = 0, Pressed = 1, Hover = 2 };
    enum ImageSlot { NormalImage, HoverImage, PressedImage, SelectedImage };

    // 32-bit premultiplied pictures, owned.
    HBITMAP images[4] = {};
    // While set, the selected picture replaces the state pictures.
    bool selected = false;
    bool fade = true;
    // Pictures drawn as nine-grid images filling the client area.
    bool stretch = false;
    // Opacity of the current state picture during a fade.
    int fadeLevel = 255;
    // The picture last drawn in plain mode, and the one fading out; not owned.
    HBITMAP currentImage = nullptr;
    HBITMAP fadeFromImage = nullptr;
    int state = Normal;

    CImageButton() = default;
    ~CImageButton() override;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawSelf(HDC dc, HDC scratch) override;
    void Press() override { Notify(); }
    AccessibleFacts DescribeAccessible(long child) const override;

    // "PNG" resource ids; 0 leaves a slot empty. The pictures are made for a window at
    // `dpi`. Redraws when the button exists.
    void SetImages(int normalId, int hoverId, int pressedId, int selectedId, UINT dpi = DefaultDpi);
    void SetStretch(bool on) { stretch = on; }

private:
    void DeleteImages();
    void StartFade(int newState);
    void SettleInState(int newState);
    void StopFade();
    void OnMouseMove(HWND hwnd, LPARAM point, LRESULT& result);
    void OnButtonUp(HWND hwnd, LPARAM point);
    void DrawPicture(HDC dc, HDC scratch, HBITMAP picture, int opacity, const RECT& client);

    ClickTracker click;
};
