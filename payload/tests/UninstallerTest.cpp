// The uninstaller run by a user over an installation laid out by hand.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <vector>

#include "ProgramDriver.h"
#include "TestSupport.h"

namespace {

const std::wstring InstallDir = L"C:\\Program Files\\Tessamo\\";
const std::wstring Uninstaller = InstallDir + L"卸载Tessamo.exe";
const wchar_t* const Title = L"卸载Tessamo";
const wchar_t* const RunKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t* const UninstallKey = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin";

const wchar_t* const ProgramFiles[] = {
    L"使用说明.txt",
    L"res\\2020414132329879.png",
    L"res\\2020419423246.png",
    L"res\\20204194327671.png",
    L"res\\2020420195131818.png",
    L"res\\2020421192729143.png",
    L"res\\2020422135529632.png",
    L"res\\2020422174846835.png",
    L"res\\202042217722349.png",
    L"sound\\sound1.wav",
    L"sound\\sound2.mid",
    L"sound\\sound3.mid",
    L"sound\\sound4.mid",
    L"sound\\sound5.mid",
    L"sound\\sound6.mid",
};

const wchar_t* const UserData[] = {
    L"data.dat", L"timer.dat", L"template-utf8.xml", L"backup\\20260101.dat", L"image\\photo.png",
    L"res\\my-own-template.png",
};

std::wstring ShellFolder(int csidl)
{
    wchar_t path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, path, csidl, TRUE);
    return path;
}

std::wstring UserTemplates()
{
    return ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo\\template-utf8.xml";
}

std::vector<std::wstring> ShortcutFiles()
{
    const std::wstring menu = ShellFolder(CSIDL_PROGRAMS) + L"\\Tessamo";
    return {ShellFolder(CSIDL_DESKTOPDIRECTORY) + L"\\Tessamo.lnk", menu + L"\\Tessamo.lnk",
            menu + L"\\使用说明.txt.lnk", menu + L"\\卸载Tessamo.lnk"};
}

bool MakeShortcut(const std::wstring& target, const std::wstring& link)
{
    IShellLinkW* shellLink = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  reinterpret_cast<void**>(&shellLink))))
        return false;
    shellLink->SetPath(target.c_str());
    IPersistFile* file = nullptr;
    bool saved = false;
    if (SUCCEEDED(shellLink->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        saved = SUCCEEDED(file->Save(link.c_str(), TRUE));
        file->Release();
    }
    shellLink->Release();
    return saved;
}

void SetText(HKEY root, const std::wstring& key, const wchar_t* name, const std::wstring& text)
{
    ASSERT_EQ(::RegSetKeyValueW(root, key.c_str(), name, REG_SZ, text.c_str(),
                                static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))),
              ERROR_SUCCESS);
}

bool ValueExists(HKEY root, const wchar_t* key, const wchar_t* name)
{
    return ::RegGetValueW(root, key, name, RRF_RT_ANY, nullptr, nullptr, nullptr) == ERROR_SUCCESS;
}

bool KeyExists(HKEY root, const wchar_t* key)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, key, 0, KEY_READ, &opened) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(opened);
    return true;
}

