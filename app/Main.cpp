#include <windows.h>
#include <commctrl.h>
#include <objbase.h>
#include <gdiplus.h>

#include "AppModule.h"
#include "InstallLock.h"
#include "InstallTransaction.h"
#include "InstallLog.h"
#include "InstallPath.h"
#include "Package.h"
#include "InstallReport.h"
#include "QuietInstall.h"
#include "RunSetup.h"
#include "RunState.h"

namespace {

// An installation stopped from outside is taken back before anything else, unless
// another installer is at work now: that one finishes it before its own installation.
void TakeBackInterruptedInstallation(InstallLog& log)
{
    InstallLock lock;
    if (lock.TryAcquire())
        FinishInterruptedInstallation([&log](const std::wstring& line) { log.Write(line); });
}

int RunWithWindow(HINSTANCE instance, const RunSwitches& switches, InstallLog& log)
{
    AppModule.Init(instance);

    Gdiplus::GdiplusStartupInput gdiplusInput;
    ULONG_PTR gdiplusToken = 0;
    Gdiplus::GdiplusStartup(&gdiplusToken, &gdiplusInput, nullptr);

    // A /D= that is not last is refused; the window proposes its own folder instead.
    const int exitCode =
        RunSetup(switches.misplacedSwitch ? std::nullopt : switches.installDir, log, switches.passive);

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
        log.Open(*switches.logFile, DirectoryPart(ProgramPath()));
    LogRunStart(log, switches);
    TakeBackInterruptedInstallation(log);

    // The quiet mode needs neither the window framework nor GDI+. Nobody watches a
    // passive window either: a folder it cannot take is refused, not replaced by another.
    int exitCode = 0;
    if (switches.quiet) {
        exitCode = RunQuietInstall(switches, log);
    } else if (switches.passive && switches.misplacedSwitch) {
        LogResult(log, InstallResult::InvalidFolder);
        exitCode = static_cast<int>(InstallResult::InvalidFolder);
    } else {
        exitCode = RunWithWindow(instance, switches, log);
    }
    LogExitCode(log, exitCode);
    ::CoUninitialize();
    return exitCode;
}
