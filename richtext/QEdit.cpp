#include "QEdit.h"

#include <algorithm>
#include <cstring>
#include <windowsx.h>

#include "HighContrast.h"
#include "RichHtmlImport.h"

HWND CQEdit::CreateControl(HWND parentWindow, int left, int top, int right, int bottom,
                           UINT commandId)
{
    HWND created = CQCtrlBase::CreateControl(parentWindow, left, top, right, bottom, commandId);
    if (!created)
        return nullptr;
    SetDpi(WindowDpi(parentWindow));
    RECT text = TextRectangle();
    Attach(created);
    SetReadOnly(false);
    SetRect(text.left, text.top, text.right, text.bottom);
    return created;
}

RECT CQEdit::TextRectangle() const
{
    RECT client{};
    ::GetClientRect(CQCtrlBase::window, &client);
    return RECT{client.left + margins.left, client.top + margins.top,
                client.right - margins.right, client.bottom - margins.bottom};
}

void CQEdit::SetText(const std::wstring& text)
{
    SetMaskChar(PasswordMask());
    if (!text.empty()) {
        CRichDraw::SetText(text);
        CRichDraw::SetTextColour(textColour);
        SaveContent();
        return;
    }
    // Cleared: a later focus gain must not bring back what was saved before.
    savedMarkup.clear();
    savedText.clear();
    if (placeholder.empty()) {
        CRichDraw::SetText(text);
        return;
    }
    SetMaskChar(0);
    CRichDraw::SetText(placeholder);
    CRichDraw::SetTextColour(placeholderColour);
}

void CQEdit::SetHtml(const std::wstring& markup)
{
    savedMarkup = markup;
    CRichDraw::SetHtml(markup);
    savedText = PlainText();
}

std::wstring CQEdit::GetText() const
{
    std::wstring text = PlainText();
    if (!placeholder.empty() && text == placeholder)
        return std::wstring();
    return text;
}

void CQEdit::SetPlaceholder(const std::wstring& text)
{
    placeholder = text;
    if (!CQCtrlBase::HasFocus())
        OnFocusLoss();
}

void CQEdit::SetBackground(COLORREF colour)
{
    backgroundFill = true;
    backgroundColour = colour;
}

void CQEdit::SetMargins(int left, int top, int right, int bottom)
{
    margins = RECT{left, top, right, bottom};
    if (CQCtrlBase::window && ::IsWindow(CQCtrlBase::window)) {
        RECT text = TextRectangle();
        SetRect(text.left, text.top, text.right, text.bottom);
    }
}

void CQEdit::SaveContent()
{
    savedMarkup = ExportHtml();
    savedText = PlainText();
}

void CQEdit::RestoreContent()
{
    // Mark-up is not escaped: text such as "<font" would not come back through it, so
    // such content returns as plain text.
    if (MarkupPlainText(savedMarkup) == savedText) {
        CRichDraw::SetHtml(savedMarkup);
        return;
    }
    CRichDraw::SetText(savedText);
    CRichDraw::SetTextColour(textColour);
}

void CQEdit::OnFocusGain()
{
    placeholderShown = false;
    SetMaskChar(PasswordMask());
    if (!placeholder.empty()) {
        CRichDraw::SetTextColour(textColour);
        RestoreContent();
    }
    OnFocusGained();
}

void CQEdit::OnFocusLoss()
{
    if (!placeholder.empty() && !placeholderShown) {
        placeholderShown = true;
        SaveContent();
        if (GetCount() == 0) {
            SetMaskChar(0);
            CRichDraw::SetText(placeholder);
            CRichDraw::SetTextColour(placeholderColour);
        }
    }
    OnFocusLost();
}

LRESULT CQEdit::AnswerGetText(WPARAM capacity, LPARAM buffer) const
{
    if (capacity == 0 || buffer == 0)
        return 0;
    std::wstring text = GetText();
    size_t copied = std::min(text.size(), static_cast<size_t>(capacity) - 1);
    auto* target = reinterpret_cast<wchar_t*>(buffer);
    std::memcpy(target, text.c_str(), copied * sizeof(wchar_t));
    target[copied] = 0;
    return static_cast<LRESULT>(copied);
}

bool CQEdit::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                           LRESULT& result, DWORD mapId)
{
    if (CQCtrlBase::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
        return true;
    if (mapId != 0)
        return false;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (message) {
    case WM_GETTEXT:
        result = AnswerGetText(wParam, lParam);
        return true;
    case WM_GETTEXTLENGTH:
        result = static_cast<LRESULT>(GetText().size());
        return true;
    case WM_SETFOCUS:
        OnFocusGain();
        return false;
    case WM_KILLFOCUS:
        OnFocusLoss();
        return false;
    case WM_SETCURSOR:
        if (OnSetCursor()) {
            result = TRUE;
            return true;
        }
        return false;
    case WM_CHAR:
        OnChar(static_cast<wchar_t>(wParam));
        return false;
    case WM_KEYDOWN:
        OnKeyPressed(wParam, lParam);
        return false;
    case WM_KEYUP:
        OnKeyUp();
        return false;
    case WM_SIZE: {
        RECT text = TextRectangle();
        SetRect(text.left, text.top, text.right, text.bottom);
        return false;
    }
    case WM_TIMER:
        return OnTimer(wParam);
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam));
        return false;
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, point);
        return false;
    case WM_LBUTTONDOWN:
        ::SetFocus(hwnd);
        OnLButtonDown(wParam, point);
        return false;
    case WM_LBUTTONUP:
        OnLButtonUp(point);
        return false;
    case WM_LBUTTONDBLCLK:
        OnLButtonDblClk();
        return false;
    case WM_RBUTTONUP:
        OnRButtonUp();
        return false;
    case WM_MOUSEWHEEL:
        OnMouseWheel(wParam);
        return false;
    default:
        return false;
    }
}

void CQEdit::OnKeyPressed(WPARAM key, LPARAM keyData)
{
    CRichDraw::OnKeyDown(static_cast<UINT>(key));
    // A form's field: Enter also goes to the window, for its default button.
    if (key == VK_RETURN && (LayoutFlags() & LayoutSingleLine) && parent)
        ::SendMessageW(parent, WM_KEYDOWN, key, keyData);
}

void CQEdit::DrawSelf(HDC dc, HDC scratch)
{
    const bool highContrast = HighContrastOn();
    if (backgroundFill || highContrast) {
        RECT client{};
        ::GetClientRect(CQCtrlBase::window, &client);
        FillOpaque(dc, client, highContrast ? ::GetSysColor(COLOR_WINDOW) : backgroundColour);
    }
    Paint(dc, scratch, highContrast ? std::optional<COLORREF>(::GetSysColor(COLOR_WINDOWTEXT)) : std::nullopt);
}

AccessibleFacts CQEdit::DescribeAccessible(long child) const
{
    AccessibleFacts facts = CQCtrlBase::DescribeAccessible(child);
    facts.role = ROLE_SYSTEM_TEXT;
    facts.value = GetText();
    return facts;
}
