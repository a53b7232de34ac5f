// The real TessamoSetup.exe, started as a user would, and the shipped file's resources
// read back.
#include <windows.h>
#include <gdiplus.h>
#include <shlwapi.h>
#include <gtest/gtest.h>

#include <string>

#include "TestSupport.h"

namespace {

const wchar_t* const SetupExe = L"C:\\bin\\TessamoSetup.exe";

HWND WaitForWindow(const wchar_t* title, DWORD milliseconds)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = ::FindWindowW(nullptr, title)) != nullptr && ::IsWindowVisible(found); },
              milliseconds);
    return found;
}

TEST(SetupProcess, ShowsItsWindowAndExitsWithZeroWhenClosed)
{
    std::wstring commandLine = L"\"" + std::wstring(SetupExe) + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessW(SetupExe, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                                 L"C:\\bin", &startup, &process));

    HWND window = WaitForWindow(L"安装Tessamo", 20000);
    ASSERT_TRUE(window) << "the setup window never appeared";
    EXPECT_TRUE(::IsWindowVisible(window));

    ::PostMessageW(window, WM_CLOSE, 0, 0);
    ASSERT_EQ(::WaitForSingleObject(process.hProcess, 20000), WAIT_OBJECT_0);
    DWORD exitCode = 99;
    ::GetExitCodeProcess(process.hProcess, &exitCode);
    EXPECT_EQ(exitCode, 0u);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
}

std::wstring VersionString(const std::vector<BYTE>& block, const wchar_t* name)
{
    std::wstring query = std::wstring(L"\\StringFileInfo\\080404b0\\") + name;
    wchar_t* value = nullptr;
    UINT length = 0;
    if (!::VerQueryValueW(block.data(), query.c_str(), reinterpret_cast<void**>(&value), &length))
        return {};
    return value;
}

TEST(SetupResources, ShippedFileIsA32BitWindowsProgram)
{
    EXPECT_TRUE(IsPe32GuiProgram(ReadBytesFile(ShippedSetupExe)));
}

// With every section on a page boundary in the file, the loader maps the package instead
// of reading the whole program into memory before it starts.
TEST(SetupResources, ShippedFileKeepsItsSectionsOnPageBoundaries)
{
    const std::string file = ReadBytesFile(ShippedSetupExe);
    ASSERT_TRUE(IsPe32GuiProgram(file));
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(file.data());
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS32*>(file.data() + dos->e_lfanew);
    EXPECT_EQ(nt->OptionalHeader.FileAlignment, 0x1000u);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        EXPECT_EQ(section->PointerToRawData % 0x1000, 0u) << std::string(reinterpret_cast<const char*>(section->Name), 8).c_str();
}

TEST(SetupResources, VersionBlockReadsBack)
{
    DWORD size = ::GetFileVersionInfoSizeW(ShippedSetupExe, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(ShippedSetupExe, 0, size, block.data()));

    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(3, 9));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(0, 6));
    EXPECT_EQ(fixed->dwProductVersionMS, MAKELONG(3, 9));
    EXPECT_EQ(fixed->dwProductVersionLS, MAKELONG(0, 6));
    EXPECT_EQ(VersionString(block, L"FileDescription"), L"Tessamo绿色安装程序");
    EXPECT_EQ(VersionString(block, L"FileVersion"), L"9.3.6.0");
}

class SetupModule : public testing::Test {
protected:
    void SetUp() override
    {
        module = ::LoadLibraryExW(ShippedSetupExe, nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_TRUE(module);
    }
    void TearDown() override { ::FreeLibrary(module); }

    std::string ResourceBytes(int id, const wchar_t* type)
    {
        HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
        if (!found)
            return {};
        HGLOBAL loaded = ::LoadResource(module, found);
        return std::string(static_cast<const char*>(::LockResource(loaded)),
                           ::SizeofResource(module, found));
    }

    HMODULE module = nullptr;
};

struct PictureCase {
    int id;
    UINT size;
};

TEST_F(SetupModule, EveryPictureDecodesAtItsSizeWithAlpha)
{
    const PictureCase pictures[] = {{219, 40}, {220, 20}, {221, 20}, {222, 20}, {223, 20},
                                    {224, 20}, {225, 20}, {227, 30}, {228, 30}, {229, 30},
                                    {230, 30}, {232, 30}, {233, 30}, {234, 30}, {235, 30},
                                    {236, 12}, {237, 12}};
    for (const PictureCase& picture : pictures) {
        SCOPED_TRACE(picture.id);
        std::string bytes = ResourceBytes(picture.id, L"PNG");
        ASSERT_FALSE(bytes.empty());
        IStream* stream = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                              static_cast<UINT>(bytes.size()));
        Gdiplus::Bitmap image(stream);
        ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok);
        EXPECT_EQ(image.GetWidth(), picture.size);
        EXPECT_EQ(image.GetHeight(), picture.size);
        EXPECT_TRUE(Gdiplus::IsAlphaPixelFormat(image.GetPixelFormat()));
        stream->Release();
    }
}

TEST_F(SetupModule, BannerIsAnOpaque500By270Picture)
{
    std::string bytes = ResourceBytes(231, L"PNG");
    IStream* stream = ::SHCreateMemStream(reinterpret_cast<const BYTE*>(bytes.data()),
                                          static_cast<UINT>(bytes.size()));
    Gdiplus::Bitmap image(stream);
    ASSERT_EQ(image.GetLastStatus(), Gdiplus::Ok);
    EXPECT_EQ(image.GetWidth(), 500u);
    EXPECT_EQ(image.GetHeight(), 270u);
    EXPECT_FALSE(Gdiplus::IsAlphaPixelFormat(image.GetPixelFormat()));
    stream->Release();
}

TEST_F(SetupModule, IconComesInSeveralSizesAndTheMessageBoxTemplateExists)
{
    std::string group = ResourceBytes(128, RT_GROUP_ICON);
    ASSERT_GE(group.size(), 6u);
    WORD count = *reinterpret_cast<const WORD*>(group.data() + 4);
    EXPECT_GE(count, 3);

    std::string dialog = ResourceBytes(226, RT_DIALOG);
    ASSERT_GE(dialog.size(), 26u);
    // DLGTEMPLATEEX: signature 0xFFFF, then cx and cy at offsets 22 and 24.
    EXPECT_EQ(*reinterpret_cast<const short*>(dialog.data() + 22), 204);
    EXPECT_EQ(*reinterpret_cast<const short*>(dialog.data() + 24), 102);
}

} // namespace
