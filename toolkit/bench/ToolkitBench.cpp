// Composition cost of a framed 516 x 416 window with five controls, and of one
// six-tick hover fade. Run under Wine with a display; prints milliseconds.
#include <windows.h>
#include <gdiplus.h>

#include <cstdio>

#include "AppModule.h"
#include "FramedTestWindow.h"

namespace {

double Milliseconds(const LARGE_INTEGER& from, const LARGE_INTEGER& to, const LARGE_INTEGER& frequency)
{
    return 1000.0 * static_cast<double>(to.QuadPart - from.QuadPart) / static_cast<double>(frequency.QuadPart);
}

} // namespace

int main()
{
    AppModule.Init(::GetModuleHandleW(nullptr));
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    {
        FramedTestWindow w;
        if (!w.Open()) {
            std::printf("window could not be created\n");
            return 1;
        }
        LARGE_INTEGER frequency, start, end;
        ::QueryPerformanceFrequency(&frequency);
        const int frames = 200;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < frames; ++i)
            w.ComposeAndUpdate();
        ::QueryPerformanceCounter(&end);
        const double perFrame = Milliseconds(start, end, frequency) / frames;
        std::printf("ComposeAndUpdate, 516 x 416, frame + 5 controls: %.2f ms per frame (%.0f%% of a 30 ms tick)\n",
                    perFrame, perFrame / 30.0 * 100.0);

        // Where a frame's time goes.
        const RECT content = w.ContentRect();
        HDC scratch = ::CreateCompatibleDC(w.backDC);
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < frames; ++i)
            w.shadowImage.Draw(w.backDC, scratch, 0, 0, 516, 416);
        ::QueryPerformanceCounter(&end);
        ::DeleteDC(scratch);
        std::printf("  shadow nine-grid: %.2f ms\n", Milliseconds(start, end, frequency) / frames);
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < frames; ++i)
            w.DrawFrame(w.probeDC, content);
        ::QueryPerformanceCounter(&end);
        std::printf("  frame and controls, one pass: %.2f ms\n", Milliseconds(start, end, frequency) / frames);

        HDC windowDC = ::GetDC(w.window);
        SIZE size{516, 416};
        POINT origin{0, 0};
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < frames; ++i)
            ::UpdateLayeredWindow(w.window, windowDC, nullptr, &size, w.backDC, &origin, 0, &w.blend, ULW_ALPHA);
        ::QueryPerformanceCounter(&end);
        ::ReleaseDC(w.window, windowDC);
        std::printf("  UpdateLayeredWindow: %.2f ms\n", Milliseconds(start, end, frequency) / frames);

        // One hover fade: six ticks, each a full composition, driven directly.
        const int fades = 50;
        ::QueryPerformanceCounter(&start);
        for (int i = 0; i < fades; ++i) {
            w.hoverButton.fadeFromImage = w.hoverButton.images[CImageButton::NormalImage];
            w.hoverButton.fadeLevel = 0;
            w.hoverButton.state = CImageButton::Hover;
            for (int tick = 0; tick < 6; ++tick)
                ::SendMessageW(w.hoverButton.window, WM_TIMER, FadeTimerId, 0);
        }
        ::QueryPerformanceCounter(&end);
        const double perFade = Milliseconds(start, end, frequency) / fades;
        std::printf("hover fade, six ticks: %.2f ms in all, %.2f ms per tick (%.0f%% of the tick)\n",
                    perFade, perFade / 6, perFade / 6 / 30.0 * 100.0);
    }
    Gdiplus::GdiplusShutdown(token);
    AppModule.Term();
    return 0;
}
