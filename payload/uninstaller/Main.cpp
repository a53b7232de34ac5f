// The uninstaller that the setup package places beside the application as
// "卸载Tessamo.exe": it removes what the installer created, from its own directory.
#include <windows.h>

#include <string>

#include "InstallLock.h"
#include "InstallLog.h"
#include "InstallTransaction.h"
#include "ProgramPath.h"
#include "Switches.h"
#include "SystemIntegration.h"
#include "TemporaryCopy.h"
#include "Uninstall.h"

namespace {

const wchar_t* const Title = L"卸载Tessamo";
constexpr unsigned CloseTimeout = 10000;

// The exit codes, the same in every mode.
enum ExitCode : int {
    Removed = 0, // also when the user answered "否" to the first question
    NoInstallation = 1,
    StillRunning = 3,
    NotAllRemoved = 5,
};

// The user's side of an uninstallation: message boxes, or with /quiet none at all and
// the answers a script wants: go ahead, and keep the data unless /removedata says
// otherwise. Each question and answer goes to the log.
class Dialogue {
public:
    Dialogue(const UninstallSwitches& switches, InstallLog& log) : switches(switches), log(log) {}

    bool Confirm(const wchar_t* text) { return Ask(text, MB_YESNO | MB_ICONQUESTION, true); }
    // Keeping the data is the default: the second button is preselected.
    bool RemoveData(const wchar_t* text)
    {
        return Ask(text, MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2, switches.removeData);
    }
    void Tell(const wchar_t* text, UINT icon)
    {
        log.Write(L"Message box: " + std::wstring(text));
        if (!switches.quiet)
            Show(text, MB_OK | icon);
    }

private:
    bool Ask(const wchar_t* text, UINT style, bool quietAnswer)
    {
        log.Write(L"Message box: " + std::wstring(text) + L" [是/否]");
        const bool yes = switches.quiet ? quietAnswer : Show(text, style) == IDYES;
        log.Write(yes ? L"Answer: 是" : L"Answer: 否");
        return yes;
    }
    static int Show(const wchar_t* text, UINT style)
    {
        return ::MessageBoxW(nullptr, text, Title, style | MB_SETFOREGROUND | MB_TOPMOST);
    }

    const UninstallSwitches& switches;
    InstallLog& log;
};

struct Outcome {
    int exitCode = Removed;
    bool programRemoved = false; // the program's files went, so the uninstaller goes too
};

// An installation that was stopped half way is taken back first: only then is there one
// whole installation to remove. One that is running now is waited for.
bool NoUnfinishedInstallation()
{
    InstallLock lock;
    return lock.Acquire({}) && FinishInterruptedInstallation([](const std::wstring&) {});
}

// What stayed is never reported as a success; the log, when there is one, names it.
void TellOutcome(Dialogue& dialogue, bool allRemoved, bool dataRemoved)
{
    const wchar_t* const dataKept = dataRemoved ? L"" : L"您的便签数据保留在安装目录中。";
    if (allRemoved)
        dialogue.Tell((std::wstring(L"Tessamo已成功卸载。") + dataKept).c_str(), MB_ICONINFORMATION);
    else
        dialogue.Tell((std::wstring(L"Tessamo已卸载，但有些文件或设置未能删除。") + dataKept).c_str(), MB_ICONWARNING);
}

Outcome Uninstall(const std::wstring& installDir, Dialogue& dialogue, InstallLog& log)
{
    if (!NoUnfinishedInstallation()) {
        dialogue.Tell(L"上次未完成的安装无法还原，请稍后再卸载Tessamo！", MB_ICONWARNING);
        return {NotAllRemoved};
    }
    // Only ever act on a folder that holds an installation.
    if (::GetFileAttributesW((installDir + UninstallerName).c_str()) == INVALID_FILE_ATTRIBUTES) {
        dialogue.Tell(L"未找到Tessamo的安装目录，无法卸载！", MB_ICONWARNING);
        return {NoInstallation};
    }
    if (!dialogue.Confirm(L"确定要从您的电脑中卸载Tessamo吗？"))
        return {Removed};
    if (!CloseRunningApplication(CloseTimeout)) {
        dialogue.Tell(L"Tessamo正在运行且无法关闭，请先退出Tessamo再卸载！", MB_ICONWARNING);
        return {StillRunning};
    }
    const bool removeData = dialogue.RemoveData(
        L"是否同时删除您的便签数据？\r\n包括便签、提醒、备份、图片和便签模板，删除后将无法恢复。\r\n"
        L"选择“否”将保留这些数据，以后重新安装Tessamo时可以继续使用。");

    RemovalReport report(log);
    RemoveShortcuts(report);
    RemoveRegistryEntries(installDir, report);
    if (removeData)
        RemoveUserData(installDir, report);
    RemoveProgramFiles(installDir, report);

    TellOutcome(dialogue, report.AllRemoved(), removeData);
    return {report.AllRemoved() ? Removed : NotAllRemoved, true};
}

void LogStart(InstallLog& log, const UninstallSwitches& switches, const std::wstring& installDir)
{
    log.Write(L"Tessamo Uninstall " + GetFileVersionText(ProgramPath()).value_or(L"(no version)"));
    log.Write(L"Command line: " + std::wstring(::GetCommandLineW()));
    log.Write(switches.quiet ? (switches.removeData ? L"Mode: quiet, the notes data removed too"
                                                    : L"Mode: quiet, the notes data kept")
                             : L"Mode: with questions");
    log.Write(L"Install folder: " + installDir);
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR commandTail, int)
{
    const std::wstring program = ProgramPath();
    const UninstallSwitches switches = ParseUninstallSwitches(commandTail ? commandTail : L"");
    const bool isCopy = !switches.installDir.empty();
    const bool undoPending = ::GetFileAttributesW(InstallJournalPath().c_str()) != INVALID_FILE_ATTRIBUTES;
    const std::wstring installDir = isCopy ? switches.installDir : program.substr(0, program.rfind(L'\\') + 1);
    if (!isCopy) {
        // The undo of an interrupted installation may put back this very file, which cannot
        // be replaced while this process runs: then the copy is not waited for.
        if (const std::optional<int> exitCode =
                RunTemporaryCopy(program, installDir, commandTail ? commandTail : L"", !undoPending))
            return *exitCode;
    }

    InstallLog log({L"Tessamo Uninstall", L"TessamoUninstall.log"});
    if (switches.logFile)
        log.Open(*switches.logFile, installDir);
    LogStart(log, switches, installDir);

    // The original was not waiting: its file is free once it has ended.
    if (isCopy && undoPending)
        WaitForOriginal(switches.originalProcessId);
    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    Dialogue dialogue(switches, log);
    const Outcome outcome = Uninstall(installDir, dialogue, log);
    ::CoUninitialize();
    log.Write(L"Exit code: " + std::to_wstring(outcome.exitCode));

    if (isCopy) {
        ReportToOriginal(switches.resultPipe, outcome.exitCode);
        WaitForOriginal(switches.originalProcessId);
    }
    if (outcome.programRemoved) {
        RemovalReport report(log);
        RemoveUninstaller(installDir, report);
    }
    // The temporary copy goes at the next start of the system.
    if (isCopy)
        ::MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return outcome.exitCode;
}
