#include "SetupLayout.h"

#include "AlphaSurface.h"
#include "CaptionFrame.h"

namespace {

constexpr int BannerHeight = 270;
constexpr int SuccessLineRise = 50;

SetupLayout LayoutAtFullSize()
{
    const int L = ShadowMargin, T = ShadowMargin;
    const int R = L + SetupContentWidth, B = T + SetupContentHeight;
    SetupLayout at100{};
    at100.banner = {L, T + CaptionHeight, R, T + CaptionHeight + BannerHeight};
    at100.label = {L + 10, B - 68, L + 78, B - 48};
    at100.pathBox = {L + 78, B - 74, R - 166, B - 44};
    at100.status = {L + 40, B - 100, R - 40, B};
    at100.raisedStatus = {L + 40, B - 100, R - 40, B - SuccessLineRise};
    // 6 pixels inside the path box on the left, 10 on the right.
    at100.pathField = {L + 84, B - 74, R - 176, B - 44};
    // 65 x 30, 6 pixels right of the path box.
    at100.changeDirButton = {R - 160, B - 74, R - 95, B - 44};
    // 65 x 30, 10 pixels right of the change-directory button.
    at100.mainButton = {R - 85, B - 74, R - 20, B - 44};
    at100.wideMainButton = {L + 100, B - 70, R - 100, B - 30};
    at100.checkBox = {L + 172, B - 30, R - 132, B - 15};
    at100.upgradeCheckBox = {L + 132, B - 25, R - 132, B - 10};
    at100.startButton = {L + 150, B - 50, R - 150, B - 15};
    return at100;
}

} // namespace

SetupLayout SetupLayoutAt(UINT dpi)
{
    SetupLayout layout = LayoutAtFullSize();
    for (RECT* rect : {&layout.banner, &layout.label, &layout.pathBox, &layout.status, &layout.raisedStatus,
                       &layout.pathField, &layout.changeDirButton, &layout.mainButton, &layout.wideMainButton,
                       &layout.checkBox, &layout.upgradeCheckBox, &layout.startButton})
        *rect = ScaleRect(*rect, dpi);
    return layout;
}
