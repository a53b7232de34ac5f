// The real installer in a fresh prefix, driven from outside like a user would.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <thread>

#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

constexpr int MainButton = 100, ChangeDirButton = 101, StartButton = 1, PathField = 0;

// An earlier installation made by hand: the package's program and a data file.
void PlaceEarlierInstallation(const std::wstring& dir, const std::string& data)
{
    CreateFolders(dir);
    ::CopyFileW(L"C:\\bin\\Pinvora.exe", (dir + L"Pinvora.exe").c_str(), FALSE);
    WriteBytesFile(dir + L"data.dat", data);
}

HWND WaitForApplicationWindow(DWORD milliseconds = 20000)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = ::FindWindowW(nullptr, L"Pinvora")) != nullptr; }, milliseconds);
    return found;
}

struct WideButtonCount {
    int minimumWidth;
    int found;
};

BOOL CALLBACK CountWideButton(HWND child, LPARAM lParam)
{
    auto* count = reinterpret_cast<WideButtonCount*>(lParam);
    RECT rect;
    ::GetWindowRect(child, &rect);
    if (::IsWindowVisible(child) && rect.right - rect.left > count->minimumWidth)
        ++count->found;
    return TRUE;
}

// Picture buttons of a message box; the caption's close button is narrower.
int CountButtonsWider(HWND box, int minimumWidth)
{
    WideButtonCount count{minimumWidth, 0};
    ::EnumChildWindows(box, &CountWideButton, reinterpret_cast<LPARAM>(&count));
    return count.found;
}

const char* const OldReminderData =
    "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<config ver=\"1.5\"><notes><note>"
    "<remind time=\"1700000000\" type=\"1\" info=\"note\"><![CDATA[买菜]]></remind></note></notes></config>";

TEST(Installer, FreshInstallationWithDefaultsThenStartsTheApplication)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    EXPECT_EQ(setup.Title(), L"安装Tessamo");
    EXPECT_EQ(setup.PathFieldText(), DefaultDir);
    EXPECT_TRUE(setup.IsVisible(ChangeDirButton));
    setup.SaveScreenshot(setup.main, L"ready-fresh");
    EXPECT_EQ(setup.PixelAt(setup.main, 300, 20), 0xFFBA00u) << "caption colour on screen";
    EXPECT_EQ(setup.PixelAt(setup.main, 12, 404), 0xF0F0F0u) << "body";
    EXPECT_EQ(setup.PixelAt(setup.main, 86, 340), 0xDDDDDDu) << "path box border";
    EXPECT_NE(setup.PixelAt(setup.main, 8 + 250, 38 + 135), 0xF0F0F0u) << "the banner below the caption";

    setup.Click(MainButton);
    PumpUntil([&] { return !setup.IsVisible(PathField); });
    setup.SaveScreenshot(setup.main, L"installing");
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton)) << "the success state never came";
    EXPECT_FALSE(setup.IsVisible(PathField));
    setup.SaveScreenshot(setup.main, L"succeeded");
    ExpectInstalledIn(DefaultDir);
    EXPECT_EQ(RegistryString(HKEY_CURRENT_USER, RunKey, L"Pinvora"), L"\"" + DefaultDir + L"Pinvora.exe\"");

    setup.Click(StartButton);
    EXPECT_EQ(setup.WaitForExit(), 0u);
    HWND application = WaitForApplicationWindow();
    ASSERT_TRUE(application) << "开始体验 starts the installed application";
    ::PostMessageW(application, WM_CLOSE, 0, 0);
}

TEST(Installer, AutomaticModeInstallsStartsTheApplicationAndCloses)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/s"));
    EXPECT_EQ(setup.WaitForExit(120000), 0u);
    ExpectInstalledIn(DefaultDir);
    HWND application = WaitForApplicationWindow();
    ASSERT_TRUE(application);
    ::PostMessageW(application, WM_CLOSE, 0, 0);
}

TEST(Installer, TheFolderFromTheCommandLineIsProposedInThePathField)
{
    const std::wstring folder = L"C:\\My Apps\\Tessamo";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/D=" + folder));
    ASSERT_TRUE(setup.WaitForMainWindow());
    EXPECT_EQ(setup.Title(), L"安装Tessamo");
    EXPECT_EQ(setup.PathFieldText(), folder);
    setup.Click(MainButton);
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton));
    ExpectInstalledIn(folder + L"\\");
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

