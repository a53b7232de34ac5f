#pragma once
#include <string>

#include "QCtrlBase.h"

class CQCheckBox;

// Told after every toggle by the user.
class CheckChangedListener {
public:
    virtual ~CheckChangedListener() = default;
    virtual void OnCheckChanged(CQCheckBox* box) = 0;
};

// A picture check box with a label to its right. A click on it toggles it (press and
// release both over it; see ClickTracker); a double click is one click.
class CQCheckBox : public CQCtrlBase {
public:
    // 32-bit premultiplied pictures, owned.
    HBITMAP checkedImage = nullptr;
    HBITMAP uncheckedImage = nullptr;
    bool checked = false;
    int imageWidth = 0;
    int imageHeight = 0;
    COLORREF textColor = 0x555555;
    std::wstring text;
    CheckChangedListener* listener = nullptr;

    CQCheckBox() = default;
    ~CQCheckBox() override;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawSelf(HDC dc, HDC scratch) override;

    // Loads both pictures; the checked one gives the picture size. No redraw.
    void SetCheckImages(int checkedPngId, int uncheckedPngId);
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
