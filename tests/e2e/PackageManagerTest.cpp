// What a package manager or a deployment script does with the real installer and the
// uninstaller it installs, each case in a fresh prefix: install with /quiet, uninstall
// with the entry's quiet command and wait for it, install with /passive.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

const std::wstring Uninstaller = DefaultDir + L"卸载Tessamo.exe";

// Starts `commandLine` as it stands, as a package manager does, and waits for its end.
DWORD RunAndWait(const std::wstring& commandLine)
{
    std::wstring line = commandLine;
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, L"C:\\", &startup, &process))
        return 0xFFFFFFFF;
    ::CloseHandle(process.hThread);
    DWORD exitCode = STILL_ACTIVE;
    PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 120000);
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    ::CloseHandle(process.hProcess);
    return exitCode;
}

void InstallQuietly()
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet"));
    ASSERT_EQ(setup.WatchUntilExit().exitCode, 0u);
    ExpectInstalledIn(DefaultDir);
}

std::vector<std::wstring> Shortcuts()
{
    const std::wstring menu = SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo";
    return {SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessamo.lnk", menu + L"\\Tessamo.lnk",
            menu + L"\\使用说明.txt.lnk", menu + L"\\卸载Tessamo.lnk", menu};
}

std::wstring UserTemplates()
{
    return SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo\\template-utf8.xml";
}

struct QuietUninstallCase {
    const char* name;
    const wchar_t* extraSwitches;
    bool dataKept;
};

class QuietUninstall : public testing::TestWithParam<QuietUninstallCase> {};

TEST_P(QuietUninstall, TheEntrysQuietCommandRemovesTheProgramAndEndsWhenItIsDone)
{
    InstallQuietly();
    const std::wstring command = RegistryString(HKEY_CURRENT_USER, UninstallKey, L"QuietUninstallString");
    ASSERT_EQ(command, L"\"" + Uninstaller + L"\" /quiet");

    // Unquoted, as an administrator types it: the log's folder has a blank.
    EXPECT_EQ(RunAndWait(command + L" /log=C:\\dl\\my logs\\uninstall.log" + GetParam().extraSwitches), 0u);
    for (const wchar_t* file : {L"Pinvora.exe", L"使用说明.txt", L"res\\2020414132329879.png", L"sound\\sound1.wav"})
        EXPECT_FALSE(FileExists(DefaultDir + file)) << ToUtf8(file);
    for (const std::wstring& link : Shortcuts())
        EXPECT_FALSE(FileExists(link)) << ToUtf8(link);
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, UninstallKey, L"DisplayName"), L"<absent>");
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, RunKey, L"Pinvora"), L"<absent>");
    // The copy in the temporary folder removes the uninstaller once the caller's process ended.
    EXPECT_TRUE(PumpUntil([] { return !FileExists(Uninstaller); }, 10000));

    EXPECT_EQ(FileExists(DefaultDir + L"data.dat"), GetParam().dataKept);
    EXPECT_EQ(FileExists(DefaultDir + L"template-utf8.xml"), GetParam().dataKept);
    EXPECT_EQ(FileExists(UserTemplates()), GetParam().dataKept);
    EXPECT_EQ(FileExists(DefaultDir), GetParam().dataKept);
    ExpectLogHolds(ReadLog(L"C:\\dl\\my logs\\uninstall.log"),
                   {L"Mode: quiet", L"Install folder: " + DefaultDir, L"Removed: " + DefaultDir + L"Pinvora.exe",
                    L"Exit code: 0"});
}

INSTANTIATE_TEST_SUITE_P(Data, QuietUninstall,
                         testing::Values(QuietUninstallCase{"KeepsTheNotesData", L"", true},
                                         QuietUninstallCase{"WithRemoveDataRemovesThemToo", L" /removedata", false}),
                         [](const auto& info) { return std::string(info.param.name); });

LRESULT CALLBACK IgnoreClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

// A window titled like the application that ignores WM_CLOSE.
HWND StubbornApplication()
{
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = IgnoreClose;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"StubbornPinvora";
    ::RegisterClassW(&windowClass);
    return ::CreateWindowW(L"StubbornPinvora", L"Pinvora", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200, nullptr, nullptr,
                           windowClass.hInstance, nullptr);
}

TEST(QuietUninstall, ARunningApplicationThatWillNotCloseEndsItWithCode3AndRemovesNothing)
{
    InstallQuietly();
    HWND stubborn = StubbornApplication();
    ASSERT_TRUE(stubborn);

    const std::wstring command = RegistryString(HKEY_CURRENT_USER, UninstallKey, L"QuietUninstallString");
    EXPECT_EQ(RunAndWait(command), 3u);
    EXPECT_TRUE(::IsWindow(stubborn));
    ExpectInstalledIn(DefaultDir);
    EXPECT_TRUE(FileExists(Uninstaller));
    ::DestroyWindow(stubborn);
}

