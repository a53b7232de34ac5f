// The uninstaller that the setup package places beside the application as
// "卸载Tessamo.exe": it removes what the installer created, from its own directory.
#include <windows.h>

#include <string>

#include "ProgramPath.h"
#include "TemporaryCopy.h"
#include "Uninstall.h"

namespace {

const wchar_t* const Title = L"卸载Tessamo";
constexpr unsigned CloseTimeout = 10000;

int Ask(const wchar_t* text, UINT style)
{
    return ::MessageBoxW(nullptr, text, Title, style | MB_SETFOREGROUND | MB_TOPMOST);
}

int Uninstall(const std::wstring& installDir)
{
    // Only ever act on a folder that holds an installation.
    if (::GetFileAttributesW((installDir + L"卸载Tessamo.exe").c_str()) == INVALID_FILE_ATTRIBUTES) {
        Ask(L"未找到Tessamo的安装目录，无法卸载！", MB_OK | MB_ICONWARNING);
        return 1;
    }
    if (Ask(L"确定要从您的电脑中卸载Tessamo吗？", MB_YESNO | MB_ICONQUESTION) != IDYES)
        return 0;
    if (!CloseRunningApplication(CloseTimeout)) {
        Ask(L"Tessamo正在运行且无法关闭，请先退出Tessamo再卸载！", MB_OK | MB_ICONWARNING);
        return 1;
    }
    // Keeping the data is the default: the second button is preselected.
    const bool removeData =
        Ask(L"是否同时删除您的便签数据？\r\n包括便签、提醒、备份、图片和便签模板，删除后将无法恢复。\r\n"
            L"选择“否”将保留这些数据，以后重新安装Tessamo时可以继续使用。",
            MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) == IDYES;

    RemoveShortcuts();
    RemoveRegistryEntries(installDir);
    if (removeData)
        RemoveUserData(installDir);
    RemoveProgramFiles(installDir, installDir + L"卸载Tessamo.exe");

    Ask(removeData ? L"Tessamo已成功卸载。"
                   : L"Tessamo已成功卸载。您的便签数据保留在安装目录中。",
        MB_OK | MB_ICONINFORMATION);
    return 0;
}

} // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    const std::wstring program = ProgramPath();
    const HandOver handOver = ParseHandOver(::GetCommandLineW());
    std::wstring installDir = handOver.installDir;
    if (installDir.empty()) {
        installDir = program.substr(0, program.rfind(L'\\') + 1);
        if (StartTemporaryCopy(program, installDir))
            return 0;
    } else {
        WaitForOriginal(handOver.originalProcessId);
    }

    ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);
    const int exitCode = Uninstall(installDir);
    ::CoUninitialize();
    // The temporary copy goes at the next start of the system.
    if (!handOver.installDir.empty())
        ::MoveFileExW(program.c_str(), nullptr, MOVEFILE_DELAY_UNTIL_REBOOT);
    return exitCode;
}
