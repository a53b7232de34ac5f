// Unattended installations (/quiet, /D= and /log=) of the real installer, each case in
// a fresh prefix.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

constexpr int MainButton = 100, StartButton = 1;
const std::wstring SpacedDir = L"C:\\Program Files\\My Apps\\Tessamo\\";

std::wstring WithoutTrailingBackslash(const std::wstring& dir)
{
    return dir.substr(0, dir.size() - 1);
}

bool ApplicationAppears(DWORD milliseconds)
{
    return PumpUntil([] { return ::FindWindowW(nullptr, L"Pinvora") != nullptr; }, milliseconds);
}

// Nothing of an installation anywhere: no unpacked files, no install folder, no entries.
void ExpectNothingInstalled(const std::wstring& dir)
{
    EXPECT_FALSE(FileExists(L"C:\\dl\\temp")) << "nothing unpacked";
    EXPECT_FALSE(FileExists(dir + L"Pinvora.exe"));
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, UninstallKey, L"DisplayIcon"), L"<absent>");
    EXPECT_FALSE(FileExists(SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessamo.lnk"));
}

TEST(QuietInstall, IntoAFolderWithSpacesEqualsAnInstallationThroughTheWindowWithoutAnyWindow)
{
    SetupDriver quiet;
    ASSERT_TRUE(quiet.Start(L"/quiet /D=" + WithoutTrailingBackslash(SpacedDir)));
    const SetupDriver::Watched watched = quiet.WatchUntilExit();
    EXPECT_EQ(watched.exitCode, 0u);
    EXPECT_EQ(watched.windowsSeen, 0u) << "no window at any time";
    EXPECT_FALSE(watched.applicationSeen);
    EXPECT_FALSE(ApplicationAppears(3000)) << "the application is not started";
    ExpectInstalledIn(SpacedDir);
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, RunKey, L"Pinvora"), L"\"" + SpacedDir + L"Pinvora.exe\"");
    const std::vector<std::wstring> quietInstallation = Snapshot(SpacedDir);

    // The same package through the window, into another folder given the same way.
    const std::wstring windowDir = L"D:\\Window Install\\Tessamo\\";
    SetupDriver window;
    ASSERT_TRUE(window.Start(L"/D=" + windowDir));
    ASSERT_TRUE(window.WaitForMainWindow());
    EXPECT_EQ(window.PathFieldText(), windowDir);
    window.Click(MainButton);
    HWND question = window.WaitForMessageBox();
    ASSERT_TRUE(question) << "the quiet installation is an earlier one: migrate?";
    window.Answer(question, 2);
    ASSERT_TRUE(window.WaitUntilVisible(StartButton));
    ::PostMessageW(window.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(window.WaitForExit(), 0u);

    const std::vector<std::wstring> windowInstallation = Snapshot(windowDir);
    EXPECT_GE(windowInstallation.size(), 19u + 10u);
    EXPECT_EQ(quietInstallation, windowInstallation);
}

