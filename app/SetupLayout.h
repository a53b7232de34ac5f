#pragma once
#include <windows.h>

// The setup window's content: 500 x 400 at 100 %, with an 8-pixel shadow margin around it.
constexpr int SetupContentWidth = 500;
constexpr int SetupContentHeight = 400;

// Where everything of the setup window goes, in window coordinates. The table is written
// once at 100 % (the content rectangle is (8, 8)-(508, 408)) and scaled once for the
// window's dots per inch, every edge by the same rule (ScaleRect), so that what meets at
// 100 % meets at every scale.
struct SetupLayout {
    RECT banner;
    RECT label;
    // The white box around the path field.
    RECT pathBox;
    RECT status;
    // The status line after a successful installation, raised above "开始体验".
    RECT raisedStatus;
    RECT pathField;
    RECT changeDirButton;
    // Beside the path field, and wide and centred in upgrade mode.
    RECT mainButton;
    RECT wideMainButton;
    RECT checkBox;
    RECT upgradeCheckBox;
    RECT startButton;
};

SetupLayout SetupLayoutAt(UINT dpi);
