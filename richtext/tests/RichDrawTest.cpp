#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "RichDraw.h"
#include "TestSupport.h"

namespace {

constexpr COLORREF Background = RGB(200, 200, 200);
constexpr COLORREF Selection = RGB(49, 106, 197);

// A plain top-level window that forwards its timers to the engine, and a 32-bit
// buffer the engine paints into, as a host's back buffer.
class DrawHost {
public:
    DrawHost(int width, int height) : width(width), height(height)
    {
        static ATOM atom = [] {
            WNDCLASSW windowClass{};
            windowClass.lpfnWndProc = Proc;
            windowClass.hInstance = ::GetModuleHandleW(nullptr);
            windowClass.lpszClassName = L"RichDrawTestHost";
            return ::RegisterClassW(&windowClass);
        }();
        window = ::CreateWindowExW(0, MAKEINTATOM(atom), L"", WS_POPUP, 10, 10, width,
                                   height, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&engine));

        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = width;
        info.bmiHeader.biHeight = -height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        buffer = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, reinterpret_cast<void**>(&bits),
                                    nullptr, 0);
        dc = ::CreateCompatibleDC(nullptr);
        previous = ::SelectObject(dc, buffer);
        scratch = ::CreateCompatibleDC(nullptr);
    }
    ~DrawHost()
    {
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
        ::DeleteDC(scratch);
        ::DeleteObject(buffer);
        ::DestroyWindow(window);
    }

    void Paint()
    {
        HBRUSH brush = ::CreateSolidBrush(Background);
        RECT all{0, 0, width, height};
        ::FillRect(dc, &all, brush);
        ::DeleteObject(brush);
        engine.Paint(dc, scratch);
        ::GdiFlush();
    }
    COLORREF Pixel(int x, int y) const
    {
        DWORD value = bits[y * width + x];
        return RGB((value >> 16) & 0xFF, (value >> 8) & 0xFF, value & 0xFF);
    }
    // The first of this buffer's first `rows` rows that differs from `other`'s row
    // `otherTop` + row; -1 when all are the same.
    int FirstDifferentRow(int rows, const DrawHost& other, int otherTop) const
    {
        for (int y = 0; y < rows; ++y) {
            const DWORD* row = bits + y * width;
            if (!std::equal(row, row + width, other.bits + (otherTop + y) * other.width))
                return y;
        }
        return -1;
    }
    int CountPixels(const RECT& area, bool (*match)(COLORREF)) const
    {
        int count = 0;
        for (int y = area.top; y < area.bottom; ++y)
            for (int x = area.left; x < area.right; ++x)
                count += match(Pixel(x, y)) ? 1 : 0;
        return count;
    }
    void Focus()
    {
        ::ShowWindow(window, SW_SHOW);
        ::SetForegroundWindow(window);
        ::SetFocus(window);
        engine.OnFocusGained();
    }

    CRichDraw engine;
    HWND window = nullptr;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
    {
        auto* target = reinterpret_cast<CRichDraw*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (message == WM_TIMER && target && target->OnTimer(wParam))
            return 0;
        if (message == WM_PAINT && target) {
            PAINTSTRUCT paint;
            HDC dc = ::BeginPaint(hwnd, &paint);
            HBRUSH brush = ::CreateSolidBrush(Background);
            RECT client;
            ::GetClientRect(hwnd, &client);
            ::FillRect(dc, &client, brush);
            ::DeleteObject(brush);
            HDC scratch = ::CreateCompatibleDC(dc);
            target->Paint(dc, scratch);
            ::DeleteDC(scratch);
            ::EndPaint(hwnd, &paint);
            return 0;
        }
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    int width;
    int height;
    HBITMAP buffer = nullptr;
    DWORD* bits = nullptr;
    HDC dc = nullptr;
    HDC scratch = nullptr;
    HGDIOBJ previous = nullptr;
};