// An installation as the installer leaves it, with a running application and some of
// the user's data.
class Installation : public testing::Test {
protected:
    void SetUp() override
    {
        for (const wchar_t* folder : {L"", L"res", L"sound", L"backup", L"image"})
            ASSERT_TRUE(::CreateDirectoryW((InstallDir + folder).c_str(), nullptr));
        ASSERT_TRUE(::CopyFileW(L"C:\\bin\\Pinvora.exe", (InstallDir + L"Pinvora.exe").c_str(), FALSE));
        ASSERT_TRUE(::CopyFileW(L"C:\\bin\\TessamoUninstaller.exe", Uninstaller.c_str(), FALSE));
        for (const wchar_t* file : ProgramFiles)
            ASSERT_TRUE(WriteBytesFile(InstallDir + file, "program"));
        for (const wchar_t* file : UserData)
            ASSERT_TRUE(WriteBytesFile(InstallDir + file, "user's"));
        ::SHCreateDirectoryExW(nullptr, (ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo").c_str(), nullptr);
        ASSERT_TRUE(WriteBytesFile(UserTemplates(), "user's templates"));

        ::CreateDirectoryW((ShellFolder(CSIDL_PROGRAMS) + L"\\Tessamo").c_str(), nullptr);
        const std::vector<std::wstring> links = ShortcutFiles();
        ASSERT_TRUE(MakeShortcut(InstallDir + L"Pinvora.exe", links[0]));
        ASSERT_TRUE(MakeShortcut(InstallDir + L"Pinvora.exe", links[1]));
        ASSERT_TRUE(MakeShortcut(InstallDir + L"使用说明.txt", links[2]));
        ASSERT_TRUE(MakeShortcut(Uninstaller, links[3]));

        const std::wstring quoted = L"\"" + InstallDir + L"Pinvora.exe\"";
        SetText(HKEY_CURRENT_USER, RunKey, L"Pinvora", quoted);
        SetText(HKEY_LOCAL_MACHINE, RunKey, L"Pinvora", quoted);
        SetText(HKEY_CURRENT_USER, UninstallKey, L"DisplayIcon", InstallDir + L"Pinvora.exe");
        SetText(HKEY_CURRENT_USER, UninstallKey, L"DisplayName", L"Tessamo");
        SetText(HKEY_CURRENT_USER, UninstallKey, L"UninstallString", Uninstaller);
        SetText(HKEY_CURRENT_USER, UninstallKey, L"DisplayVersion", L"1.6.0.2");

        application = std::make_unique<StartedProgram>(InstallDir + L"Pinvora.exe", InstallDir);
        ASSERT_TRUE(WaitForWindow(nullptr, L"Pinvora", 20000));
    }

    // Runs the uninstaller and answers its questions: go ahead, then whether to delete
    // the data. Returns the final message.
    std::wstring Uninstall(bool deleteData, DWORD expectedExitCode = 0)
    {
        StartedProgram uninstaller(Uninstaller, InstallDir);
        EXPECT_TRUE(uninstaller.Started());
        std::wstring text;
        EXPECT_TRUE(AnswerMessageBox(Title, IDYES, text));
        EXPECT_NE(text.find(L"卸载Tessamo"), std::wstring::npos) << ToUtf8(text);
        EXPECT_TRUE(AnswerMessageBox(Title, deleteData ? IDYES : IDNO, text));
        EXPECT_NE(text.find(L"便签数据"), std::wstring::npos) << ToUtf8(text);
        std::wstring final;
        EXPECT_TRUE(AnswerMessageBox(Title, IDOK, final));
        // It handed over to a copy of itself, so that its own file can go, and waited for it.
        DWORD exitCode = 99;
        EXPECT_TRUE(uninstaller.WaitForExit(20000, exitCode));
        EXPECT_EQ(exitCode, expectedExitCode);
        // The copy removes the original's file once the original has ended.
        PumpUntil([] { return !FileExists(Uninstaller); }, 10000);
        return final;
    }

    void ExpectProgramGone()
    {
        DWORD exitCode = 99;
        EXPECT_TRUE(application->WaitForExit(1000, exitCode)) << "the application still runs";
        EXPECT_FALSE(FileExists(InstallDir + L"Pinvora.exe"));
        for (const wchar_t* file : ProgramFiles)
            EXPECT_FALSE(FileExists(InstallDir + file)) << ToUtf8(file);
        for (const std::wstring& link : ShortcutFiles())
            EXPECT_FALSE(FileExists(link)) << ToUtf8(link);
        EXPECT_FALSE(FileExists(ShellFolder(CSIDL_PROGRAMS) + L"\\Tessamo"));
        EXPECT_FALSE(ValueExists(HKEY_CURRENT_USER, RunKey, L"Pinvora"));
        EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, RunKey, L"Pinvora"));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
        EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, L"SOFTWARE\\Kelbrin"));
    }

    std::unique_ptr<StartedProgram> application;
};

TEST_F(Installation, UninstallClosesTheApplicationRemovesTheProgramAndKeepsTheDataByDefault)
{
    const std::wstring final = Uninstall(false);
    EXPECT_NE(final.find(L"成功卸载"), std::wstring::npos) << ToUtf8(final);

    ExpectProgramGone();
    for (const wchar_t* file : UserData)
        EXPECT_EQ(ReadBytesFile(InstallDir + file), "user's") << ToUtf8(file);
    EXPECT_EQ(ReadBytesFile(UserTemplates()), "user's templates");
}

