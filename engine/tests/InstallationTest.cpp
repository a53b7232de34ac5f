// A whole installation from the test program's own packages: the CRC-32 check before
// anything is written, the unpacking, then the install steps. Each case unpacks into a
// folder of its own: other test programs run beside this one.
#include <windows.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Installation.h"
#include "Package.h"
#include "ProgressCodes.h"
#include "TestSupport.h"

namespace {

class RecordingObserver : public InstallObserver {
public:
    void Progress(int code) override { codes.push_back(code); }
    int ShowMessage(const std::wstring& text, HWND, const std::wstring&, const std::wstring&,
                    const std::wstring&) override
    {
        messages.push_back(text);
        return 1;
    }
    bool StopRequested() override { return false; }
    void Record(const std::wstring& line) override { lines.push_back(line); }

    bool Recorded(const std::wstring& part) const
    {
        return std::any_of(lines.begin(), lines.end(),
                           [&](const std::wstring& line) { return line.find(part) != std::wstring::npos; });
    }

    std::vector<int> codes;
    std::vector<std::wstring> messages;
    std::vector<std::wstring> lines;
};

class WholeInstallation : public testing::Test {
protected:
    void SetUp() override { inputs.installPath = target.Path() + L"Tessamo\\"; }

    InstallResult Run(int packageId)
    {
        return RunInstallation(packageId, ExtractionFolder(), inputs, observer, installDir);
    }
    std::wstring ExtractionFolder() const { return target.Path() + L"temp"; }

    ScopedTempDir target;
    InstallInputs inputs;
    RecordingObserver observer;
    std::wstring installDir;
};

TEST_F(WholeInstallation, AnIntactPackageIsUnpackedBeforeTheSteps)
{
    // The test package holds no program, so the steps stop at its copy.
    EXPECT_EQ(Run(SetupPackageId), InstallResult::FileNotCopied);
    EXPECT_EQ(ReadBytesFile(ExtractionFolder() + L"\\hello.txt"), "hello");
    EXPECT_EQ(ReadBytesFile(ExtractionFolder() + L"\\sub\\world.txt"), "world");
    EXPECT_EQ(observer.codes, (std::vector<int>{ProgressExtracting, ProgressCopying, ProgressFailed}));
    EXPECT_EQ(observer.messages, std::vector<std::wstring>{L"拷贝文件“Pinvora.exe”失败！"});
    EXPECT_TRUE(observer.Recorded(L"Package check: CRC-32 C5239A71 of 132 bytes matches the recorded value"));
    EXPECT_TRUE(observer.Recorded(L"Unpacked 2 files into " + ExtractionFolder()));
}

struct RefusedCase {
    const char* what;
    int packageId;
    InstallResult result;
    const wchar_t* message;
};

TEST_F(WholeInstallation, ARefusedPackageIsShownAndNothingIsWritten)
{
    const RefusedCase cases[] = {
        {"one byte changed", SetupPackageId + 2, InstallResult::DamagedPackage, L"安装包已损坏，请重新下载安装程序"},
        {"no CRC-32 record", SetupPackageId + 3, InstallResult::DamagedPackage, L"安装包已损坏，请重新下载安装程序"},
        {"no package", SetupPackageId + 100, InstallResult::DamagedPackage, L"安装失败,解压缩安装包失败:读取资源失败"},
        {"malformed but recorded", SetupPackageId + 1, InstallResult::UnpackFailed,
         L"安装失败,解压缩安装包失败:解压资源失败"},
    };
    for (const RefusedCase& c : cases) {
        observer = RecordingObserver();
        EXPECT_EQ(Run(c.packageId), c.result) << c.what;
        EXPECT_EQ(observer.codes, (std::vector<int>{ProgressExtracting, ProgressFailed})) << c.what;
        EXPECT_EQ(observer.messages, std::vector<std::wstring>{c.message}) << c.what;
        EXPECT_FALSE(FileExists(ExtractionFolder())) << c.what;
        EXPECT_FALSE(FileExists(inputs.installPath)) << c.what;
        EXPECT_TRUE(installDir.empty()) << c.what;
    }
}

TEST_F(WholeInstallation, TheCheckSaysWhatItFound)
{
    Run(SetupPackageId + 2);
    EXPECT_TRUE(
        observer.Recorded(L"Package check: CRC-32 A009E029 of 132 bytes differs from the recorded C5239A71: refused"));
    observer = RecordingObserver();
    Run(SetupPackageId + 3);
    EXPECT_TRUE(observer.Recorded(L"no recorded CRC-32 to compare with: refused"));
}

} // namespace