// The window the automatic mode always showed, the application it starts, exit code 0;
// the folder and the log come from the new switches.
TEST(Installer, AutomaticModeWithAFolderAndALogStillShowsTheWindowAndStartsTheApplication)
{
    const std::wstring folder = L"C:\\My Apps\\Tessamo\\";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/s /log=C:\\dl\\auto.log /D=" + folder));
    const SetupDriver::Watched watched = setup.WatchUntilExit();
    EXPECT_EQ(watched.exitCode, 0u);
    EXPECT_GT(watched.windowsSeen, 0u) << "the setup window was there";
    ExpectInstalledIn(folder);
    HWND application = WaitForApplicationWindow();
    ASSERT_TRUE(application) << "the installed application is started";
    ::PostMessageW(application, WM_CLOSE, 0, 0);
    ExpectLogHolds(ReadLog(L"C:\\dl\\auto.log"),
                   {L"Mode: window, automatic (/s)", L"Folder asked for with /D=: " + folder,
                    L"Install folder: " + folder + L", autostart on", L"Result: installed", L"Exit code: 0"});
}

TEST(Installer, AutomaticModeUpgradesAnEarlierInstallationFoundByLocation)
{
    const std::wstring earlier = L"C:\\Tools\\Tessamo\\";
    PlaceEarlierInstallation(earlier, OldReminderData);
    SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", earlier);
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/s"));
    EXPECT_EQ(setup.WaitForExit(120000), 0u);
    ExpectInstalledIn(earlier);
    EXPECT_EQ(ReadBytesFile(earlier + L"data.dat"), OldReminderData) << "an existing data file is kept";
    EXPECT_TRUE(FileExists(earlier + L"timer.dat")) << "its reminders are converted";
    if (HWND application = WaitForApplicationWindow())
        ::PostMessageW(application, WM_CLOSE, 0, 0);
}

TEST(Installer, UpgradeModeWithoutAnEarlierInstallationLooksLikeAFreshOne)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"update=true"));
    ASSERT_TRUE(setup.WaitForMainWindow());
    EXPECT_EQ(setup.Title(), L"安装Tessamo");
    EXPECT_TRUE(setup.IsVisible(PathField));
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST(Installer, UpgradeModeWithAnEarlierInstallationShowsOnlyTheWideMainButton)
{
    const std::wstring earlier = L"C:\\Tools\\Tessamo\\";
    PlaceEarlierInstallation(earlier, OldReminderData);
    SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", earlier);
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"update=true"));
    ASSERT_TRUE(setup.WaitForMainWindow());
    EXPECT_EQ(setup.Title(), L"Tessamo软件升级");
    EXPECT_FALSE(setup.IsVisible(PathField));
    EXPECT_FALSE(setup.IsVisible(ChangeDirButton));
    RECT button;
    ::GetWindowRect(setup.Control(MainButton), &button);
    ::MapWindowPoints(nullptr, setup.main, reinterpret_cast<POINT*>(&button), 2);
    EXPECT_EQ(button.left, 8 + 100);
    EXPECT_EQ(button.right, 508 - 100);
    EXPECT_EQ(button.bottom - button.top, 40);
    setup.SaveScreenshot(setup.main, L"ready-upgrade");

    setup.Click(MainButton);
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton));
    ExpectInstalledIn(earlier);
    EXPECT_EQ(ReadBytesFile(earlier + L"data.dat"), OldReminderData);
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

struct CandidateCase {
    const char* name;
    std::function<void()> arrange;
    std::wstring proposed;
};