TEST_F(Installation, AFileThatCannotBeRemovedIsReportedAsAFailureNotAsSuccess)
{
    HANDLE held = ::CreateFileW((InstallDir + L"使用说明.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    const std::wstring final = Uninstall(false, 5);
    ::CloseHandle(held);
    EXPECT_EQ(final.find(L"成功"), std::wstring::npos) << ToUtf8(final);
    EXPECT_NE(final.find(L"未能删除"), std::wstring::npos) << ToUtf8(final);
    EXPECT_NE(final.find(L"便签数据保留"), std::wstring::npos) << ToUtf8(final);
    EXPECT_TRUE(FileExists(InstallDir + L"使用说明.txt"));
}

TEST_F(Installation, UninstallWithDataDeletionLeavesNothingBehind)
{
    Uninstall(true);

    ExpectProgramGone();
    for (const wchar_t* file : UserData)
        EXPECT_FALSE(FileExists(InstallDir + file)) << ToUtf8(file);
    EXPECT_FALSE(FileExists(ShellFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo"));
    EXPECT_FALSE(FileExists(InstallDir));
}

TEST_F(Installation, UninstallerStartedOutsideAnInstallationRemovesNothing)
{
    ASSERT_TRUE(::CopyFileW(L"C:\\bin\\TessamoUninstaller.exe", L"C:\\users\\Public\\unrelated.exe", FALSE));
    ASSERT_TRUE(WriteBytesFile(L"C:\\users\\Public\\data.dat", "someone else's"));
    StartedProgram stray(L"C:\\users\\Public\\unrelated.exe", L"C:\\users\\Public");
    std::wstring text;
    ASSERT_TRUE(AnswerMessageBox(Title, IDOK, text));
    EXPECT_NE(text.find(L"未找到"), std::wstring::npos) << ToUtf8(text);
    DWORD exitCode = 99;
    EXPECT_TRUE(stray.WaitForExit(20000, exitCode));
    EXPECT_EQ(exitCode, 1u);
    EXPECT_EQ(ReadBytesFile(L"C:\\users\\Public\\data.dat"), "someone else's");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
    EXPECT_TRUE(::FindWindowW(nullptr, L"Pinvora"));
    ::PostMessageW(::FindWindowW(nullptr, L"Pinvora"), WM_CLOSE, 0, 0);
    application->WaitForExit(10000, exitCode);
}

TEST_F(Installation, AnsweringNoAtTheStartChangesNothing)
{
    StartedProgram uninstaller(Uninstaller, InstallDir);
    std::wstring text;
    ASSERT_TRUE(AnswerMessageBox(Title, IDNO, text));
    PumpMessages(500);
    DWORD exitCode = 99;

    EXPECT_TRUE(::FindWindowW(nullptr, L"Pinvora"));
    EXPECT_TRUE(FileExists(InstallDir + L"Pinvora.exe"));
    EXPECT_TRUE(FileExists(Uninstaller));
    for (const std::wstring& link : ShortcutFiles())
        EXPECT_TRUE(FileExists(link)) << ToUtf8(link);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
    ::PostMessageW(::FindWindowW(nullptr, L"Pinvora"), WM_CLOSE, 0, 0);
    application->WaitForExit(10000, exitCode);
}

TEST_F(Installation, EntriesOfAnotherInstallationStay)
{
    const std::wstring elsewhere = L"\"D:\\Tessamo\\Pinvora.exe\"";
    SetText(HKEY_CURRENT_USER, RunKey, L"Pinvora", elsewhere);
    SetText(HKEY_CURRENT_USER, UninstallKey, L"UninstallString", L"D:\\Tessamo\\卸载Tessamo.exe");

    Uninstall(false);

    wchar_t text[512] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, RunKey, L"Pinvora", RRF_RT_REG_SZ, nullptr, text, &bytes),
              ERROR_SUCCESS);
    EXPECT_EQ(std::wstring(text), elsewhere);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
    EXPECT_FALSE(ValueExists(HKEY_LOCAL_MACHINE, RunKey, L"Pinvora"));
}

LRESULT CALLBACK IgnoreClose(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE)
        return 0;
    return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(Installation, ApplicationThatWillNotCloseStopsTheUninstallBeforeAnythingIsRemoved)
{
    ::PostMessageW(::FindWindowW(nullptr, L"Pinvora"), WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(application->WaitForExit(10000, exitCode));
    WNDCLASSW windowClass{};
    windowClass.lpfnWndProc = IgnoreClose;
    windowClass.hInstance = ::GetModuleHandleW(nullptr);
    windowClass.lpszClassName = L"StubbornPinvora";
    ASSERT_TRUE(::RegisterClassW(&windowClass));
    HWND stubborn = ::CreateWindowW(L"StubbornPinvora", L"Pinvora", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                    nullptr, nullptr, windowClass.hInstance, nullptr);
    ASSERT_TRUE(stubborn);

    StartedProgram uninstaller(Uninstaller, InstallDir);
    std::wstring text;
    ASSERT_TRUE(AnswerMessageBox(Title, IDYES, text));
    ASSERT_TRUE(AnswerMessageBox(Title, IDOK, text));
    EXPECT_NE(text.find(L"无法关闭"), std::wstring::npos) << ToUtf8(text);
    DWORD uninstallerExit = 99;
    EXPECT_TRUE(uninstaller.WaitForExit(20000, uninstallerExit));
    EXPECT_EQ(uninstallerExit, 3u);

    EXPECT_TRUE(::IsWindow(stubborn));
    EXPECT_TRUE(FileExists(InstallDir + L"Pinvora.exe"));
    for (const std::wstring& link : ShortcutFiles())
        EXPECT_TRUE(FileExists(link)) << ToUtf8(link);
    EXPECT_TRUE(ValueExists(HKEY_CURRENT_USER, RunKey, L"Pinvora"));
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, UninstallKey));
    ::DestroyWindow(stubborn);
}

} // namespace
