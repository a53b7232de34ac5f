#pragma once
#include <vector>

#include "QCheckBox.h"
#include "ResourceIds.h"
#include "TextButton.h"
#include "WindowFrame.h"

// Counts the check box's toggles.
class CountingCheckListener : public CheckChangedListener {
public:
    int calls = 0;
    void OnCheckChanged(CQCheckBox*) override { ++calls; }
};

// A framed window laid out like the setup window: content 500 x 400 with shadow,
// three text buttons, a picture button and a check box. It records the commands it
// receives, and for every composition the fade level of `hoverButton` and the area
// rendered.
class FramedTestWindow : public CWndFrameBase<FramedTestWindow> {
public:
    CTextButton browseButton;
    CTextButton mainButton;
    CTextButton startButton;
    CImageButton hoverButton;
    CQCheckBox autostart;
    std::vector<UINT> commands;
    std::vector<int> composedFadeLevels;
    std::vector<RECT> composedAreas;
    int compositions = 0;

    ~FramedTestWindow() override { DestroyAlphaWindow(); }

    HWND Open(int left = 100, int top = 100)
    {
        title = L"安装Tessamo";
        return CreateAlphaWindow(left, top, 500, 400, nullptr, true, true);
    }

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override
    {
        if (CWndFrameBase<FramedTestWindow>::HandleMessage(hwnd, message, wParam, lParam, result, mapId))
            return true;
        switch (message) {
        case WM_CREATE:
            BuildControls(hwnd);
            return false;
        case WM_COMMAND:
            commands.push_back(LOWORD(wParam));
            return true;
        default:
            return false;
        }
    }

    void DrawFrame(HDC dc, const RECT& content) override
    {
        if (dc == backDC) {
            ++compositions;
            composedFadeLevels.push_back(hoverButton.fadeLevel);
            RECT area{};
            ::GetClipBox(dc, &area);
            composedAreas.push_back(area);
        }
        CWndFrameBase<FramedTestWindow>::DrawFrame(dc, content);
    }

    void DrawContent(HDC dc, const RECT& content) override
    {
        RECT label{content.left + 10, content.bottom - 68, content.left + 78, content.bottom - 48};
        ::DrawTextW(dc, L"安装目录：", -1, &label, DT_SINGLELINE | DT_VCENTER);
    }

private:
    void SetUpTextButton(CTextButton& button, int normal, int hover, const wchar_t* text)
    {
        button.SetImages(normal, hover, normal, 0);
        button.SetTextColors(0);
        button.SetStretch(true);
        button.SetText(text);
        button.SetTextFormat(DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }

    void BuildControls(HWND hwnd)
    {
        suspendRedraw = true;
        minimizeButton.SetVisible(true);
        const RECT c = ContentRect();
        SetUpTextButton(browseButton, IDP_BROWSE_NORMAL, IDP_BROWSE_HOVER, L"更换目录");
        browseButton.CreateControl(hwnd, c.right - 160, c.bottom - 74, c.right - 95, c.bottom - 44, 101);
        SetUpTextButton(mainButton, IDP_MAIN_NORMAL, IDP_MAIN_HOVER, L"开始安装");
        mainButton.CreateControl(hwnd, c.right - 85, c.bottom - 74, c.right - 20, c.bottom - 44, 100);
        SetUpTextButton(startButton, IDP_MAIN_NORMAL, IDP_MAIN_HOVER, L"开始体验");
        startButton.CreateControl(hwnd, c.left + 150, c.top + 120, c.right - 150, c.top + 155, 1);
        hoverButton.SetImages(IDP_BOX_FIRST, IDP_BOX_FIRST_HOVER, IDP_BOX_SECOND, 0);
        hoverButton.CreateControl(hwnd, c.left + 40, c.top + 60, c.left + 70, c.top + 90, 200);
        autostart.SetCheckImages(IDP_CHECK_ON, IDP_CHECK_OFF);
        autostart.SetText(L"开机时启动Tessamo");
        autostart.CreateControl(hwnd, c.left + 172, c.bottom - 30, c.right - 132, c.bottom - 15, 0);
        for (CQCtrlBase* control : std::initializer_list<CQCtrlBase*>{&browseButton, &mainButton,
                                                                      &startButton, &hoverButton, &autostart})
            AddControl(control);
        suspendRedraw = false;
        ComposeAndUpdate();
    }
};