TEST(Installer, EarlierInstallationsAreFoundThroughEachCandidate)
{
    const std::wstring earlier = L"C:\\Apps\\Tessamo\\";
    const CandidateCase cases[] = {
        {"autostart value",
         [&] { SetRegistryString(HKEY_CURRENT_USER, RunKey, L"Pinvora", L"\"" + earlier + L"Pinvora.exe\""); },
         earlier},
        {"location without backslash",
         [&] { SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", L"C:\\Apps\\Tessamo"); },
         L"C:\\Apps\\"},
        {"program files", [] { CreateFolders(L"C:\\Program Files\\Tessamo\\"); }, L"C:\\Program Files\\Tessamo\\"},
        {"a location that no longer exists",
         [] { SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", L"C:\\Gone\\Tessamo\\"); },
         L"C:\\Gone\\Tessamo\\"},
    };
    CreateFolders(earlier);
    for (const CandidateCase& candidate : cases) {
        SCOPED_TRACE(candidate.name);
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, RunKey.c_str(), L"Pinvora");
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, KelbrinKey.c_str(), L"Location");
        ::RemoveDirectoryW(L"C:\\Program Files\\Tessamo");
        candidate.arrange();
        SetupDriver setup;
        ASSERT_TRUE(setup.Start(L"update=true"));
        ASSERT_TRUE(setup.WaitForMainWindow());
        EXPECT_EQ(setup.PathFieldText(), candidate.proposed);
        const bool exists = FileExists(candidate.proposed);
        EXPECT_EQ(setup.Title(), exists ? L"Tessamo软件升级" : L"安装Tessamo")
            << "upgrade mode survives only for an existing folder";
        ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
        EXPECT_EQ(setup.WaitForExit(), 0u);
    }
}

TEST(Installer, TheRunningApplicationsSharedPathIsProposedAndTheApplicationIsClosed)
{
    const std::wstring earlier = L"C:\\Apps\\Tessamo\\";
    PlaceEarlierInstallation(earlier, OldReminderData);
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION application{};
    std::wstring commandLine = L"\"" + earlier + L"Pinvora.exe\"";
    ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 earlier.c_str(), &startup, &application));
    ASSERT_TRUE(WaitForApplicationWindow());

    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    EXPECT_EQ(setup.PathFieldText(), earlier);
    setup.Click(MainButton);
    EXPECT_EQ(::WaitForSingleObject(application.hProcess, 20000), WAIT_OBJECT_0) << "asked to close";
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton));
    ExpectInstalledIn(earlier);
    ::CloseHandle(application.hProcess);
    ::CloseHandle(application.hThread);
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

class Migration : public testing::TestWithParam<int> {};

TEST_P(Migration, FromAnotherFolderFollowsTheAnswer)
{
    const bool migrate = GetParam() == 1;
    const std::wstring earlier = L"C:\\Old\\Tessamo\\";
    PlaceEarlierInstallation(earlier, "old data");
    CreateFolders(earlier + L"backup\\");
    WriteBytesFile(earlier + L"backup\\b.dat", "backup");
    SetRegistryString(HKEY_CURRENT_USER, KelbrinKey, L"Location", earlier);

    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.TypePath(L"D:\\New\\Tessamo\\");
    setup.Click(MainButton);
    HWND question = setup.WaitForMessageBox();
    ASSERT_TRUE(question);
    wchar_t title[32] = {};
    ::GetWindowTextW(question, title, 32);
    EXPECT_STREQ(title, L"数据迁移");
    setup.SaveScreenshot(question, L"message-box-two-buttons");
    EXPECT_EQ(CountButtonsWider(question, 50), 2);
    setup.Answer(question, migrate ? 1 : 2);
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton));

    const std::wstring target = L"D:\\New\\Tessamo\\";
    ExpectInstalledIn(target);
    EXPECT_EQ(FileExists(target + L"backup\\b.dat"), migrate);
    EXPECT_EQ(ReadBytesFile(target + L"data.dat") == "old data", migrate);
    EXPECT_EQ(ReadBytesFile(earlier + L"data.dat"), "old data") << "the old folder is left alone";
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Answers, Migration, testing::Values(1, 2),
                         [](const testing::TestParamInfo<int>& info) { return info.param == 1 ? "Yes" : "No"; });

