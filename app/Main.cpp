#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include "AppModule.h"
#include "RunSetup.h"
#include "RunState.h"

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandTail, int showCommand)
{
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    const RunSwitches switches = ParseRunSwitches(commandTail);
    UpgradeMode = switches.upgrade ? 1 : 0;
    AutoMode = switches.automatic ? 1 : 0;

    AppModule.Init(instance);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    int exitCode = RunSetup(commandTail, showCommand);

    Gdiplus::GdiplusShutdown(gdiplusToken);
    AppModule.Term();
    ::CoUninitialize();
    return exitCode;
}