// A 32-bit picture of one opaque colour.
HBITMAP SolidPicture(int width, int height, COLORREF colour)
{
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    DWORD* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS,
                                        reinterpret_cast<void**>(&bits), nullptr, 0);
    DWORD pixel = 0xFF000000 | (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    for (int i = 0; i < width * height; ++i)
        bits[i] = pixel;
    return bitmap;
}

bool IsBackground(COLORREF c) { return c == Background; }
// Glyphs are smoothed, so their pixels are judged by how close they come.
bool IsReddish(COLORREF c) { return GetRValue(c) > 150 && GetGValue(c) < 110 && GetBValue(c) < 110; }
bool IsWhitish(COLORREF c) { return GetRValue(c) > 180 && GetGValue(c) > 180 && GetBValue(c) > 200; }
bool IsDark(COLORREF c) { return GetRValue(c) < 128 && GetGValue(c) < 128 && GetBValue(c) < 128; }

TEST(RichDraw, AttachInsetsTheClientAreaByTwoPixels)
{
    DrawHost host(200, 40);
    host.engine.Attach(host.window);
    EXPECT_EQ(host.engine.TextRect().left, 2);
    EXPECT_EQ(host.engine.TextRect().right, 198);
    EXPECT_EQ(host.engine.TextRect().bottom, 40);
}

TEST(RichDraw, SelectedLineBreakShowsATwoPixelBar)
{
    DrawHost host(200, 60);
    host.engine.Attach(host.window);
    host.engine.SetRect(2, 0, 198, 60);
    host.engine.SetText(L"ab\r\ncd");
    host.engine.SelectRange(2, 4);
    host.Paint();
    const RichElement& lineBreak = *host.engine.Elements()[2];
    int x = lineBreak.x;
    int y = lineBreak.y;
    EXPECT_EQ(host.Pixel(x, y), Selection);
    EXPECT_EQ(host.Pixel(x + 1, y), Selection);
    EXPECT_EQ(host.Pixel(x + 2, y), Background);
    EXPECT_EQ(host.Pixel(x, y + lineBreak.height + 1), Selection);  // line spacing included
    EXPECT_EQ(host.Pixel(x, y + lineBreak.height + 2), Background);

    host.engine.SelectRange(-1, 0);
    host.Paint();
    EXPECT_EQ(host.Pixel(x, y), Background);
}

TEST(RichDraw, SelectedPictureIsDrawnInverted)
{
    DrawHost host(200, 60);
    host.engine.Attach(host.window);
    host.engine.SetRect(2, 0, 198, 60);
    ASSERT_TRUE(host.engine.InsertImage(SolidPicture(20, 20, RGB(10, 200, 30))));
    const RichElement& picture = *host.engine.Elements()[0];
    EXPECT_EQ(picture.width, 20);
    host.Paint();
    EXPECT_EQ(host.Pixel(picture.x + 10, picture.y + 10), RGB(10, 200, 30));

    host.engine.SelectRange(0, -1);
    host.Paint();
    EXPECT_EQ(host.Pixel(picture.x + 10, picture.y + 10), RGB(245, 55, 225));
    // The selection fill shows below the picture, in the line spacing.
    EXPECT_EQ(host.Pixel(picture.x + 10, picture.y + 21), Selection);
}

TEST(RichDraw, WindowShowsTheSelectionWhenItRepaints)
{
    DrawHost host(200, 60);
    host.engine.Attach(host.window);
    host.engine.SetRect(2, 0, 198, 60);
    host.engine.SetText(L"ab\r\ncd");
    ASSERT_TRUE(host.engine.InsertImage(SolidPicture(20, 20, RGB(10, 200, 30))));
    host.engine.StopBlink();
    host.engine.SelectRange(0, -1);
    ::ShowWindow(host.window, SW_SHOWNOACTIVATE);
    PumpMessages(100);
    ::UpdateWindow(host.window);

    const RichElement& lineBreak = *host.engine.Elements()[2];
    const RichElement& picture = *host.engine.Elements()[6];
    HDC dc = ::GetDC(host.window);
    COLORREF bar = ::GetPixel(dc, lineBreak.x, lineBreak.y + 2);
    COLORREF pastBar = ::GetPixel(dc, lineBreak.x + 2, lineBreak.y + 2);
    COLORREF inverted = ::GetPixel(dc, picture.x + 10, picture.y + 10);
    ::ReleaseDC(host.window, dc);
    EXPECT_EQ(bar, Selection);
    EXPECT_EQ(pastBar, Background);
    EXPECT_EQ(inverted, RGB(245, 55, 225));
}