TEST(Installer, ARunningApplicationAsksToRetryOrCancel)
{
    HANDLE live = ::CreateEventW(nullptr, TRUE, FALSE, L"Global\\PinvoraLiveEvent");
    ASSERT_TRUE(live);
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());

    setup.Click(MainButton);
    HWND box = setup.WaitForMessageBox();
    ASSERT_TRUE(box);
    wchar_t title[32] = {};
    ::GetWindowTextW(box, title, 32);
    EXPECT_STREQ(title, L"程序正在运行");
    setup.Answer(box, 2);
    EXPECT_TRUE(setup.IsVisible(PathField)) << "取消 leaves the window as it was";
    EXPECT_FALSE(FileExists(DefaultDir));

    setup.Click(MainButton);
    box = setup.WaitForMessageBox();
    ASSERT_TRUE(box);
    ::CloseHandle(live);
    setup.Answer(box, 1);
    ASSERT_TRUE(setup.WaitUntilVisible(StartButton)) << "重试 after the application ended installs";
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

TEST(Installer, AHungApplicationDoesNotHangTheInstaller)
{
    HANDLE live = ::CreateEventW(nullptr, TRUE, FALSE, L"Global\\PinvoraLiveEvent");
    HANDLE release = ::CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::thread hung([release] {
        HWND window = ::CreateWindowExW(0, L"STATIC", L"Pinvora", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                        nullptr, nullptr);
        ::WaitForSingleObject(release, INFINITE); // never pumps its messages
        ::DestroyWindow(window);
    });
    PumpUntil([] { return ::FindWindowW(nullptr, L"Pinvora") != nullptr; });

    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.Click(MainButton);
    bool seenHung = false;
    HWND box = nullptr;
    PumpUntil(
        [&] {
            seenHung = seenHung || ::IsHungAppWindow(setup.main);
            box = setup.WaitForMessageBox(0);
            return box != nullptr;
        },
        30000);
    EXPECT_TRUE(box) << "the retry box appears although the window never answers";
    EXPECT_FALSE(seenHung) << "the setup window is never taken for a hung one while it waits";
    DWORD_PTR answer = 0;
    EXPECT_TRUE(::SendMessageTimeoutW(setup.main, WM_NULL, 0, 0, SMTO_NORMAL, 5000, &answer))
        << "the setup window stays responsive";
    if (box)
        setup.Answer(box, 2);
    ::SetEvent(release);
    hung.join();
    ::CloseHandle(release);
    ::CloseHandle(live);
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

class RejectedPath : public testing::TestWithParam<const wchar_t*> {};

TEST_P(RejectedPath, ShowsTheBoxAndBringsTheControlsBack)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.TypePath(GetParam());
    setup.Click(MainButton);
    HWND box = setup.WaitForMessageBox();
    ASSERT_TRUE(box);
    setup.SaveScreenshot(box, L"message-box-one-button");
    EXPECT_EQ(CountButtonsWider(box, 50), 1) << "one button";
    setup.Answer(box, 1);
    EXPECT_TRUE(setup.WaitUntilVisible(PathField, 10000));
    EXPECT_TRUE(setup.IsVisible(MainButton));
    EXPECT_TRUE(setup.IsVisible(ChangeDirButton));
    EXPECT_FALSE(setup.IsVisible(StartButton));
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(Paths, RejectedPath,
                         testing::Values(L"E:", L"E:\\", L"Apps", L"\\\\server\\share\\x", L"D:\\a|b\\Tessamo\\"));

// A failed installation shows a box, ends in the failed state, keeps what the user had.
void ExpectFailedState(SetupDriver& setup)
{
    HWND box = setup.WaitForMessageBox(60000);
    ASSERT_TRUE(box) << "the failure is shown";
    setup.Answer(box, 1);
    PumpMessages(500);
    EXPECT_FALSE(setup.IsVisible(PathField));
    EXPECT_FALSE(setup.IsVisible(MainButton));
    EXPECT_FALSE(setup.IsVisible(StartButton));
    EXPECT_EQ(setup.PixelsDifferingFromStatusLine(L"安装失败！"), 0u) << "the failed line";
    EXPECT_GT(setup.PixelsDifferingFromStatusLine(L"安装进行中，正在拷贝文件到安装目录..."), 0u)
        << "not a stuck one";
    setup.SaveScreenshot(setup.main, L"failed");
    ::PostMessageW(setup.main, WM_COMMAND, 2, 0);
    EXPECT_EQ(setup.WaitForExit(), 0u);
}

struct ResourceCopy {
    HMODULE source;
    HANDLE update;
};

BOOL CALLBACK CopyResourceUnlessPackage(HMODULE module, LPCWSTR type, LPCWSTR name, WORD language, LONG_PTR copy)
{
    if (!IS_INTRESOURCE(type) && std::wstring(type) == L"PKG")
        return TRUE;
    auto* target = reinterpret_cast<ResourceCopy*>(copy);
    HRSRC found = ::FindResourceExW(module, type, name, language);
    void* data = ::LockResource(::LoadResource(module, found));
    ::UpdateResourceW(target->update, type, name, language, data, ::SizeofResource(module, found));
    return TRUE;
}

BOOL CALLBACK CopyNames(HMODULE module, LPCWSTR type, LPWSTR name, LONG_PTR copy)
{
    return ::EnumResourceLanguagesW(module, type, name, &CopyResourceUnlessPackage, copy) || TRUE;
}

BOOL CALLBACK CopyTypes(HMODULE module, LPWSTR type, LONG_PTR copy)
{
    return ::EnumResourceNamesW(module, type, &CopyNames, copy) || TRUE;
}

// A copy of the installer with every resource but the setup package.
std::wstring InstallerWithoutPackage()
{
    const std::wstring copy = L"C:\\bin\\TessamoSetupNoPackage.exe";
    ::CopyFileW(L"C:\\bin\\TessamoSetup.exe", copy.c_str(), FALSE);
    ResourceCopy target{::LoadLibraryExW(L"C:\\bin\\TessamoSetup.exe", nullptr, LOAD_LIBRARY_AS_DATAFILE),
                        ::BeginUpdateResourceW(copy.c_str(), TRUE)};
    ::EnumResourceTypesW(target.source, &CopyTypes, reinterpret_cast<LONG_PTR>(&target));
    ::EndUpdateResourceW(target.update, FALSE);
    ::FreeLibrary(target.source);
    return copy;
}

TEST(InstallerFailure, MissingPackage)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"", L"C:\\dl\\", InstallerWithoutPackage()));
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.Click(MainButton);
    ExpectFailedState(setup);
    EXPECT_FALSE(FileExists(DefaultDir + L"Pinvora.exe"));
}

