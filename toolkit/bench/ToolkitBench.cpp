// Composition cost of the framed 516 x 416 window (shadow, frame and five controls),
// and where it goes. Every figure is the mean time of one call over a batch of calls;
// the batches are repeated, interleaved, and the minimum, median and maximum of the
// batch means are printed in milliseconds. The composition's own work is timed on a
// second window of the same kind without the layered style, where the push fails at
// once. Run it under Wine with a display:
//   source scripts/session.sh && start_session bench
//   scripts/wine-run.sh "$test_build_dir/bin/toolkit_bench.exe" [runs]
//   stop_session
#include <windows.h>
#include <gdiplus.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "AppModule.h"
#include "FramedTestWindow.h"
#include "GdiObjects.h"
#include "ImageResources.h"

namespace {

constexpr int DefaultRuns = 15;
constexpr int CallsPerBatch = 40;
constexpr double FadeTickMs = 30.0;

double NowMs()
{
    static const LARGE_INTEGER frequency = [] {
        LARGE_INTEGER value;
        ::QueryPerformanceFrequency(&value);
        return value;
    }();
    LARGE_INTEGER counter;
    ::QueryPerformanceCounter(&counter);
    return 1000.0 * static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

struct Figure {
    std::string name;
    std::function<void()> call;
    std::vector<double> batchMeans;
};

double MeanOfBatch(const std::function<void()>& call)
{
    const double start = NowMs();
    for (int i = 0; i < CallsPerBatch; ++i)
        call();
    return (NowMs() - start) / CallsPerBatch;
}

double Median(std::vector<double> values)
{
    std::sort(values.begin(), values.end());
    const size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

void PrintTable(const std::vector<Figure>& figures, int runs)
{
    std::printf("| %-58s | %6s | %6s | %6s | %7s |\n", "ms per call", "min", "median", "max",
                "of tick");
    std::printf("|%s|--------|--------|--------|---------|\n", std::string(60, '-').c_str());
    for (const Figure& figure : figures) {
        const auto [low, high] = std::minmax_element(figure.batchMeans.begin(), figure.batchMeans.end());
        const double median = Median(figure.batchMeans);
        std::printf("| %-58s | %6.2f | %6.2f | %6.2f | %6.0f%% |\n", figure.name.c_str(), *low, median,
                    *high, median / FadeTickMs * 100.0);
    }
    std::printf("(%d runs of %d calls each; \"of tick\" is the median against the %.0f ms fade tick)\n",
                runs, CallsPerBatch, FadeTickMs);
}

// A window-sized 32-bit buffer with the window font, for the parts timed on their own,
// so that the window's own buffers keep the picture on screen.
class ScratchBuffer {
public:
    ScratchBuffer(HDC compatible, SIZE size, HFONT font) : dc(compatible)
    {
        void* bits = nullptr;
        bitmap.Reset(CreateDib32(size.cx, size.cy, &bits));
        selection.emplace(dc.Get(), bitmap.Get());
        ::SelectObject(dc.Get(), font);
        ::SetBkMode(dc.Get(), TRANSPARENT);
    }
    HDC Get() const { return dc.Get(); }

private:
    ScopedMemoryDC dc;
    ScopedGdiObject<HBITMAP> bitmap;
    std::optional<ScopedSelection> selection;
};

// One tick of a fade of `button` from its normal to its hover picture, restarted
// whenever it ends, so that every tick blends two pictures.
void FadeTick(CImageButton& button)
{
    if (button.fadeLevel >= 255) {
        button.fadeFromImage = button.images[CImageButton::NormalImage];
        button.fadeLevel = 0;
        button.state = CImageButton::Hover;
    }
    ::SendMessageW(button.window, WM_TIMER, FadeTimerId, 0);
}

RECT WindowRectOf(HWND control, HWND topLevel)
{
    RECT rect{};
    ::GetWindowRect(control, &rect);
    ::MapWindowPoints(nullptr, topLevel, reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

int Run(int runs)
{
    FramedTestWindow w;
    FramedTestWindow unpushed;
    if (!w.Open() || !unpushed.Open(700, 300)) {
        std::printf("window could not be created\n");
        return 1;
    }
    ::SetWindowLongPtrW(unpushed.window, GWL_EXSTYLE,
                        ::GetWindowLongPtrW(unpushed.window, GWL_EXSTYLE) & ~static_cast<LONG_PTR>(WS_EX_LAYERED));
    const SIZE size = w.BufferSize();
    const RECT content = w.ContentRect();
    ScratchBuffer scratch(w.backDC, size, w.font);
    ScopedMemoryDC pictureDC(w.backDC);
    ScopedWindowDC windowDC(w.window);
    const RECT hoverRect = WindowRectOf(w.hoverButton.window, w.window);

    const auto updateLayered = [&](const RECT* dirty) {
        POINT origin{0, 0};
        UPDATELAYEREDWINDOWINFO info{sizeof info, windowDC.Get(), nullptr, &size, w.backDC, &origin,
                                     0, &w.blend, ULW_ALPHA, dirty};
        ::UpdateLayeredWindowIndirect(w.window, &info);
    };
    std::vector<Figure> figures = {
        {"ComposeAndUpdate, whole window", [&] { w.ComposeAndUpdate(); }, {}},
        {"fade tick of the 30 x 30 picture button", [&] { FadeTick(w.hoverButton); }, {}},
        {"fade tick of the 65 x 30 stretched text button", [&] { FadeTick(w.mainButton); }, {}},
        {"  shadow nine-grid, whole window",
         [&] { w.shadowImage.Draw(scratch.Get(), pictureDC.Get(), 0, 0, size.cx, size.cy); }, {}},
        {"  frame and controls, one pass", [&] { w.DrawFrame(scratch.Get(), content); }, {}},
        {"  UpdateLayeredWindow, whole window", [&] { updateLayered(nullptr); }, {}},
        {"  UpdateLayeredWindowIndirect, 30 x 30 dirty rectangle", [&] { updateLayered(&hoverRect); }, {}},
        {"  the composition's own work, whole window", [&] { unpushed.ComposeAndUpdate(); }, {}},
        {"  the composition's own work, picture button tick", [&] { FadeTick(unpushed.hoverButton); }, {}},
    };
    for (int run = 0; run < runs; ++run) {
        for (Figure& figure : figures)
            figure.batchMeans.push_back(MeanOfBatch(figure.call));
    }
    // The frames the loop left on screen are whole again.
    w.ComposeAndUpdate();

    std::printf("Framed window %ld x %ld, shadow, frame and five controls\n", size.cx, size.cy);
    PrintTable(figures, runs);
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = argc > 1 ? std::max(1, std::atoi(argv[1])) : DefaultRuns;
    AppModule.Init(::GetModuleHandleW(nullptr));
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);
    const int status = Run(runs);
    Gdiplus::GdiplusShutdown(token);
    AppModule.Term();
    return status;
}