TEST(RichDraw, LargePictureIsShrunkToFitTheTextWidth)
{
    DrawHost host(100, 200);
    host.engine.Attach(host.window);
    host.engine.SetRect(0, 0, 100, 200);
    ASSERT_TRUE(host.engine.InsertImage(SolidPicture(200, 100, RGB(0, 0, 255))));
    EXPECT_EQ(host.engine.Elements()[0]->width, 80);
    EXPECT_EQ(host.engine.Elements()[0]->height, 40);
    host.Paint();
    EXPECT_EQ(host.Pixel(40, 20), RGB(0, 0, 255));

    // A wider rectangle allows larger pictures, up to 150 pixels.
    host.engine.SetRect(0, 0, 300, 200);
    EXPECT_EQ(host.engine.Elements()[0]->width, 150);
    EXPECT_EQ(host.engine.Elements()[0]->height, 75);
}

TEST(RichDraw, NonBitmapHandleIsRefused)
{
    DrawHost host(100, 40);
    host.engine.Attach(host.window);
    HBRUSH brush = ::CreateSolidBrush(0);
    EXPECT_FALSE(host.engine.InsertImage(reinterpret_cast<HBITMAP>(brush)));
    EXPECT_EQ(host.engine.GetCount(), 0);
    ::DeleteObject(brush);
}

TEST(RichDraw, PictureFromMarkupShowsALoadingBox)
{
    DrawHost host(200, 60);
    host.engine.Attach(host.window);
    host.engine.SetRect(2, 0, 198, 60);
    host.engine.SetHtml(L"<img src=\"pic.png\" width=\"90\" height=\"30\"/>");
    const RichElement& picture = *host.engine.Elements()[0];
    host.engine.StopBlink();  // the caret would stand at the box's left edge
    host.Paint();
    RECT box{picture.x, picture.y, picture.x + 90, picture.y + 32};
    EXPECT_EQ(host.Pixel(box.left, box.top), RGB(255, 255, 255));
    EXPECT_EQ(host.Pixel(box.right - 1, box.bottom - 1), RGB(255, 255, 255));
    EXPECT_EQ(host.Pixel(box.right, box.top), Background);
    // Black text in the middle of the box, none along its edges.
    EXPECT_GT(host.CountPixels({box.left + 10, box.top + 8, box.right - 10, box.bottom - 8}, IsDark), 10);
    EXPECT_EQ(host.CountPixels({box.left, box.top, box.right, box.top + 3}, IsDark), 0);
    EXPECT_EQ(host.CountPixels({box.left, box.top, box.left + 3, box.bottom}, IsDark), 0);
}

TEST(RichDraw, TextIsDrawnInItsColourAndSelectedTextInWhite)
{
    DrawHost host(200, 40);
    host.engine.Attach(host.window);
    host.engine.SetRect(2, 0, 198, 40);
    RichStyle red;
    red.face = DefaultFace();
    red.textColour = RGB(255, 0, 0);
    host.engine.InsertText(L"MMMM", 0, red);
    host.engine.StopBlink();
    host.Paint();
    RECT text{2, 0, 60, 20};
    EXPECT_GT(host.CountPixels(text, IsReddish), 10);

    host.engine.SelectRange(0, -1);
    host.Paint();
    EXPECT_EQ(host.CountPixels(text, IsReddish), 0);
    EXPECT_GT(host.CountPixels(text, IsWhitish), 10);
    EXPECT_GT(host.CountPixels(text, [](COLORREF c) { return c == Selection; }), 10);
}

