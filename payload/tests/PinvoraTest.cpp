// The stand-in notes application, seen from another process as the installer sees it.
#include <windows.h>
#include <gtest/gtest.h>

#include <vector>

#include "ProgramDriver.h"
#include "TestSupport.h"

namespace {

const std::wstring InstallDir = L"C:\\Program Files\\Tessamo\\";
const std::wstring Program = InstallDir + L"Pinvora.exe";

class RunningPinvora : public testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(::CreateDirectoryW(InstallDir.c_str(), nullptr) ||
                    ::GetLastError() == ERROR_ALREADY_EXISTS);
        ASSERT_TRUE(::CopyFileW(L"C:\\bin\\Pinvora.exe", Program.c_str(), FALSE));
        program = std::make_unique<StartedProgram>(Program, InstallDir);
        ASSERT_TRUE(program->Started());
        window = WaitForWindow(nullptr, L"Pinvora", 20000);
        ASSERT_TRUE(window) << "no window titled Pinvora";
        // The window exists a moment before it is shown.
        PumpUntil([&] { return ::IsWindowVisible(window) != FALSE; }, 20000);
    }

    void TearDown() override
    {
        if (window && ::IsWindow(window))
            ::PostMessageW(window, WM_CLOSE, 0, 0);
        DWORD exitCode = 0;
        if (program)
            program->WaitForExit(10000, exitCode);
    }

    std::unique_ptr<StartedProgram> program;
    HWND window = nullptr;
};

bool LivenessEventExists()
{
    HANDLE event = ::OpenEventW(EVENT_ALL_ACCESS, FALSE, L"Global\\PinvoraLiveEvent");
    if (!event)
        return false;
    ::CloseHandle(event);
    return true;
}

std::wstring SharedPath()
{
    HANDLE mapping = ::OpenFileMappingW(FILE_MAP_READ, FALSE, L"QWMTRVSHAREMAPPINGFILE");
    if (!mapping)
        return L"(no mapping)";
    std::wstring path;
    if (const void* view = ::MapViewOfFile(mapping, FILE_MAP_READ, 0, 0, 0)) {
        path = static_cast<const wchar_t*>(view);
        ::UnmapViewOfFile(view);
    }
    ::CloseHandle(mapping);
    return path;
}

std::wstring LocationValue()
{
    wchar_t text[1024] = {};
    DWORD bytes = sizeof text - sizeof(wchar_t);
    if (::RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Kelbrin", L"Location", RRF_RT_REG_SZ, nullptr, text,
                       &bytes) != ERROR_SUCCESS)
        return L"(no value)";
    return text;
}

TEST_F(RunningPinvora, PublishesEveryPointOfContactWhileItRuns)
{
    EXPECT_TRUE(::IsWindowVisible(window));
    EXPECT_TRUE(LivenessEventExists());
    EXPECT_EQ(SharedPath(), Program);
    EXPECT_EQ(LocationValue(), InstallDir);
}

TEST_F(RunningPinvora, EndsOnWmCloseAndTakesItsLivenessAlong)
{
    ::PostMessageW(window, WM_CLOSE, 0, 0);
    DWORD exitCode = 99;
    ASSERT_TRUE(program->WaitForExit(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_FALSE(::FindWindowW(nullptr, L"Pinvora"));
    EXPECT_FALSE(LivenessEventExists());
    EXPECT_EQ(SharedPath(), L"(no mapping)");
    window = nullptr;
}

TEST_F(RunningPinvora, SecondStartLeavesTheFirstCopyAlone)
{
    StartedProgram second(Program, InstallDir);
    DWORD exitCode = 99;
    ASSERT_TRUE(second.WaitForExit(10000, exitCode));
    EXPECT_EQ(exitCode, 0u);
    EXPECT_TRUE(::IsWindow(window));
    EXPECT_TRUE(LivenessEventExists());
}

TEST_F(RunningPinvora, ShowsANoteWithItsTitleBand)
{
    PumpMessages(500);
    HDC dc = ::GetDC(window);
    const COLORREF band = ::GetPixel(dc, 3, 3);
    const COLORREF sheet = ::GetPixel(dc, 3, 200);
    ::ReleaseDC(window, dc);
    EXPECT_EQ(band, RGB(93, 142, 168));
    EXPECT_EQ(sheet, RGB(214, 232, 248));
}

TEST(PinvoraVersion, ReadsBackAs1602)
{
    const wchar_t* program = L"C:\\bin\\Pinvora.exe";
    const DWORD size = ::GetFileVersionInfoSizeW(program, nullptr);
    ASSERT_GT(size, 0u);
    std::vector<BYTE> block(size);
    ASSERT_TRUE(::GetFileVersionInfoW(program, 0, size, block.data()));
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, MAKELONG(6, 1));
    EXPECT_EQ(fixed->dwFileVersionLS, MAKELONG(2, 0));
}

} // namespace
