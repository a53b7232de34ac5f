#pragma once
#include <windows.h>
#include <string>

#include "QCtrlBase.h"
#include "RichDraw.h"

// The text box of the toolkit: a child control whose text handling is an embedded rich
// text engine, drawn into the layered window's buffer. It adds inner margins, an
// optional background fill, a normal text colour, a placeholder shown while the field is
// empty and unfocused, and a password mode that masks every character with "*".
//
// On every focus change the content passes through the mark-up (saved on focus loss,
// restored on focus gain), so styles survive it and the undo history does not. The
// control answers WM_GETTEXT and WM_GETTEXTLENGTH with its plain text. Enter in a
// single-line field goes to the window, which presses its default button. To assistive
// technology it is editable text named by `accessibleName`, its value the plain text;
// in high contrast the text takes the system's window text colour.
class CQEdit : public CQCtrlBase, public CRichDraw {
public:
    // The control's window and focus, not the engine's.
    using CQCtrlBase::window;
    using CQCtrlBase::HasFocus;

    CQEdit() = default;

    // Creates the child window and attaches the engine, editable, to the client area
    // shrunk by the margins.
    HWND CreateControl(HWND parentWindow, int left, int top, int right, int bottom,
                       UINT commandId) override;
    HWND Create(HWND parentWindow, int left, int top, int right, int bottom, UINT commandId)
    {
        return CreateControl(parentWindow, left, top, right, bottom, commandId);
    }

    void SetText(const std::wstring& text);
    void SetHtml(const std::wstring& markup);
    // The characters, pictures left out; empty while the placeholder is shown.
    std::wstring GetText() const;

    void SetPlaceholder(const std::wstring& text);
    void SetPlaceholderColour(COLORREF colour) { placeholderColour = colour; }
    // The colour of normal text, for later SetText and focus changes.
    void SetTextColour(COLORREF colour) { textColour = colour; }
    void SetPassword(bool flag) { password = flag; }
    void SetBackground(COLORREF colour);
    void SetMargins(int left, int top, int right, int bottom);

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;
    void DrawSelf(HDC dc, HDC scratch) override;
    AccessibleFacts DescribeAccessible(long child) const override;

private:
    RECT TextRectangle() const;
    void OnFocusGain();
    void OnFocusLoss();
    // Content saved for the next focus gain: its mark-up and its plain text.
    void SaveContent();
    void RestoreContent();
    wchar_t PasswordMask() const { return password ? L'*' : 0; }
    LRESULT AnswerGetText(WPARAM capacity, LPARAM buffer) const;
    void OnKeyPressed(WPARAM key, LPARAM keyData);

    std::wstring placeholder;
    RECT margins{0, 0, 0, 0};
    bool password = false;
    bool placeholderShown = false;
    bool backgroundFill = false;
    COLORREF backgroundColour = 0xFFFFFFFF;
    COLORREF placeholderColour = 0;
    COLORREF textColour = 0;
    std::wstring savedMarkup;
    std::wstring savedText;
};
