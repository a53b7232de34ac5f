// Timings of the rich text engine on a document at the default limit of 20000
// elements, built character by character as typing would. Run it under Wine:
//   source scripts/session.sh; start_session unit
//   scripts/wine-run.sh $BUILD_DIR/bin/richtext_bench.exe
//   stop_session
#include <windows.h>

#include <cstdio>
#include <string>

#include "RichDraw.h"

namespace {

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
wchar_t SampleCharacter(int i)
{
    static const std::wstring sample =
        L"The quick brown fox jumps over the lazy dog www.example.com 便签 \r\n";
    return sample[static_cast<size_t>(i) % sample.size()];
}

LRESULT CALLBACK HostProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}

HWND CreateHost(int width, int height)
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = HostProc;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"RichTextBenchHost";
    ::RegisterClassW(&windowClass);
    return ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP, 0, 0, width, height,
                             nullptr, nullptr, windowClass.hInstance, nullptr);
}

// Average milliseconds of one insertion at `position`, each undone outside the timing.
double TimeInsertion(CRichDraw& engine, int position, const RichStyle& style, int rounds)
{
    double total = 0;
    engine.SetMaxLength(CRichModel::DefaultMaxLength + 1);
    for (int round = 0; round < rounds; ++round) {
        double start = Now();
        engine.InsertChar(L'x', position, style);
        total += Now() - start;
        engine.DeleteAt(position);
    }
    engine.SetMaxLength(CRichModel::DefaultMaxLength);
    return total / rounds;
}

}  // namespace

int wmain()
{
    const int width = 400;
    const int height = 300;
    HWND window = CreateHost(width, height);
    CRichDraw engine;
    engine.Attach(window);
    engine.SetRect(2, 0, width - 2, height);
    RichStyle style;
    style.face = DefaultFace();

    double buildStart = Now();
    for (int i = 0; i < CRichModel::DefaultMaxLength; ++i)
        engine.InsertChar(SampleCharacter(i), i, style);
    double buildTime = Now() - buildStart;
    std::printf("elements: %d, lines: %d\n", engine.GetCount(),
                static_cast<int>(engine.Lines().size()));
    std::printf("build by typing: %.0f ms in all, %.3f ms per character\n", buildTime,
                buildTime / engine.GetCount());

    const int rounds = 20;
    std::printf("one insertion (relayout + link scan), mean of %d:\n", rounds);
    std::printf("  at the start:  %.3f ms\n", TimeInsertion(engine, 0, style, rounds));
    std::printf("  in the middle: %.3f ms\n",
                TimeInsertion(engine, engine.GetCount() / 2, style, rounds));
    std::printf("  at the end:    %.3f ms\n", TimeInsertion(engine, engine.GetCount(), style, rounds));

    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP buffer = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ previous = ::SelectObject(dc, buffer);
    HDC scratch = ::CreateCompatibleDC(nullptr);

    auto timePaint = [&](const char* label) {
        double start = Now();
        for (int round = 0; round < rounds; ++round)
            engine.Paint(dc, scratch);
        ::GdiFlush();
        std::printf("  %s: %.3f ms\n", label, (Now() - start) / rounds);
    };
    std::printf("one Paint of a %dx%d rectangle, mean of %d:\n", width, height, rounds);
    engine.SetCaretIndex(0, false);
    timePaint("top of the document");
    engine.SetCaretIndex(engine.GetCount(), false);
    timePaint("end of the document");
    engine.SelectRange(0, -1);
    timePaint("end, everything selected");

    ::SelectObject(dc, previous);
    ::DeleteDC(dc);
    ::DeleteDC(scratch);
    ::DeleteObject(buffer);
    ::DestroyWindow(window);
    return 0;
}
