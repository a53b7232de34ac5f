#pragma once
#include <string>

#include "DisplayScale.h"
#include "QCtrlBase.h"

class CQCheckBox;

// Told after every toggle by the user.
class CheckChangedListener {
public:
    virtual ~CheckChangedListener() = default;
    virtual void OnCheckChanged(CQCheckBox* box) = 0;
};

// A picture check box with a label to its right. A click on it toggles it (press and
// release both over it; see ClickTracker), or Space while it has the focus; a double
// click is one click. Every toggle is announced (EVENT_OBJECT_STATECHANGE).
class CQCheckBox : public CQCtrlBase {
public:
    // 32-bit premultiplied pictures, owned.
    HBITMAP checkedImage = nullptr;
    HBITMAP uncheckedImage = nullptr;
    bool checked = false;
    int imageWidth = 0;
    int imageHeight = 0;
    // Between the picture and the label: 6 pixels at 100 %.
    int labelGap = LabelGap;
    COLORREF textColor = 0x555555;
    std::wstring text;
    CheckChangedListener* listener = nullptr;

    CQCheckBox() = default;
    ~CQCheckBox() override;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawSelf(HDC dc, HDC scratch) override;
    void Press() override { Toggle(); }
    // The outline goes round the whole control: picture and label fill its height.
    RECT FocusCueRect() const override;
    AccessibleFacts DescribeAccessible(long child) const override;

    static constexpr int LabelGap = 6;

    // Loads both pictures for a window at `dpi`; the checked one gives the picture size.
    // No redraw.
    void SetCheckImages(int checkedPngId, int uncheckedPngId, UINT dpi = DefaultDpi);
    // Redraws when the control exists.
    void SetChecked(bool on);
    bool IsChecked() const { return checked; }
    void SetText(const std::wstring& label) { text = label; }
    void SetTextColor(COLORREF color) { textColor = color; }

private:
    void DeleteImages();
    void Toggle();

    ClickTracker click;
};
