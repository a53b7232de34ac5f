#include <gtest/gtest.h>

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <string>

#include "Shortcuts.h"
#include "TestSupport.h"

using Microsoft::WRL::ComPtr;

namespace {

struct LinkContents {
    std::wstring target;
    std::wstring workingDirectory;
    std::wstring description;
    std::wstring iconPath;
    int iconIndex = -1;
};

// Reads a link file back through the shell. The target comes from the item list: the
// link's path text is garbled for non-ANSI names when the code page is not 936.
LinkContents ReadLink(const std::wstring& linkPath)
{
    LinkContents contents;
    ComPtr<IShellLinkW> link;
    ComPtr<IPersistFile> file;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW, &link)) ||
        FAILED(link->QueryInterface(IID_IPersistFile, &file)) || FAILED(file->Load(linkPath.c_str(), STGM_READ))) {
        ADD_FAILURE() << "cannot load " << ToUtf8(linkPath);
        return contents;
    }
    wchar_t text[MAX_PATH * 2] = {};
    PIDLIST_ABSOLUTE items = nullptr;
    if (SUCCEEDED(link->GetIDList(&items)) && items) {
        if (::SHGetPathFromIDListW(items, text))
            contents.target = text;
        ::CoTaskMemFree(items);
    }
    text[0] = L'\0';
    link->GetWorkingDirectory(text, MAX_PATH * 2);
    contents.workingDirectory = text;
    text[0] = L'\0';
    link->GetDescription(text, MAX_PATH * 2);
    contents.description = text;
    text[0] = L'\0';
    link->GetIconLocation(text, MAX_PATH * 2, &contents.iconIndex);
    contents.iconPath = text;
    return contents;
}

struct ShortcutCase {
    const char* name;
    const wchar_t* targetName;
    const wchar_t* linkName;
    bool setIcon;
};

void PrintTo(const ShortcutCase& c, std::ostream* out)
{
    *out << c.name;
}

class ShortcutCases : public testing::TestWithParam<ShortcutCase> {};

TEST_P(ShortcutCases, PointAtTheTargetAndWorkInItsFolder)
{
    const ShortcutCase& c = GetParam();
    ScopedTempDir installDir;
    ScopedTempDir programs;
    std::wstring target = installDir.Path() + c.targetName;
    ASSERT_TRUE(WriteBytesFile(target, "MZ"));
    std::wstring linkPath = programs.Path() + c.linkName;

    ASSERT_TRUE(CreateShortcut(target, linkPath, c.setIcon));

    LinkContents link = ReadLink(linkPath);
    EXPECT_EQ(link.target, target);
    EXPECT_EQ(link.workingDirectory, installDir.Path());
    EXPECT_EQ(link.description, L"Tessamo");
    if (c.setIcon) {
        EXPECT_EQ(link.iconPath, target);
        EXPECT_EQ(link.iconIndex, 0);
    } else {
        EXPECT_EQ(link.iconPath, L"");
    }
}

INSTANTIATE_TEST_SUITE_P(
    Shortcuts, ShortcutCases,
    testing::Values(ShortcutCase{"Application", L"Pinvora.exe", L"Tessamo.lnk", true},
                    ShortcutCase{"Manual", L"使用说明.txt", L"使用说明.txt.lnk", false},
                    ShortcutCase{"Uninstaller", L"卸载Tessamo.exe", L"卸载Tessamo.lnk", true}),
    [](const testing::TestParamInfo<ShortcutCase>& info) { return std::string(info.param.name); });

TEST(Shortcuts, ASecondInstallationRepointsTheLink)
{
    ScopedTempDir first;
    ScopedTempDir second;
    ScopedTempDir desktop;
    ASSERT_TRUE(WriteBytesFile(first.Path() + L"Pinvora.exe", "MZ"));
    ASSERT_TRUE(WriteBytesFile(second.Path() + L"Pinvora.exe", "MZ"));
    std::wstring linkPath = desktop.Path() + L"Tessamo.lnk";

    ASSERT_TRUE(CreateShortcut(first.Path() + L"Pinvora.exe", linkPath, true));
    ASSERT_TRUE(CreateShortcut(second.Path() + L"Pinvora.exe", linkPath, true));

    LinkContents link = ReadLink(linkPath);
    EXPECT_EQ(link.target, second.Path() + L"Pinvora.exe");
    EXPECT_EQ(link.workingDirectory, second.Path());
}

TEST(Shortcuts, ALinkInAMissingFolderFails)
{
    ScopedTempDir installDir;
    ASSERT_TRUE(WriteBytesFile(installDir.Path() + L"Pinvora.exe", "MZ"));
    EXPECT_FALSE(CreateShortcut(installDir.Path() + L"Pinvora.exe",
                                installDir.Path() + L"no such folder\\Tessamo.lnk", true));
}

TEST(Shortcuts, TheDesktopLinkLandsOnTheUsersDesktop)
{
    wchar_t desktop[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, desktop, CSIDL_DESKTOP, FALSE));
    ScopedTempDir installDir;
    std::wstring target = installDir.Path() + L"Pinvora.exe";
    ASSERT_TRUE(WriteBytesFile(target, "MZ"));
    std::wstring linkPath = std::wstring(desktop) + L"\\Tessamo.lnk";

    ASSERT_TRUE(CreateShortcut(target, linkPath, true));
    LinkContents link = ReadLink(linkPath);
    ::DeleteFileW(linkPath.c_str());
    EXPECT_EQ(link.target, target);
}

} // namespace
