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

uint64_t Fnv1a(const std::string& bytes)
{
    uint64_t value = 0xCBF29CE484222325ull;
    for (unsigned char byte : bytes)
        value = (value ^ byte) * 0x100000001B3ull;
    return value;
}

void ListFiles(const std::wstring& root, const std::wstring& relative, std::vector<std::wstring>& out)
{
    WIN32_FIND_DATAW entry;
    HANDLE find = ::FindFirstFileW((root + relative + L"*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE)
        return;
    do {
        const std::wstring name = entry.cFileName;
        if (name == L"." || name == L"..")
            continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(root, relative + name + L"\\", out);
        } else {
            const std::string bytes = ReadBytesFile(root + relative + name);
            out.push_back(L"file " + relative + name + L" " + std::to_wstring(bytes.size()) + L" " +
                          std::to_wstring(Fnv1a(bytes)));
        }
    } while (::FindNextFileW(find, &entry));
    ::FindClose(find);
}

std::wstring ReplaceAll(std::wstring text, const std::wstring& from, const std::wstring& to)
{
    for (size_t at = text.find(from); at != std::wstring::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
    return text;
}

// What an installation in `dir` put on the machine, with `dir` written as "<dir>\": its
// files with size and hash, its registry values and its shortcuts' targets.
std::vector<std::wstring> Snapshot(const std::wstring& dir)
{
    std::vector<std::wstring> items;
    ListFiles(dir, L"", items);
    items.push_back(L"Run Pinvora = " + RegistryString(HKEY_CURRENT_USER, RunKey, L"Pinvora"));
    for (const wchar_t* value : {L"DisplayIcon", L"DisplayName", L"Publisher", L"UninstallString", L"DisplayVersion"})
        items.push_back(std::wstring(L"Uninstall ") + value + L" = " +
                        RegistryString(HKEY_CURRENT_USER, UninstallKey, value));
    const std::wstring menu = SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\";
    for (const std::wstring& link : {SpecialFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessamo.lnk", menu + L"Tessamo.lnk",
                                     menu + L"使用说明.txt.lnk", menu + L"卸载Tessamo.lnk"})
        items.push_back(L"Shortcut " + link + L" -> " + ShortcutTarget(link));
    for (std::wstring& item : items)
        item = ReplaceAll(item, dir, L"<dir>\\");
    return items;
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
    for (const wchar_t* folder : {L"Apps", L"E:\\", L"", L"D:\\a|b\\Tessamo", L"\\\\server\\share\\Tessamo"}) {
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

TEST(QuietInstall, ALogThatCannotBeWrittenDoesNotStopTheInstallation)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\missing\\folder\\setup.log"));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 0u);
    ExpectInstalledIn(DefaultDir);
    EXPECT_FALSE(FileExists(L"C:\\missing"));
}

} // namespace
