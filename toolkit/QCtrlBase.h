#pragma once
#include <windows.h>

#include <string>
#include <vector>

#include "AccessibleObject.h"
#include "WindowImpl.h"

// The usual button rule: a click is a press and a release both on the control, and the
// control holds the mouse in between, so a press that began elsewhere (a drag of the
// window, say) ends in no click. The double-click message is no second press.
class ClickTracker {
public:
    // On WM_LBUTTONDOWN.
    void Press(HWND control);
    // On WM_LBUTTONUP with its lParam: ends the press; true when it completes a click.
    bool Release(HWND control, LPARAM point);
    // On WM_CAPTURECHANGED: the press is given up; true when one was under way.
    bool Abandon();
    bool Pending() const { return pending; }

private:
    bool pending = false;
};

// Whether a client point in a mouse message's lParam lies in `control`'s client area.
bool IsInClient(HWND control, LPARAM point);

// Base of every control hosted by a layered window. The control is a real child
// window only for input and focus; its look is drawn by DrawSelf into the top-level
// window's buffer while that window composes (DrawToParent), in the control's own
// client coordinates. A change of look asks the parent to recompose (Invalidate).
//
// Derived controls override HandleMessage (calling this one first) and DrawSelf.
//
// Keyboard: Tab and Escape go to the top-level window, which moves the focus or answers;
// a control with the focus shows the focus cue while the window's UI state shows it.
// Assistive technology: WM_GETOBJECT gets an accessible object whose facts come from
// DescribeAccessible; its default action posts WM_ALPHA_PRESS, which calls Press.
class CQCtrlBase : public CWindowImpl<CQCtrlBase>, public AccessibleSource {
public:
    // Low 16 bits are the wParam of the WM_COMMAND notifications.
    UINT id = 0;
    // Receives notifications and the toolkit messages.
    HWND parent = nullptr;
    bool visible = true;
    // Sub-controls, drawn after the control itself; not owned.
    std::vector<CQCtrlBase*> controls;
    // The name for assistive technology where the control shows no text of its own.
    std::wstring accessibleName;
    // In its window's Tab order (set by CKeyboardFocus).
    bool tabStop = false;

    CQCtrlBase() = default;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;

    // Creates the child window (WS_CHILD | WS_VISIBLE) at (left, top)-(right, bottom) of
    // `parentWindow`'s client area.
    virtual HWND CreateControl(HWND parentWindow, int left, int top, int right, int bottom,
                               UINT commandId);
    // Asks the parent to recompose, now, the part of the window where the control is and
    // where it was last drawn, unless the control is hidden or not created.
    virtual void Invalidate();
    // Draws the control and its sub-controls into `dc`, the top-level window's buffer,
    // clipped to the visible part; `scratch` is a memory DC for picture blits.
    virtual void DrawToParent(HDC dc, HDC scratch);
    virtual void DrawSelf(HDC dc, HDC scratch);
    // What Space or Enter (and the default action) do; nothing here.
    virtual void Press();
    // Where the focus cue goes, in client coordinates.
    virtual RECT FocusCueRect() const;

    AccessibleFacts DescribeAccessible(long child) const override;
    bool StartDefaultAction(long child) override;

    // Shows or hides the child window; does not recompose (callers do).
    void SetVisible(bool show);
    bool HasFocus() const;
    // Screen point to the top-level window's client coordinates.
    POINT ScreenToTopLevel(POINT screen) const;
    // The visible part of the control in top-level client coordinates.
    RECT VisibleRect() const;

protected:
    // Sends the WM_COMMAND notification for this control to `parent`.
    void Notify();

private:
    void AnswerVisibleRect(RECT* out) const;
    bool HandleKeyboardMessage(UINT message, WPARAM wParam, LPARAM lParam);
    bool FocusCueShown() const;
    void DrawFocusCue(HDC dc) const;

    AccessibleServer accessible{*this};

    // Where the last drawing into the parent was clipped to, in top-level client
    // coordinates; empty while the control is not drawn.
    RECT drawnRect{};
};