TEST(QuietInstall, WhileTheApplicationRunsFailsAtOnceAndInstallsNothing)
{
    const std::wstring earlier = L"C:\\Apps\\Tessamo\\";
    CreateFolders(earlier);
    ASSERT_TRUE(::CopyFileW(L"C:\\bin\\Pinvora.exe", (earlier + L"Pinvora.exe").c_str(), FALSE));
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION application{};
    std::wstring commandLine = L"\"" + earlier + L"Pinvora.exe\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, earlier.c_str(),
                                 &startup, &application));
    ASSERT_TRUE(ApplicationAppears(20000));

    CreateFolders(L"C:\\logs\\");
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\logs\\running.log"));
    const SetupDriver::Watched watched = setup.WatchUntilExit(60000);
    EXPECT_EQ(watched.exitCode, 3u) << "no retry, no wait";
    EXPECT_EQ(watched.windowsSeen, 0u);
    EXPECT_EQ(::WaitForSingleObject(application.hProcess, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "a quiet installation does not close the user's application";
    EXPECT_FALSE(FileExists(earlier + L"data.dat"));
    ExpectNothingInstalled(DefaultDir);
    ExpectLogHolds(ReadLog(L"C:\\logs\\running.log"),
                   {L"Mode: quiet", L"Install folder: " + earlier,
                    L"Message box \"程序正在运行\": 安装程序检查到Tessamo正在运行中，请先关闭后重试 [重试/取消]",
                    L"Answer: 取消", L"Result: Tessamo is running", L"Exit code: 3"});

    ::PostMessageW(::FindWindowW(nullptr, L"Pinvora"), WM_CLOSE, 0, 0);
    ::WaitForSingleObject(application.hProcess, 20000);
    ::CloseHandle(application.hProcess);
    ::CloseHandle(application.hThread);
}

TEST(QuietInstall, AnInvalidFolderFailsWithCode2AndWritesNothing)
{
    for (const wchar_t* folder : {L"Apps", L"E:\\", L"", L"D:\\a|b\\Tessamo", L"\\\\server\\share\\Tessamo", L"C:\\\\",
                                  L"C:\\.\\", L"C:\\/", L"C:\\a\\..\\", L"1:\\x", L"C:\\CON\\", L"C:\\a:b\\x"}) {
        SCOPED_TRACE(ToUtf8(folder));
        SetupDriver setup;
        ASSERT_TRUE(setup.Start(std::wstring(L"/quiet /D=") + folder));
        const SetupDriver::Watched watched = setup.WatchUntilExit(60000);
        EXPECT_EQ(watched.exitCode, 2u);
        EXPECT_EQ(watched.windowsSeen, 0u);
        ExpectNothingInstalled(DefaultDir);
    }
}

TEST(QuietInstall, ADamagedPackageFailsWithCode4AndWritesNothing)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\damaged.log", L"C:\\dl\\",
                            InstallerWithPackage(PackageWithOneByteChanged(), std::nullopt)));
    const SetupDriver::Watched watched = setup.WatchUntilExit(60000);
    EXPECT_EQ(watched.exitCode, 4u);
    EXPECT_EQ(watched.windowsSeen, 0u);
    ExpectNothingInstalled(DefaultDir);
    EXPECT_FALSE(FileExists(DefaultDir)) << "not even the folder";
    ExpectLogHolds(ReadLog(L"C:\\dl\\damaged.log"),
                   {L"Progress 1: 安装进行中，正在解压文件...", L"Package check: CRC-32 ",
                    L"differs from the recorded ", L": refused", L"Progress 6: 安装失败！",
                    L"Message box: 安装包已损坏，请重新下载安装程序 [确定]", L"Result: the setup package is damaged",
                    L"Exit code: 4"});
}

TEST(QuietInstall, TheLogOfASuccessfulRunHoldsEveryStep)
{
    CreateFolders(L"C:\\my logs\\");
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=\"C:\\my logs\\setup.log\""));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 0u);
    const std::wstring menu = SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\";
    const std::wstring desktop = SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessamo.lnk";
    ExpectLogHolds(
        ReadLog(L"C:\\my logs\\setup.log"),
        {L"  Tessamo Setup 9.3.6.0\r\n",
         L"  Command line: \"C:\\dl\\TessamoSetup.exe\" /quiet /log=\"C:\\my logs\\setup.log\"\r\n",
         L"  Mode: quiet: no window, no message box\r\n",
         L"  Earlier installation: none\r\n",
         L"  Proposed folder: " + DefaultDir + L" (from the default for a fresh installation)\r\n",
         L"  Install folder: " + DefaultDir + L", autostart on\r\n",
         L"  Progress 1: 安装进行中，正在解压文件...\r\n",
         L" matches the recorded value\r\n",
         L"  Unpacked 19 files into C:\\dl\\temp\r\n",
         L"  Progress 2: 安装进行中，正在拷贝文件到安装目录...\r\n",
         L"  Install folder " + DefaultDir + L": created\r\n",
         L"  Program files: Pinvora.exe copied, 使用说明.txt copied, 卸载Tessamo.exe copied\r\n",
         L"  Template list: merged into template-utf8.xml",
         L"  Data file: data.dat copied from the package\r\n",
         L"  res\\: 8 files copied\r\n",
         L"  sound\\: 6 files copied\r\n",
         L"  Shortcut " + desktop + L" -> " + DefaultDir + L"Pinvora.exe: created\r\n",
         L"  Progress 7: ",
         L"  Shortcut " + menu + L"卸载Tessamo.lnk -> " + DefaultDir + L"卸载Tessamo.exe: created\r\n",
         L"  Progress 3: ",
         L"  Registry HKCU\\" + RunKey + L": Pinvora = \"" + DefaultDir + L"Pinvora.exe\"\r\n",
         L"  Registry HKCU\\" + UninstallKey + L": DisplayName = Tessamo\r\n",
         L"  Progress 9: ",
         L"  Clean-up: the unpacked files are removed\r\n",
         L"  Progress 5: 恭喜你，软件成功安装，可以开始体验人性化的便签软件了！\r\n",
         L"  Result: installed\r\n",
         L"  Exit code: 0\r\n"});
}