TEST(RichDraw, SingleLineTextStaysInsideTheClip)
{
    DrawHost host(100, 30);
    host.engine.Attach(host.window);
    host.engine.SetLayoutFlags(LayoutSingleLine);
    host.engine.SetRect(10, 0, 90, 30);
    RichStyle style;
    style.face = DefaultFace();
    host.engine.InsertText(std::wstring(40, L'W'), 0, style);
    ASSERT_LT(host.engine.HorizontalOffset(), 0);
    host.Paint();
    // The clip runs from one pixel left of the rectangle to two pixels right of it.
    EXPECT_EQ(host.CountPixels({0, 0, 9, 30}, IsBackground), 9 * 30);
    EXPECT_EQ(host.CountPixels({92, 0, 100, 30}, IsBackground), 8 * 30);
    EXPECT_GT(host.CountPixels({10, 0, 90, 30}, IsDark), 50);
}

TEST(RichDraw, CaretShowsAtOnceAfterAMoveAndThenBlinks)
{
    DrawHost host(200, 40);
    host.engine.Attach(host.window);
    host.engine.SetRect(2, 0, 198, 40);
    host.engine.SetReadOnly(false);
    host.Focus();
    ASSERT_EQ(::GetFocus(), host.window);
    EXPECT_TRUE(host.engine.HasSystemCaret());

    RichStyle style;
    style.face = DefaultFace();
    host.engine.InsertText(L"ab", 0, style);
    POINT caret = host.engine.CaretWindowPosition();
    const RichElement& b = *host.engine.Elements()[1];
    EXPECT_EQ(caret.x, b.x + b.width);
    EXPECT_EQ(host.engine.BlinkPhase(), 1);
    POINT system{};
    ::GetCaretPos(&system);
    EXPECT_EQ(system.x, caret.x);
    EXPECT_EQ(system.y, caret.y);

    host.Paint();
    int caretRows = 0;
    for (int y = caret.y; y < caret.y + host.engine.CaretHeight(); ++y)
        caretRows += host.Pixel(caret.x, y) == RGB(0, 0, 0) ? 1 : 0;
    EXPECT_EQ(caretRows, host.engine.CaretHeight());

    EXPECT_TRUE(PumpUntil([&] { return host.engine.BlinkPhase() == 0; }, 3000));
    host.Paint();
    EXPECT_NE(host.Pixel(caret.x, caret.y + 1), RGB(0, 0, 0));
    EXPECT_TRUE(PumpUntil([&] { return host.engine.BlinkPhase() == 1; }, 3000));
}

TEST(RichDraw, LosingTheFocusStopsTheBlinkAndTellsTheListener)
{
    struct Listener : IRichListener {
        int lost = 0;
        void OnFocusLost(CRichModel*) override { ++lost; }
    } listener;
    DrawHost host(200, 40);
    host.engine.Attach(host.window);
    host.engine.SetListener(&listener);
    host.engine.SetReadOnly(false);
    host.Focus();
    host.engine.OnFocusLost();
    EXPECT_EQ(host.engine.BlinkPhase(), 0);
    EXPECT_FALSE(host.engine.HasSystemCaret());
    EXPECT_EQ(listener.lost, 1);
    host.Paint();
    POINT caret = host.engine.CaretWindowPosition();
    EXPECT_EQ(host.Pixel(caret.x, caret.y + 1), Background);
}

