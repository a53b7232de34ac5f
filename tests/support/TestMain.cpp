// Test programs start the platform libraries exactly as the installer does.
#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>
#include <gmock/gmock.h>

#include "AppModule.h"

int main(int argc, char** argv)
{
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    AppModule.Init(::GetModuleHandleW(nullptr));
    Gdiplus::GdiplusStartupInput input;
    ULONG_PTR token = 0;
    Gdiplus::GdiplusStartup(&token, &input, nullptr);

    testing::InitGoogleMock(&argc, argv);
    int status = RUN_ALL_TESTS();

    Gdiplus::GdiplusShutdown(token);
    AppModule.Term();
    ::CoUninitialize();
    return status;
}
