#include "MessageBox.h"

#include <utility>

namespace {

constexpr int TextInset = 30;
constexpr int TextBottomInset = 40;
constexpr int MessageLineGap = 6;
constexpr int ButtonTop = 138;
constexpr int ButtonBottom = 168;
constexpr int SingleButtonInset = 70;
constexpr int PairOuterInset = 45;
constexpr int PairButtonWidth = 100;
constexpr UINT ButtonTextFormat = DT_CENTER | DT_VCENTER;

// Measures with the font selected into a DC.
class DcCharMeasure : public CharMeasure {
public:
    explicit DcCharMeasure(HDC target) : dc(target) { ::GetTextMetricsW(dc, &metrics); }
    int TextHeight() const override { return metrics.tmHeight; }
    int AverageCharWidth() const override { return metrics.tmAveCharWidth; }
    SIZE CharExtent(wchar_t ch) const override
    {
        SIZE extent{};
        ::GetTextExtentPoint32W(dc, &ch, 1, &extent);
        return extent;
    }

private:
    HDC dc;
    TEXTMETRICW metrics{};
};

} // namespace

int ShowMessageBox(std::wstring text, HWND owner, std::wstring title,
                   std::wstring firstButtonText, std::wstring secondButtonText)
{
    CMessageBox box;
    box.SetTitle(title);
    box.SetMessageText(text);
    box.SetButtonTexts(firstButtonText, secondButtonText);
    return box.RunModal(owner);
}

CMessageBox::~CMessageBox()
{
    DestroyAlphaWindow();
}

void CMessageBox::SetMessageText(const std::wstring& text)
{
    messageText = text;
    textLayout.SetText(text);
}

void CMessageBox::SetButtonTexts(const std::wstring& first, const std::wstring& second)
{
    firstButtonText = first;
    secondButtonText = second;
}

bool CMessageBox::HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                                LRESULT& lresult, DWORD mapId)
{
    if (CDlgFrameBase<CMessageBox>::HandleMessage(hwnd, message, wParam, lParam, lresult, mapId))
        return true;
    if (mapId != 0)
        return false;
    if (message == WM_INITDIALOG) {
        InitDialog(hwnd);
        // The first button already has the focus.
        lresult = FALSE;
        return true;
    }
    if (message == WM_KEYDOWN && wParam == VK_ESCAPE) {
        Close(CloseCommandId);
        return true;
    }
    return false;
}

void CMessageBox::InitDialog(HWND hwnd)
{
    ::SetWindowTextW(hwnd, title.c_str());
    backgroundColor = FrameBodyColor;
    textLayout.flags = MessageTextLayout::CenterVertically;
    // The frame has already composed once, laying the text out in empty bounds.
    PlaceContent(ContentRect());
    CreateButtons();
    ComposeAndUpdate();
}

void CMessageBox::PlaceContent(const RECT& content)
{
    textLayout.lineGap = Scaled(MessageLineGap);
    textLayout.SetBounds(RECT{content.left + Scaled(TextInset), content.top + Scaled(TextInset),
                              content.right - Scaled(TextInset), content.bottom - Scaled(TextBottomInset)});
    const int top = content.top + Scaled(ButtonTop);
    const int bottom = content.top + Scaled(ButtonBottom);
    if (secondButtonText.empty()) {
        firstButtonRect = {content.left + Scaled(SingleButtonInset), top, content.right - Scaled(SingleButtonInset),
                           bottom};
        return;
    }
    firstButtonRect = {content.left + Scaled(PairOuterInset), top,
                       content.left + Scaled(PairOuterInset + PairButtonWidth), bottom};
    secondButtonRect = {content.right - Scaled(PairOuterInset + PairButtonWidth), top,
                        content.right - Scaled(PairOuterInset), bottom};
}

void CMessageBox::LoadButtonPictures()
{
    if (!secondButtonText.empty())
        secondButton.SetImages(IDP_BOX_SECOND, IDP_BOX_SECOND_HOVER, IDP_BOX_SECOND, IDP_BOX_SECOND, dpi);
    firstButton.SetImages(IDP_BOX_FIRST, IDP_BOX_FIRST_HOVER, IDP_BOX_FIRST, IDP_BOX_SECOND, dpi);
}

