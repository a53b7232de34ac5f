#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include "AppModule.h"
#include "InstallLog.h"
#include "InstallReport.h"
#include "QuietInstall.h"
#include "RunSetup.h"
#include "RunState.h"

namespace {

int RunWithWindow(HINSTANCE instance, const RunSwitches& switches, InstallLog& log)
{
    AppModule.Init(instance);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    const int exitCode = RunSetup(switches.installDir, log);

    Gdiplus::GdiplusShutdown(gdiplusToken);
    AppModule.Term();
    return exitCode;
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR commandTail, int)
{
    ::CoInitializeEx(nullptr, COINIT_MULTITHREADED);

    INITCOMMONCONTROLSEX controls{sizeof controls, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);

    const RunSwitches switches = ParseRunSwitches(commandTail);
    UpgradeMode = switches.upgrade ? 1 : 0;
    AutoMode = switches.automatic ? 1 : 0;

    InstallLog log;
    if (switches.logFile)
        log.Open(*switches.logFile);
    LogRunStart(log, switches);

    // The quiet mode needs neither the window framework nor GDI+.
    const int exitCode = switches.quiet ? RunQuietInstall(switches.installDir, log)
                                        : RunWithWindow(instance, switches, log);
    LogExitCode(log, exitCode);
    ::CoUninitialize();
    return exitCode;
}
