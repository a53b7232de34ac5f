#pragma once
#include <windows.h>

#include <string>

#include "MessageTextLayout.h"
#include "ResourceIds.h"
#include "TextButton.h"
#include "WindowFrame.h"

// Shows the program's own modal message box on the calling thread and returns 1 for
// the first button, 2 for the second button or the caption's close button, and 0 when
// the box could not be created. An empty `secondButtonText` gives one button. `owner`
// may be null; otherwise it is disabled while the box is up and the box is centred
// over it. Works from any thread: the box runs its own message loop on the caller's.
int ShowMessageBox(std::wstring text, HWND owner, std::wstring title,
                   std::wstring firstButtonText, std::wstring secondButtonText);

// The message box: a shadowed layered dialog from template 226 with the frame, the
// wrapped message and one or two picture buttons with labels. Tab moves between the
// buttons, Escape answers as the close button does. To assistive technology it is a
// dialog described by its message, announced when it appears (EVENT_SYSTEM_DIALOGSTART).
class CMessageBox : public CDlgFrameBase<CMessageBox> {
public:
    enum { IDD = IDD_MESSAGE_BOX };

    std::wstring messageText;
    std::wstring title = L"提示";
    std::wstring firstButtonText = L"确定";
    // Empty: one button.
    std::wstring secondButtonText;
    MessageTextLayout textLayout;
    CTextButton firstButton;
    CTextButton secondButton;

    CMessageBox() = default;
    ~CMessageBox() override;

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawContent(HDC dc, const RECT& content) override;

    // Child 1 is the message text.
    AccessibleFacts DescribeAccessible(long child) const override;
    long SimpleChildCount() const override { return 1; }

    // Builds the cells at once; they are measured and laid out at the next drawing.
    void SetMessageText(const std::wstring& text);
    void SetTitle(const std::wstring& text) { title = text; }
    void SetButtonTexts(const std::wstring& first, const std::wstring& second);

    // Creates the box over `owner`, shows it, disables the owner and runs a message
    // loop on this thread until the box is closed. Returns `result`, or 0 when the box
    // could not be created.
    int RunModal(HWND owner);

private:
    void InitDialog(HWND hwnd);
    void CreateButtons();
    // The text bounds and the buttons' places in `content`, at the window's scale.
    void PlaceContent(const RECT& content);
    void LoadButtonPictures();
    void LayoutForDpi(SIZE windowSize) override;

    RECT firstButtonRect{};
    RECT secondButtonRect{};
    void RestoreMinimisedOwner(HWND owner);
    void PlaceOverOwner(HWND owner);
};
