// Installations that fail or are stopped from outside, over an earlier installation of
// another version: afterwards everything is as it was before. Each case in a fresh prefix.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SetupDriver.h"
#include "TestSupport.h"

namespace {

const std::wstring SmallDrive = L"T:\\";
const std::string OldData = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<config ver=\"1.5\"><notes><note>"
                            "<remind time=\"100\" type=\"1\" info=\"x\"><![CDATA[开会]]></remind></note></notes></config>";
const std::string UserTemplates = "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config><templates>"
                                  "<template id=\"mine\" image=\"res\\mine.png\"><![CDATA[我的]]></template>"
                                  "</templates></config>";

// The earlier installation: the real one, then made older, with the user's own data.
void InstallEarlierVersion(const std::wstring& dir)
{
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /D=" + dir));
    ASSERT_EQ(setup.WatchUntilExit().exitCode, 0u);
    CreateFolders(dir + L"backup\\");
    CreateFolders(dir + L"image\\");
    const std::wstring userList = SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo\\template-utf8.xml";
    for (const auto& [path, bytes] : std::vector<std::pair<std::wstring, std::string>>{
             {dir + L"Pinvora.exe", "Pinvora 1.5"},
             {dir + L"使用说明.txt", "manual 1.5"},
             {dir + L"res\\2020414132329879.png", "picture 1.5"},
             {dir + L"sound\\sound6.mid", "sound 1.5"},
             {dir + L"data.dat", OldData},
             {dir + L"backup\\b1.dat", "backup"},
             {dir + L"image\\i1.png", "image"},
             {userList, UserTemplates}})
        ASSERT_TRUE(WriteBytesFile(path, bytes)) << ToUtf8(path);
    ASSERT_TRUE(SetRegistryString(HKEY_CURRENT_USER, UninstallKey, L"DisplayVersion", L"1.5.0.0"));
    ASSERT_TRUE(SetRegistryString(HKEY_LOCAL_MACHINE, RunKey, L"Pinvora", L"\"C:\\Old\\Pinvora.exe\""));
}

// The real package with `count` more pictures of `size` bytes each.
std::wstring InstallerWithPictures(size_t count, size_t size)
{
    std::string package = SetupPackageOf(L"C:\\bin\\TessamoSetup.exe");
    for (size_t i = 0; i < count; ++i)
        package += PackageEntry("\\res\\extra-" + std::to_string(i) + ".png", std::string(size, char('a' + i % 26)));
    return InstallerWithPackage(package, CrcOf(package));
}

TEST(Transaction, ADiskThatFillsUpHalfWayLeavesTheEarlierInstallationAsItWas)
{
    if (::GetDriveTypeW(SmallDrive.c_str()) == DRIVE_NO_ROOT_DIR)
        GTEST_SKIP() << "no small drive T:: the test run could not mount a size-limited tmpfs (it needs root)";
    const std::wstring dir = SmallDrive + L"Tessamo\\";
    InstallEarlierVersion(dir);
    const std::vector<std::wstring> before = Snapshot(dir);

    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\full.log /D=" + dir, L"C:\\dl\\", InstallerWithPictures(20, 1 << 20)));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 9u);
    EXPECT_EQ(Snapshot(dir), before);
    ExpectLogHolds(ReadLog(L"C:\\dl\\full.log"),
                   {L"Disk full: " + dir + L"res\\extra-", L"Undo: restored " + dir + L"Pinvora.exe",
                    L"Undo: everything is as it was before the installation", L"Result: not enough disk space",
                    L"Exit code: 9"});
}

TEST(Transaction, AFreshInstallationThatFailsLeavesNoFolder)
{
    const std::vector<std::wstring> before = Snapshot(L"D:\\New\\Tessamo\\");
    std::string package = PackageWithout(SetupPackageOf(L"C:\\bin\\TessamoSetup.exe"), "\\Pinvora.exe");
    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /D=D:\\New\\Tessamo", L"C:\\dl\\", InstallerWithPackage(package, CrcOf(package))));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, 7u);
    EXPECT_FALSE(FileExists(L"D:\\New"));
    EXPECT_EQ(Snapshot(L"D:\\New\\Tessamo\\"), before);
}

// A file the installation cannot rename, because a program holds it open without sharing.
struct HeldFile {
    const char* what;
    const wchar_t* file;
    DWORD exitCode;
    bool undone;
};

class HeldFiles : public testing::TestWithParam<HeldFile> {};

TEST_P(HeldFiles, StopAndUndoTheInstallationOnlyWhenTheFileIsNeeded)
{
    const HeldFile& held = GetParam();
    InstallEarlierVersion(DefaultDir);
    const std::vector<std::wstring> before = Snapshot(DefaultDir);
    const std::string heldBytes = ReadBytesFile(DefaultDir + held.file);
    HANDLE open = ::CreateFileW((DefaultDir + held.file).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(open, INVALID_HANDLE_VALUE);

    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet"));
    EXPECT_EQ(setup.WatchUntilExit().exitCode, held.exitCode);
    ::CloseHandle(open);
    EXPECT_EQ(ReadBytesFile(DefaultDir + held.file), heldBytes);
    if (held.undone) {
        EXPECT_EQ(Snapshot(DefaultDir), before);
    } else {
        EXPECT_NE(RegistryString(HKEY_CURRENT_USER, UninstallKey, L"DisplayVersion"), L"1.5.0.0");
        EXPECT_NE(ReadBytesFile(DefaultDir + L"Pinvora.exe"), "Pinvora 1.5");
        for (const std::wstring& item : Snapshot(DefaultDir))
            EXPECT_EQ(item.find(L".setup-"), std::wstring::npos) << "nothing kept aside is left: " << ToUtf8(item);
    }
}

INSTANTIATE_TEST_SUITE_P(Transaction, HeldFiles,
                         testing::Values(HeldFile{"the program", L"Pinvora.exe", 7, true},
                                         HeldFile{"the last sound, whose failure /quiet reports as code 8", L"sound\\sound6.mid", 8,
                                                  false}));

// Where the installer is stopped from outside: at the first log line that starts so.
struct KillPoint {
    const char* what;
    const wchar_t* logLine;
    bool journalStarted;
    bool thenUninstaller;
};

class KilledInstallations : public testing::TestWithParam<KillPoint> {};

void KillAt(SetupDriver& setup, const std::wstring& log, const std::wstring& line)
{
    const bool reached = PumpUntil([&] { return ReadLog(log).find(L"  " + line) != std::wstring::npos; }, 120000);
    ::TerminateProcess(setup.process.hProcess, 1);
    ::WaitForSingleObject(setup.process.hProcess, 20000);
    ASSERT_TRUE(reached) << "the log never showed " << ToUtf8(line);
    ASSERT_EQ(ReadLog(log).find(L"Result:"), std::wstring::npos) << "killed before the installation ended";
}

// The uninstaller's first question: the undo has run before it is asked.
HWND UninstallerQuestion()
{
    HWND box = nullptr;
    PumpUntil([&] { return (box = ::FindWindowW(L"#32770", L"卸载Tessamo")) != nullptr; }, 60000);
    return box;
}

TEST_P(KilledInstallations, AreUndoneByTheNextStartAndTheUserDataIsByteForByteAsBefore)
{
    const KillPoint& point = GetParam();
    InstallEarlierVersion(DefaultDir);
    const std::vector<std::wstring> before = Snapshot(DefaultDir);

    SetupDriver setup;
    ASSERT_TRUE(setup.Start(L"/quiet /log=C:\\dl\\killed.log", L"C:\\dl\\", InstallerWithPictures(181, 64 << 10)));
    KillAt(setup, L"C:\\dl\\killed.log", point.logLine);

    if (point.thenUninstaller) {
        STARTUPINFOW startup{sizeof startup};
        PROCESS_INFORMATION uninstaller{};
        std::wstring commandLine = L"\"" + DefaultDir + L"卸载Tessamo.exe\"";
        ASSERT_TRUE(::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                     &startup, &uninstaller));
        ::CloseHandle(uninstaller.hProcess);
        ::CloseHandle(uninstaller.hThread);
        HWND question = UninstallerQuestion();
        ASSERT_TRUE(question) << "the uninstaller asks once the undo is done";
        EXPECT_EQ(Snapshot(DefaultDir), before);
        ::PostMessageW(question, WM_COMMAND, IDNO, 0);
        PumpUntil([] { return !::FindWindowW(L"#32770", L"卸载Tessamo"); }, 20000);
        return;
    }
    SetupDriver again;
    ASSERT_TRUE(again.Start(L"/log=C:\\dl\\again.log"));
    ASSERT_TRUE(again.WaitForMainWindow());
    EXPECT_EQ(Snapshot(DefaultDir), before);
    if (point.journalStarted)
        ExpectLogHolds(ReadLog(L"C:\\dl\\again.log"),
                       {L"An earlier installation was interrupted", L"Undo: restored " + DefaultDir + L"Pinvora.exe",
                        L"Undo: everything is as it was before the installation"});
    ::PostMessageW(again.main, WM_CLOSE, 0, 0);
    EXPECT_EQ(again.WaitForExit(), 0u);
}

INSTANTIATE_TEST_SUITE_P(
    Transaction, KilledInstallations,
    testing::Values(KillPoint{"after extraction", L"Unpacked ", false, false},
                    KillPoint{"in the middle of copying", L"Data file: ", true, false},
                    KillPoint{"during the conversions", L"Template list: ", true, false},
                    KillPoint{"during registration", L"Shortcut ", true, false},
                    KillPoint{"in the middle of copying, then the uninstaller", L"Data file: ", true, true}));

TEST(Transaction, TwoQuietInstallersStartedAtOnceBothSucceedOneAfterTheOther)
{
    SetupDriver first, second;
    ASSERT_TRUE(first.Start(L"/quiet /log=C:\\dl\\first.log"));
    ASSERT_TRUE(second.Start(L"/quiet /log=C:\\dl\\second.log", L"C:\\dl\\", L"C:\\bin\\TessamoSetup.exe",
                             L"TessamoSetup (2).exe"));
    EXPECT_EQ(first.WatchUntilExit().exitCode, 0u);
    EXPECT_EQ(second.WatchUntilExit().exitCode, 0u);
    ExpectInstalledIn(DefaultDir);
    const std::wstring waited = L"Another installation is running: waiting until it has finished";
    const std::wstring logs = ReadLog(L"C:\\dl\\first.log") + ReadLog(L"C:\\dl\\second.log");
    EXPECT_NE(logs.find(waited), std::wstring::npos) << ToUtf8(logs);
}

} // namespace