TEST(InstallerFailure, CorruptPackage)
{
    const std::string corrupt = "<#_this_is_tag_#>name:\\..\\evil.txt length:4</#_this_is_tag_#>evil";
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"", L"C:\\dl\\", InstallerWithPackage(corrupt, CrcOf(corrupt))));
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.Click(MainButton);
    ExpectFailedState(setup);
    EXPECT_FALSE(FileExists(L"C:\\dl\\evil.txt"));
}

TEST(InstallerFailure, DamagedPackageIsRefusedWithItsBoxBeforeAnythingIsWritten)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/log=C:\\dl\\damaged.log", L"C:\\dl\\",
                            InstallerWithPackage(PackageWithOneByteChanged(), std::nullopt)));
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.Click(MainButton);
    ExpectFailedState(setup);
    EXPECT_FALSE(FileExists(L"C:\\dl\\temp")) << "nothing unpacked";
    EXPECT_FALSE(FileExists(DefaultDir)) << "no install folder";
    ExpectLogHolds(ReadLog(L"C:\\dl\\damaged.log"),
                   {L"Mode: window", L"differs from the recorded ",
                    L"Message box: 安装包已损坏，请重新下载安装程序 [确定]", L"Result: the setup package is damaged",
                    L"Exit code: 0"});
}

TEST(InstallerFailure, LockedProgramKeepsTheUsersData)
{
    const std::wstring dir = DefaultDir;
    PlaceEarlierInstallation(dir, "user data");
    HANDLE locked = ::CreateFileW((dir + L"Pinvora.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                  nullptr);
    ASSERT_NE(locked, INVALID_HANDLE_VALUE);
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    setup.Click(MainButton);
    ExpectFailedState(setup);
    ::CloseHandle(locked);
    EXPECT_EQ(ReadBytesFile(dir + L"data.dat"), "user data");
}

TEST(InstallerFailure, InstallFolderThatCannotBeCreated)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start());
    ASSERT_TRUE(setup.WaitForMainWindow());
    WriteBytesFile(L"D:\\blocked", "a file where a folder should be");
    setup.TypePath(L"D:\\blocked\\Tessamo\\");
    setup.Click(MainButton);
    ExpectFailedState(setup);
}

} // namespace