// A box would keep it, and its caller, waiting.
TEST(QuietUninstall, OutsideAnInstallationEndsWithCode1AndRemovesNothing)
{
    CreateFolders(L"C:\\stray\\");
    ASSERT_TRUE(::CopyFileW(L"C:\\bin\\TessamoUninstaller.exe", L"C:\\stray\\unrelated.exe", FALSE));
    ASSERT_TRUE(WriteBytesFile(L"C:\\stray\\data.dat", "someone else's"));
    // Twice with one log: the second run replaces the first one's log, as the installer's do.
    EXPECT_EQ(RunAndWait(L"\"C:\\stray\\unrelated.exe\" /quiet /log=C:\\dl\\uninstall.log"), 1u);
    EXPECT_EQ(RunAndWait(L"\"C:\\stray\\unrelated.exe\" /quiet /removedata /log=C:\\dl\\uninstall.log"), 1u);
    EXPECT_EQ(ReadBytesFile(L"C:\\stray\\data.dat"), "someone else's");
    ExpectLogHolds(ReadLog(L"C:\\dl\\uninstall.log"),
                   {L"Tessamo Uninstall", L"Mode: quiet, the notes data removed too", L"Exit code: 1"});
}

// Asks nothing: an earlier installation elsewhere is not migrated, a running application
// is neither closed nor waited for; the window closes itself with the quiet exit codes.
struct PassiveCase {
    const char* name;
    bool applicationRunning;
    DWORD exitCode;
    std::vector<std::wstring> logged;
};

class PassiveInstall : public testing::TestWithParam<PassiveCase> {};

TEST_P(PassiveInstall, ShowsItsWindowAsksNothingAndClosesItself)
{
    const std::wstring earlier = L"C:\\Old\\Tessamo\\";
    CreateFolders(earlier);
    ASSERT_TRUE(::CopyFileW(L"C:\\bin\\Pinvora.exe", (earlier + L"Pinvora.exe").c_str(), FALSE));
    ASSERT_TRUE(WriteBytesFile(earlier + L"data.dat", "old data"));
    SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", earlier);
    PROCESS_INFORMATION application{};
    if (GetParam().applicationRunning) {
        STARTUPINFOW startup{sizeof startup};
        std::wstring commandLine = L"\"" + earlier + L"Pinvora.exe\"";
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                     earlier.c_str(), &startup, &application));
        ASSERT_TRUE(PumpUntil([] { return ::FindWindowW(nullptr, L"Pinvora") != nullptr; }, 20000));
    }

    const std::wstring target = L"D:\\New\\Tessamo\\";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/passive /log=C:\\dl\\passive.log /D=" + target));
    const SetupDriver::Watched watched = setup.WatchUntilExit();
    EXPECT_EQ(watched.exitCode, GetParam().exitCode);
    EXPECT_FALSE(watched.messageBoxSeen);
    EXPECT_EQ(ReadBytesFile(earlier + L"data.dat"), "old data");
    ExpectLogHolds(ReadLog(L"C:\\dl\\passive.log"), GetParam().logged);

    if (GetParam().applicationRunning) {
        EXPECT_EQ(::WaitForSingleObject(application.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "the user's application is not closed";
        ::PostMessageW(::FindWindowW(nullptr, L"Pinvora"), WM_CLOSE, 0, 0);
        ::WaitForSingleObject(application.hProcess, 20000);
        ::CloseHandle(application.hProcess);
        ::CloseHandle(application.hThread);
    } else {
        EXPECT_EQ(watched.titleSeen, L"Tessamo软件升级") << "the window with its progress was there";
        EXPECT_FALSE(watched.applicationSeen) << "the application is not started";
        ExpectInstalledIn(target);
        EXPECT_NE(ReadBytesFile(target + L"data.dat"), "old data") << "not migrated";
    }
}

INSTANTIATE_TEST_SUITE_P(
    Situations, PassiveInstall,
    testing::Values(
        PassiveCase{"WithAnEarlierInstallationElsewhere", false, 0,
                    {L"Mode: passive", L"Earlier installation: C:\\Old\\Tessamo\\",
                     L"Message box \"数据迁移\": ", L"Answer: 否", L"Result: installed", L"Exit code: 0"}},
        PassiveCase{"WhileTheApplicationRuns", true, 3,
                    {L"Mode: passive", L"Message box \"程序正在运行\": ", L"Answer: 取消",
                     L"Result: Tessamo is running", L"Exit code: 3"}}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
