// Timings of the rich text engine on a document at the default limit of 20000
// elements in a 400 x 300 view: one keystroke (with its relayout and link scan) and
// one Paint. Each figure is measured many times and printed as min / median / max in
// milliseconds; the machine may be shared, so read the medians. Run it under Wine (see
// the README, "Rich text benchmark").
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "RichDraw.h"

namespace {

constexpr int Width = 400;
constexpr int Height = 300;
constexpr int Rounds = 41;

double Now()
{
    static LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) * 1000.0 / static_cast<double>(frequency.QuadPart);
}

// Sample text: words, a link now and then, a line break every few words.
std::wstring SampleText(int length)
{
    static const std::wstring sample =
        L"The quick brown fox jumps over the lazy dog www.example.com 便签 \r\n";
    std::wstring text;
    while (static_cast<int>(text.size()) < length)
        text += sample;
    text.resize(static_cast<size_t>(length));
    return text;
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateHost()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"RichTextBenchHost";
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, Width, Height,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
}

// Times `measured` Rounds times, running `untimed` after each, and prints the figures.
void Report(const char* label, const std::function<void()>& measured,
            const std::function<void()>& untimed = [] {})
{
    std::vector<double> samples;
    for (int round = 0; round < Rounds; ++round) {
        double start = Now();
        measured();
        samples.push_back(Now() - start);
        untimed();
    }
    std::sort(samples.begin(), samples.end());
    std::printf("  %-34s %7.3f / %7.3f / %7.3f\n", label, samples.front(),
                samples[samples.size() / 2], samples.back());
}

// A 32-bit back buffer of the view's size, as the edit control's host paints into.
class BackBuffer {
public:
    BackBuffer()
    {
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = Width;
        info.bmiHeader.biHeight = -Height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        bitmap = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
        dc = ::CreateCompatibleDC(nullptr);
        previous = ::SelectObject(dc, bitmap);
        scratch = ::CreateCompatibleDC(nullptr);
    }
    ~BackBuffer()
    {
        ::SelectObject(dc, previous);
        ::DeleteDC(dc);
        ::DeleteDC(scratch);
        ::DeleteObject(bitmap);
    }
    BackBuffer(const BackBuffer&) = delete;
    BackBuffer& operator=(const BackBuffer&) = delete;

    void Paint(CRichDraw& engine)
    {
        engine.Paint(dc, scratch);
        ::GdiFlush();
    }

private:
    HBITMAP bitmap = nullptr;
    HDC dc = nullptr;
    HDC scratch = nullptr;
    HGDIOBJ previous = nullptr;
};

}  // namespace

int wmain()
{
    HWND window = CreateHost();
    CRichDraw engine;
    engine.Attach(window);
    engine.SetRect(2, 0, Width - 2, Height);
    engine.SetReadOnly(false);
    engine.SetText(SampleText(CRichModel::DefaultMaxLength));
    // Room for the keystrokes: each is undone before the next.
    engine.SetMaxLength(CRichModel::DefaultMaxLength + 2);
    const int count = engine.GetCount();
    const int middle = count / 2;

    std::printf("rich text: %d elements, %d lines, a %d x %d view\n", count,
                static_cast<int>(engine.Lines().size()), Width, Height);
    std::printf("milliseconds, min / median / max of %d runs\n", Rounds);
    Report("whole document relayout", [&] { engine.Relayout(); });

    std::printf("one keystroke, relayout and link scan included (undone after each):\n");
    // The caret is placed before each keystroke, outside the timing.
    auto keystroke = [&](const char* label, int position, const std::function<void()>& key) {
        engine.SetCaretIndex(position, false);
        Report(label, key, [&] {
            engine.Undo();
            engine.SetCaretIndex(position, false);
        });
    };
    auto type = [&] { engine.OnChar(L'x'); };
    keystroke("type a letter at the start", 0, type);
    keystroke("type a letter in the middle", middle, type);
    keystroke("type a letter at the end", count, type);
    // Inside "www.example.com": the link around the caret is found again.
    keystroke("type a letter inside a link",
              static_cast<int>(SampleText(count).find(L"example", middle)), type);
    keystroke("Backspace in the middle", middle, [&] { engine.OnKeyDown(VK_BACK); });
    keystroke("Enter in the middle", middle, [&] { engine.OnKeyDown(VK_RETURN); });

    std::printf("one Paint of the view:\n");
    BackBuffer buffer;
    auto paint = [&] { buffer.Paint(engine); };
    engine.SetCaretIndex(0, false);
    Report("top of the document", paint);
    engine.SetCaretIndex(middle, false);
    Report("middle of the document", paint);
    engine.SetCaretIndex(count, false);
    Report("end of the document", paint);
    engine.SelectRange(0, -1);
    Report("end, everything selected", paint);

    // Painting does not depend on the document's length: the same view of a short one.
    CRichDraw shortDocument;
    shortDocument.Attach(window);
    shortDocument.SetRect(2, 0, Width - 2, Height);
    shortDocument.SetText(SampleText(CRichModel::DefaultMaxLength / 10));
    Report("top of a tenth of the document", [&] { buffer.Paint(shortDocument); });

    ::DestroyWindow(window);
    return 0;
}