TEST(QuietInstall, AnEarlierInstallationElsewhereIsNotMigrated)
{
    const std::wstring earlier = L"C:\\Old\\Tessamo\\";
    CreateFolders(earlier + L"backup\\");
    ASSERT_TRUE(::CopyFileW(L"C:\\bin\\Pinvora.exe", (earlier + L"Pinvora.exe").c_str(), FALSE));
    WriteBytesFile(earlier + L"data.dat", "old data");
    WriteBytesFile(earlier + L"backup\\b.dat", "backup");
    SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", earlier);

    const std::wstring target = L"D:\\New\\Tessamo\\";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\setup.log /D=" + target));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 0u);
    ExpectInstalledIn(target);
    EXPECT_NE(ReadBytesFile(target + L"data.dat"), "old data") << "the package's data file";
    EXPECT_FALSE(FileExists(target + L"backup\\b.dat"));
    EXPECT_EQ(ReadBytesFile(earlier + L"data.dat"), "old data");
    ExpectLogHolds(ReadLog(L"C:\\dl\\setup.log"),
                   {L"Earlier installation: " + earlier,
                    L"Proposed folder: " + earlier + L" (from the Location value under HKCU\\SOFTWARE\\Kelbrin)",
                    L"Folder asked for with /D=: " + target,
                    L"Message box \"数据迁移\": 检测到您之前已经安装了Tessamo且此次安装更换了安装目录，是否需要进行数据迁移？ [是/否]",
                    L"Answer: 否", L"Result: installed"});
}

TEST(QuietInstall, ALogThatCannotGoWhereAskedGoesToTheTemporaryFolderAndSaysWhy)
{
    CreateFolders(L"C:\\dl\\");
    ASSERT_TRUE(WriteBytesFile(L"C:\\dl\\notes.txt", "the user's notes"));
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\notes.txt"));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 0u);
    ExpectInstalledIn(DefaultDir);
    EXPECT_EQ(ReadBytesFile(L"C:\\dl\\notes.txt"), "the user's notes") << "not a log of ours: never replaced";
    wchar_t temp[MAX_PATH] = {};
    ::GetTempPathW(MAX_PATH, temp);
    ExpectLogHolds(ReadLog(std::wstring(temp) + L"TessamoSetup.log"),
                   {L"  Tessamo Setup: the log C:\\dl\\notes.txt cannot be written: it is not a log of Tessamo Setup",
                    L"\r\n", L"  Tessamo Setup 9.3.6.0\r\n", L"  Exit code: 0\r\n"});
}

TEST(QuietInstall, ALogInAFolderThatDoesNotExistYetIsWritten)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\missing\\folder\\setup.log"));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 0u);
    ExpectLogHolds(ReadLog(L"C:\\missing\\folder\\setup.log"), {L"Mode: quiet", L"Exit code: 0"});
}