void CMessageBox::LayoutForDpi(SIZE windowSize)
{
    PlaceContent(ContentRectFor(windowSize));
    LoadButtonPictures();
    const std::pair<CTextButton*, RECT> places[] = {{&firstButton, firstButtonRect}, {&secondButton, secondButtonRect}};
    for (const auto& [button, place] : places) {
        if (button->window)
            ::MoveWindow(button->window, place.left, place.top, place.right - place.left, place.bottom - place.top,
                         FALSE);
    }
}

void CMessageBox::CreateButtons()
{
    LoadButtonPictures();
    if (!secondButtonText.empty()) {
        secondButton.SetStretch(true);
        const RECT& r = secondButtonRect;
        secondButton.CreateControl(window, r.left, r.top, r.right, r.bottom, 2);
        secondButton.SetTextFormat(ButtonTextFormat);
        secondButton.SetText(secondButtonText);
        AddControl(&secondButton);
    }
    firstButton.SetStretch(true);
    const RECT& r = firstButtonRect;
    firstButton.CreateControl(window, r.left, r.top, r.right, r.bottom, 1);
    firstButton.SetTextFormat(ButtonTextFormat);
    firstButton.SetText(firstButtonText);
    ::SetFocus(firstButton.window);
    AddControl(&firstButton);
    keyboard.SetTabOrder({&firstButton, &secondButton});
    keyboard.SetDefaultButton(&firstButton);
}

AccessibleFacts CMessageBox::DescribeAccessible(long child) const
{
    AccessibleFacts facts = CDlgFrameBase<CMessageBox>::DescribeAccessible(CHILDID_SELF);
    if (child == CHILDID_SELF) {
        facts.role = ROLE_SYSTEM_DIALOG;
        facts.description = messageText;
        return facts;
    }
    facts.name = messageText;
    facts.role = ROLE_SYSTEM_STATICTEXT;
    facts.state &= STATE_SYSTEM_INVISIBLE;
    facts.state |= STATE_SYSTEM_READONLY;
    facts.location = textLayout.bounds;
    ::MapWindowPoints(window, nullptr, reinterpret_cast<POINT*>(&facts.location), 2);
    return facts;
}

void CMessageBox::RestoreMinimisedOwner(HWND owner)
{
    // Over a minimised owner the box would be centred off-screen while the owner, disabled,
    // could not be brought back: nobody could answer it. The owner may belong to another
    // thread; that thread pumps its messages while the owner exists.
    if (owner && ::IsIconic(owner))
        ::ShowWindow(owner, SW_RESTORE);
}

void CMessageBox::PlaceOverOwner(HWND owner)
{
    RECT box{};
    ::GetWindowRect(window, &box);
    const int width = box.right - box.left;
    const int height = box.bottom - box.top;
    int x, y;
    RECT area{};
    if (owner && ::GetWindowRect(owner, &area)) {
        x = area.left + (area.right - area.left - width) / 2;
        y = area.top + (area.bottom - area.top - height) / 2;
    } else {
        x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
        y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    }
    ::SetWindowPos(window, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
}

void CMessageBox::DrawContent(HDC dc, const RECT&)
{
    DcCharMeasure measure(dc);
    textLayout.Update(measure);
    auto draw = [&](const MessageTextLayout::Cell& cell) {
        ::TextOutW(dc, cell.x, cell.y + textLayout.verticalOffset, &cell.ch, 1);
    };
    for (size_t i = 0; i < textLayout.drawnCells; ++i)
        draw(textLayout.cells[i]);
    if (textLayout.ellipsisShown)
        draw(textLayout.ellipsis);
}

int CMessageBox::RunModal(HWND owner)
{
    modal = true;
    if (!Create(owner))
        return 0;
    RestoreMinimisedOwner(owner);
    PlaceOverOwner(owner);
    ::ShowWindow(window, SW_SHOW);
    if (owner)
        ::EnableWindow(owner, FALSE);
    ::NotifyWinEvent(EVENT_SYSTEM_DIALOGSTART, window, OBJID_WINDOW, CHILDID_SELF);

    // The loop ends as soon as the box is gone, so no message meant for another
    // window is taken from the queue and dropped, and no quit message is needed.
    MSG msg{};
    while (window && ::IsWindow(window)) {
        const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
        if (got == -1)
            continue;
        if (got == 0) {
            // Someone ended this thread's loop: pass the request on to the outer loop.
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        ::TranslateMessage(&msg);
        ::DispatchMessageW(&msg);
    }
    if (window && ::IsWindow(window)) {
        if (owner)
            ::EnableWindow(owner, TRUE);
        DestroyAlphaWindow();
    }
    return result;
}