// Lines of several sizes with links, pictures and a selection across them, and one
// line ending in a lone line feed far taller than its line.
void FillDocument(CRichDraw& engine)
{
    RichStyle plain;
    plain.face = DefaultFace();
    RichStyle large = plain;
    large.size = 180;
    large.textColour = RGB(200, 0, 0);
    RichStyle tallBreak = plain;
    tallBreak.size = 360;
    for (int line = 0; line < 40; ++line) {
        const std::wstring number = std::to_wstring(line);
        engine.InsertText(number + L".see www.site" + number + L".com and words to wrap", engine.GetCount(), plain);
        if (line % 3 == 0)
            engine.InsertText(L" Large", engine.GetCount(), large);
        if (line % 7 == 0)
            engine.InsertImage(SolidPicture(20 + line, 16, RGB(10, 200, 30)));
        engine.InsertText(line == 25 ? L"\n" : L"\r\n", engine.GetCount(), line == 25 ? tallBreak : plain);
    }
}

class PartialPaint : public testing::Test {
protected:
    void SetUp() override
    {
        for (DrawHost* host : {&view, &whole}) {
            host->engine.Attach(host->window);
            FillDocument(host->engine);
            host->engine.StopBlink();
        }
        view.engine.SetRect(2, 0, Width - 2, ViewHeight);
        whole.engine.SetRect(2, 0, Width - 2, WholeHeight);
        ASSERT_LE(whole.engine.ContentHeight(), WholeHeight);
        Select(300, 1500);
    }

    void Select(int from, int to)
    {
        view.engine.SelectRange(from, to);
        whole.engine.SelectRange(from, to);
        whole.Paint();
    }

    // The view scrolled to `offset` against the same rows of the whole document. The
    // clip path leaves out the rectangle's last row.
    void ExpectViewMatchesTheWholePaint(int offset)
    {
        view.engine.ScrollTo(0, offset);
        ASSERT_EQ(view.engine.VerticalOffset(), offset);
        view.Paint();
        EXPECT_EQ(view.FirstDifferentRow(ViewHeight - 1, whole, -offset), -1)
            << "scrolled to " << offset;
    }

    static constexpr int Width = 400;
    static constexpr int ViewHeight = 300;
    static constexpr int WholeHeight = 1400;
    DrawHost view{Width, ViewHeight};
    DrawHost whole{Width, WholeHeight};
};

// Paint looks only at the lines that reach into the view; what it draws is what a paint
// of every element shows in those rows, lines cut at the edges included.
TEST_F(PartialPaint, ShowsWhatAPaintOfEveryElementShows)
{
    const int bottom = ViewHeight - view.engine.ContentHeight();
    for (int offset : {0, -1, -7, -150, -333, -500, bottom + 1, bottom})
        ExpectViewMatchesTheWholePaint(offset);
}

// The selection bar of a lone line feed taller than its line rises into the lines
// above: it shows in a view that ends above the line that holds it.
TEST_F(PartialPaint, ShowsTheBarOfATallLineBreakFromTheLineBelow)
{
    const std::vector<RichElement*>& elements = view.engine.Elements();
    auto tall = std::find_if(elements.begin(), elements.end(),
                             [](const RichElement* e) { return e->Is(L'\n') && e->y < e->lineTop; });
    ASSERT_NE(tall, elements.end());
    const RichElement& lineBreak = **tall;
    ASSERT_GE(lineBreak.lineTop - lineBreak.y, 8);
    // Alone in the selection, so that no other selected element hides the bar.
    const int index = static_cast<int>(tall - elements.begin());
    Select(index, index + 1);
    // The view's last painted row lies between the bar's top and its line's top.
    ExpectViewMatchesTheWholePaint(ViewHeight - 2 - (lineBreak.y + lineBreak.lineTop) / 2);
}

TEST(RichDraw, SettingReadOnlyClearsTheSelection)
{
    DrawHost host(200, 40);
    host.engine.Attach(host.window);
    host.engine.SetText(L"abc");
    host.engine.SelectRange(0, -1);
    host.engine.SetReadOnly(true);
    EXPECT_FALSE(host.engine.HasSelection());
}

}  // namespace
