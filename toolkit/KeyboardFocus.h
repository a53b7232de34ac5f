#pragma once
#include <windows.h>

#include <vector>

class CQCtrlBase;

// The keyboard side of a layered window: the Tab order over its controls, the default
// button and the focus
// cue's visibility (UISF_HIDEFOCUS). The cue starts hidden, shows once a key is used and
// hides again after a mouse click. The window keeps the state itself, answering
// WM_CHANGEUISTATE and WM_QUERYUISTATE, because a caption-less layered popup cannot
// count on the default processing for it.
class CKeyboardFocus {
public:
    // Controls in visual order; hidden or disabled ones are skipped.
    void SetTabOrder(std::vector<CQCtrlBase*> order);
    const std::vector<CQCtrlBase*>& TabOrder() const { return tabOrder; }
    // Pressed by Enter when the key reaches the window (from itself or a single-line
    // field), as a form's default button is; null for none.
    void SetDefaultButton(CQCtrlBase* button) { defaultButton = button; }

    // Moves the focus to the next (or previous) control that can take it; false when none can.
    bool MoveFocus(bool backward);
    bool CueHidden() const { return cueHidden; }

    // Tab, the UI-state messages, and key or mouse use at the window; true when handled.
    // `recompose` redraws the window when the cue's visibility changed.
    template <typename Recompose>
    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LRESULT& result, Recompose recompose)
    {
        const bool wasHidden = cueHidden;
        const bool handled = Handle(hwnd, message, wParam, result);
        if (wasHidden != cueHidden)
            recompose();
        return handled;
    }

private:
    bool Handle(HWND hwnd, UINT message, WPARAM wParam, LRESULT& result);
    void ApplyUiState(WPARAM change);

    std::vector<CQCtrlBase*> tabOrder;
    CQCtrlBase* defaultButton = nullptr;
    bool cueHidden = true;
};

// Tells the top-level window `hwnd` belongs to that a key was used (the focus cue shows)
// or the mouse clicked (it hides).
void ReportKeyboardUse(HWND hwnd);
void ReportMouseUse(HWND hwnd);