// As PowerShell, Python's subprocess and deployment tools pass arguments with a space.
TEST(QuietInstall, SwitchesQuotedWholeAsScriptsPassThemAreUnderstood)
{
    const std::wstring target = L"D:\\My Apps\\Tessamo\\";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet \"/log=C:\\my logs\\setup.log\" \"/D=D:\\My Apps\\Tessamo\""));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 0u);
    ExpectInstalledIn(target);
    ExpectLogHolds(ReadLog(L"C:\\my logs\\setup.log"), {L"Folder asked for with /D=: D:\\My Apps\\Tessamo\r\n",
                                                          L"Install folder " + target + L": created", L"Exit code: 0"});

    SetupDriver asAnAdministratorTypesIt;
    ASSERT_TRUE(asAnAdministratorTypesIt.Start(L"/quiet /log=C:\\dl\\setup.log \"/D=D:\\My Apps\\Tessamo\""));
    EXPECT_EQ(asAnAdministratorTypesIt.WatchUntilExit().exitCode, 0u);
    ExpectLogHolds(ReadLog(L"C:\\dl\\setup.log"), {L"Install folder " + target + L": already there", L"Exit code: 0"});
}

// The unattended modes: nobody would see the folder that the window proposes instead.
struct MisplacedSwitchCase {
    const char* name;
    const wchar_t* arguments;
    const wchar_t* misplaced;
};

class MisplacedSwitch : public testing::TestWithParam<MisplacedSwitchCase> {};

TEST_P(MisplacedSwitch, AfterTheFolderIsRefusedWithCode2AndTheLogSaysWhy)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(GetParam().arguments));
    EXPECT_EQ(setup.WatchUntilExit(60000).exitCode, 2u);
    ExpectNothingInstalled(DefaultDir);
    EXPECT_FALSE(FileExists(L"E:\\Apps"));
    ExpectLogHolds(ReadLog(L"C:\\dl\\setup.log"),
                   {L"The folder of /D= holds the switch " + std::wstring(GetParam().misplaced) +
                        L": /D= must come last on the command line",
                    L"Result: the install folder is not valid", L"Exit code: 2"});
}

INSTANTIATE_TEST_SUITE_P(QuietInstall, MisplacedSwitch,
                         testing::Values(MisplacedSwitchCase{"Quiet", L"/log=C:\\dl\\setup.log /D=E:\\Apps /quiet", L"/quiet"},
                                         MisplacedSwitchCase{"Passive", L"/passive /log=C:\\dl\\setup.log /D=E:\\Apps /s",
                                                             L"/s"}),
                         [](const auto& info) { return std::string(info.param.name); });

// Each way an installation can fail, set up on the real file system.
struct FailureCase {
    const char* name;
    void (*arrange)();
    std::wstring arguments;
    DWORD exitCode;
    std::wstring logged;
};

void PrintTo(const FailureCase& c, std::ostream* out)
{
    *out << c.name;
}

class QuietExitCodes : public testing::TestWithParam<FailureCase> {};

TEST_P(QuietExitCodes, SayWhatFailed)
{
    GetParam().arrange();
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\setup.log " + GetParam().arguments));
    const SetupDriver::Watched watched = setup.WatchUntilExit();
    EXPECT_EQ(watched.exitCode, GetParam().exitCode);
    EXPECT_EQ(watched.windowsSeen, 0u);
    ExpectLogHolds(ReadLog(L"C:\\dl\\setup.log"),
                   {GetParam().logged, L"Exit code: " + std::to_wstring(GetParam().exitCode) + L"\r\n"});
}

INSTANTIATE_TEST_SUITE_P(
    Failures, QuietExitCodes,
    testing::Values(
        FailureCase{"FileWhereTempShouldBe",
                    [] {
                        CreateFolders(L"C:\\dl\\");
                        WriteBytesFile(L"C:\\dl\\temp", "a file");
                    },
                    L"", 5,
                    L"解压资源失败"},
        FailureCase{"DriveThatDoesNotExist", [] {}, L"/D=Q:\\Apps\\Tessamo", 6, L"创建文件夹\"Q:\\Apps\"失败！"},
        FailureCase{"ProgramCannotBeCopied", [] { CreateFolders(DefaultDir + L"Pinvora.exe\\"); }, L"", 7,
                    L"拷贝文件“Pinvora.exe”失败！"},
        FailureCase{"ManualCannotBeCopied", [] { CreateFolders(DefaultDir + L"使用说明.txt\\"); }, L"", 8,
                    L"Result: installed, but some parts failed"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

} // namespace
