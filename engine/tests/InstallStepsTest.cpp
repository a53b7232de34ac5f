// The install steps on real files in the test prefix, with the window side recorded.
#include <windows.h>
#include <shlobj.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "Crc32.h"
#include "InstallSteps.h"
#include "SystemIntegration.h"
#include "ProgressCodes.h"
#include "TestSupport.h"

namespace {

struct ShownMessage {
    std::wstring text;
    std::wstring title;
    std::wstring firstButton;
    std::wstring secondButton;
    HWND owner;
};

class RecordingObserver : public InstallObserver {
public:
    void Progress(int code) override { codes.push_back(code); }
    int ShowMessage(const std::wstring& text, HWND owner, const std::wstring& title,
                    const std::wstring& firstButton, const std::wstring& secondButton) override
    {
        messages.push_back({text, title, firstButton, secondButton, owner});
        if (stopOnQuestion)
            stop = true;
        return answer;
    }
    bool StopRequested() override { return stop; }
    void Record(const std::wstring& line) override { lines.push_back(line); }

    std::vector<int> codes;
    std::vector<ShownMessage> messages;
    std::vector<std::wstring> lines;
    int answer = 1;
    bool stopOnQuestion = false;
    bool stop = false;
};

std::wstring SpecialFolder(int csidl)
{
    wchar_t folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathW(nullptr, folder, csidl, FALSE);
    return folder;
}

std::wstring RunValue()
{
    wchar_t value[600] = {};
    DWORD size = sizeof value;
    if (::RegGetValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pinvora",
                       RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
        return L"<absent>";
    return value;
}

class InstallSteps : public testing::Test {
protected:
    void SetUp() override
    {
        source = temp.Path() + L"temp";
        ASSERT_TRUE(::CreateDirectoryW(source.c_str(), nullptr));
        ::CreateDirectoryW((source + L"\\res").c_str(), nullptr);
        ::CreateDirectoryW((source + L"\\sound").c_str(), nullptr);
        for (const wchar_t* file : {L"\\Pinvora.exe", L"\\使用说明.txt", L"\\卸载Tessamo.exe", L"\\res\\a.png",
                                    L"\\sound\\sound1.wav"})
            Unpack(file, "new " + ToUtf8(file));
        Unpack(L"\\data.dat", "package data");
        Unpack(L"\\template-utf8.xml", "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config><templates>"
                                        "<template id=\"7\" image=\"res\\a.png\"><![CDATA[蓝色记事本]]></template>"
                                        "</templates></config>");
        inputs.installPath = temp.Path() + L"程序\\Tessamo";
        inputs.sourceDir = source;
        extracted.SetFolder(source);
        inputs.extracted = &extracted;
        inputs.removeExtractedFiles = [this] {
            ++extractionRemoved;
            return true;
        };
        target = inputs.installPath + L"\\";
        ::DeleteFileW(UserTemplateList().c_str());
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pinvora");
    }

    void TearDown() override
    {
        ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pinvora");
        ::RegDeleteKeyW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin");
        ::DeleteFileW((SpecialFolder(CSIDL_DESKTOP) + L"\\Tessamo.lnk").c_str());
        ::DeleteFileW(UserTemplateList().c_str());
    }

    static std::wstring UserTemplateList()
    {
        return SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo\\template-utf8.xml";
    }

    // Writes a file into the extraction folder as the extraction would, and records it.
    void Unpack(const std::wstring& name, const std::string& bytes)
    {
        ASSERT_TRUE(WriteBytesFile(source + name, bytes));
        extracted.AddFile(source + name, Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size()));
    }

    InstallResult RunSteps() { return RunInstallSteps(inputs, observer, installDir); }
    bool Run() { return RunSteps() == InstallResult::Installed; }

    ScopedTempDir temp;
    std::wstring source;
    std::wstring target;
    InstallInputs inputs;
    ExtractionRecord extracted;
    RecordingObserver observer;
    std::wstring installDir;
    int extractionRemoved = 0;
};

TEST_F(InstallSteps, FreshInstallationDeploysEverythingAndReportsEachStage)
{
    ASSERT_TRUE(Run());
    EXPECT_EQ(observer.codes, (std::vector<int>{ProgressStartMenu, ProgressRegistering, ProgressCleaningUp,
                                                ProgressSucceeded}));
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(installDir, target);
    EXPECT_EQ(ReadBytesFile(target + L"Pinvora.exe"), "new \\Pinvora.exe");
    EXPECT_EQ(ReadBytesFile(target + L"使用说明.txt"), ToUtf8(L"new \\使用说明.txt"));
    EXPECT_EQ(ReadBytesFile(target + L"data.dat"), "package data");
    EXPECT_EQ(ReadBytesFile(target + L"res\\a.png"), "new \\res\\a.png");
    EXPECT_EQ(ReadBytesFile(target + L"sound\\sound1.wav"), "new \\sound\\sound1.wav");
    EXPECT_FALSE(FileExists(target + L"timer.dat"));
    const std::string templates = ReadBytesFile(target + L"template-utf8.xml");
    EXPECT_NE(templates.find("<template id=\"7\" image=\"res\\a.png\""), std::string::npos) << templates;
    EXPECT_EQ(ReadBytesFile(UserTemplateList()), templates) << "the same list for the user";
    EXPECT_TRUE(FileExists(SpecialFolder(CSIDL_DESKTOP) + L"\\Tessamo.lnk"));
    EXPECT_TRUE(FileExists(SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\卸载Tessamo.lnk"));
    EXPECT_EQ(RunValue(), L"\"" + target + L"Pinvora.exe\"");
    EXPECT_EQ(extractionRemoved, 1);
}

TEST_F(InstallSteps, EachStepRecordsWhatItDidForTheLog)
{
    ASSERT_TRUE(Run());
    SYSTEMTIME today;
    ::GetLocalTime(&today);
    const std::wstring desktopLink = SpecialFolder(CSIDL_DESKTOP) + L"\\Tessamo.lnk";
    const std::wstring menu = SpecialFolder(CSIDL_PROGRAMS) + L"\\Tessamo\\";
    const std::wstring uninstallKey =
        L"Registry HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin: ";
    const std::vector<std::wstring> expected{
        L"Journal: " + SpecialFolder(CSIDL_LOCAL_APPDATA) + L"\\Tessamo Setup\\install.journal",
        L"Install folder " + target + L": created",
        L"Program files: Pinvora.exe copied, 使用说明.txt copied, 卸载Tessamo.exe copied",
        L"Template list: merged into template-utf8.xml of the install folder and the per-user folder",
        L"Data file: data.dat copied from the package",
        L"res\\: 1 files copied",
        L"sound\\: 1 files copied",
        L"Shortcut " + desktopLink + L" -> " + target + L"Pinvora.exe: created",
        L"Shortcut " + menu + L"Tessamo.lnk -> " + target + L"Pinvora.exe: created",
        L"Shortcut " + menu + L"使用说明.txt.lnk -> " + target + L"使用说明.txt: created",
        L"Shortcut " + menu + L"卸载Tessamo.lnk -> " + target + L"卸载Tessamo.exe: created",
        L"Registry HKCU\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run: Pinvora = \"" + target + L"Pinvora.exe\"",
        uninstallKey + L"DisplayIcon = " + target + L"Pinvora.exe",
        uninstallKey + L"DisplayName = Tessamo",
        uninstallKey + L"Publisher = Haldenmark",
        uninstallKey + L"UninstallString = \"" + target + L"卸载Tessamo.exe\"",
        uninstallKey + L"QuietUninstallString = \"" + target + L"卸载Tessamo.exe\" /quiet",
        uninstallKey + L"InstallLocation = " + target,
        uninstallKey + L"EstimatedSize = " + std::to_wstring(InstalledSizeKiB(target)),
        uninstallKey + L"NoModify = 1",
        uninstallKey + L"NoRepair = 1",
        uninstallKey + L"InstallDate = " + InstallDateText(today),
        uninstallKey + L"DisplayVersion = ",
        L"Clean-up: the earlier files kept aside are removed",
        L"Clean-up: the unpacked files are removed",
    };
    EXPECT_EQ(observer.lines, expected);
}

TEST_F(InstallSteps, ReinstallKeepsTheDataFileAndOverwritesTheProgram)
{
    ::CreateDirectoryW((temp.Path() + L"程序").c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    ASSERT_TRUE(WriteBytesFile(target + L"data.dat", "user data"));
    ASSERT_TRUE(WriteBytesFile(target + L"Pinvora.exe", "old program"));
    ::CreateDirectoryW((target + L"res").c_str(), nullptr);
    ASSERT_TRUE(WriteBytesFile(target + L"res\\a.png", std::string(64 << 10, 'o')));
    inputs.previousInstallFound = true;
    inputs.previousInstallDir = target;
    inputs.autostart = false;

    ASSERT_TRUE(Run());
    const std::wstring size = L"Uninstall\\Kelbrin: EstimatedSize = " + std::to_wstring(InstalledSizeKiB(target));
    EXPECT_TRUE(std::any_of(observer.lines.begin(), observer.lines.end(),
                            [&](const std::wstring& line) { return line.find(size) != std::wstring::npos; }))
        << "the earlier files, kept aside until the end, are not counted";
    EXPECT_TRUE(observer.messages.empty()) << "same folder: no migration question";
    EXPECT_EQ(ReadBytesFile(target + L"data.dat"), "user data");
    EXPECT_EQ(ReadBytesFile(target + L"Pinvora.exe"), "new \\Pinvora.exe");
    EXPECT_EQ(RunValue(), L"<absent>") << "a clear check box writes no autostart value";
    for (const wchar_t* line : {L"Data file: the existing data.dat is kept",
                                L"Registry: no autostart value requested; an existing one is left as it is"})
        EXPECT_NE(std::find(observer.lines.begin(), observer.lines.end(), line), observer.lines.end()) << ToUtf8(line);
}

TEST_F(InstallSteps, ConfigFileBecomesTheDataFile)
{
    ::CreateDirectoryW((temp.Path() + L"程序").c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    ASSERT_TRUE(WriteBytesFile(target + L"config.xml", "old config"));
    ASSERT_TRUE(Run());
    EXPECT_EQ(ReadBytesFile(target + L"data.dat"), "old config");
}

class Migration : public InstallSteps {
protected:
    void SetUp() override
    {
        InstallSteps::SetUp();
        old = temp.Path() + L"old\\";
        ::CreateDirectoryW(old.c_str(), nullptr);
        for (const wchar_t* folder : {L"backup", L"res", L"image"})
            ::CreateDirectoryW((old + folder).c_str(), nullptr);
        for (const wchar_t* file : {L"data.dat", L"timer.dat", L"template.xml", L"backup\\b1.dat",
                                    L"image\\i1.png", L"res\\a.png", L"res\\mine.png"})
            ASSERT_TRUE(WriteBytesFile(old + file, "old " + ToUtf8(file)));
        inputs.previousInstallFound = true;
        inputs.previousInstallDir = old;
    }
    std::wstring old;
};

TEST_F(Migration, AnsweredYesCarriesTheDataOverAndLeavesTheOldFolderAlone)
{
    ASSERT_TRUE(Run());
    ASSERT_EQ(observer.messages.size(), 1u);
    const ShownMessage& question = observer.messages[0];
    EXPECT_EQ(question.text, L"检测到您之前已经安装了Tessamo且此次安装更换了安装目录，是否需要进行数据迁移？");
    EXPECT_EQ(question.title, L"数据迁移");
    EXPECT_EQ(question.firstButton, L"是");
    EXPECT_EQ(question.secondButton, L"否");

    EXPECT_EQ(ReadBytesFile(target + L"data.dat"), "old data.dat") << "migrated data is never replaced";
    EXPECT_EQ(ReadBytesFile(target + L"timer.dat"), "old timer.dat");
    EXPECT_EQ(ReadBytesFile(target + L"template.xml"), "old template.xml");
    EXPECT_EQ(ReadBytesFile(target + L"backup\\b1.dat"), "old backup\\b1.dat");
    EXPECT_EQ(ReadBytesFile(target + L"image\\i1.png"), "old image\\i1.png");
    EXPECT_EQ(ReadBytesFile(target + L"res\\mine.png"), "old res\\mine.png");
    EXPECT_EQ(ReadBytesFile(target + L"res\\a.png"), "new \\res\\a.png") << "package pictures overwrite";
    EXPECT_TRUE(FileExists(old + L"data.dat"));
    EXPECT_NE(std::find(observer.lines.begin(), observer.lines.end(),
                        L"Migration from " + old +
                            L": data.dat copied, timer.dat copied, backup\\ 1 files copied, res\\ 2 files copied, "
                            L"image\\ 1 files copied, template.xml copied"),
              observer.lines.end());
}

TEST_F(Migration, AnsweredNoCopiesNothingFromTheOldFolder)
{
    observer.answer = 2;
    ASSERT_TRUE(Run());
    EXPECT_EQ(ReadBytesFile(target + L"data.dat"), "package data");
    EXPECT_FALSE(FileExists(target + L"backup"));
    EXPECT_FALSE(FileExists(target + L"template.xml"));
}

TEST_F(Migration, AFolderDifferingOnlyInCaseCountsAsAnotherFolder)
{
    inputs.previousInstallDir = target;
    for (wchar_t& c : inputs.previousInstallDir)
        c = towupper(c);
    ::CreateDirectoryW((temp.Path() + L"程序").c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    Run();
    EXPECT_EQ(observer.messages.size(), 1u);
}

TEST_F(Migration, ClosingTheWindowAtTheQuestionStopsBeforeAnyCopy)
{
    observer.stopOnQuestion = true;
    EXPECT_EQ(RunSteps(), InstallResult::Stopped);
    EXPECT_TRUE(observer.codes.empty()) << "the window is gone; nothing is posted";
    EXPECT_FALSE(FileExists(target + L"data.dat"));
    EXPECT_FALSE(FileExists(target + L"Pinvora.exe"));
    EXPECT_EQ(extractionRemoved, 0);
}

TEST_F(InstallSteps, FailuresAreShownAndEndInTheFailedState)
{
    auto expectFailure = [&](InstallResult kind, const std::wstring& message) {
        observer = RecordingObserver();
        EXPECT_EQ(RunSteps(), kind);
        ASSERT_FALSE(observer.messages.empty());
        EXPECT_EQ(observer.messages.back().text, message);
        EXPECT_EQ(observer.messages.back().firstButton, L"确定");
        EXPECT_EQ(observer.messages.back().secondButton, L"");
        EXPECT_EQ(observer.codes.back(), ProgressFailed);
        EXPECT_TRUE(installDir.empty());
        EXPECT_EQ(extractionRemoved, 0) << "the extraction folder stays after a failure";
    };

    inputs.installPath = L"E:\\";
    expectFailure(InstallResult::InvalidFolder, L"无效的安装路径，请输入正确的安装路径！");

    inputs.installPath = temp.Path() + L"Tessamo\r\n";
    expectFailure(InstallResult::InvalidFolder, L"无效的安装路径，请输入正确的安装路径！");

    inputs.installPath = temp.Path().substr(0, 3) + L"a\\..\\";
    expectFailure(InstallResult::InvalidFolder, L"无效的安装路径，请输入正确的安装路径！");

    ASSERT_TRUE(WriteBytesFile(temp.Path() + L"blocker", "a file where a folder should be"));
    inputs.installPath = temp.Path() + L"blocker\\Tessamo";
    expectFailure(InstallResult::FolderNotCreated, L"创建文件夹\"" + temp.Path() + L"blocker\\Tessamo\"失败！");

    inputs.installPath = temp.Path() + L"ok";
    ASSERT_TRUE(::CreateDirectoryW(inputs.installPath.c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(inputs.installPath + L"\\res", "a file where a folder should be"));
    expectFailure(InstallResult::FolderNotCreated, L"创建目录失败！");

    inputs.installPath = temp.Path() + L"ok2";
    inputs.sourceDir = temp.Path() + L"missing";
    expectFailure(InstallResult::UnpackFailed, L"未找到源文件夹“" + temp.Path() + L"missing”");
}

TEST_F(InstallSteps, ALockedProgramStopsTheInstallationAndTakesBackTheReminderConversion)
{
    ::CreateDirectoryW((temp.Path() + L"程序").c_str(), nullptr);
    ::CreateDirectoryW(target.c_str(), nullptr);
    ASSERT_TRUE(WriteBytesFile(target + L"data.dat",
                               "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<config ver=\"1.5\"><notes><note>"
                               "<remind time=\"100\" type=\"1\" info=\"x\"><![CDATA[hi]]></remind></note></notes></config>"));
    ASSERT_TRUE(WriteBytesFile(target + L"Pinvora.exe", "running"));
    HANDLE running = ::CreateFileW((target + L"Pinvora.exe").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                   nullptr);
    ASSERT_NE(running, INVALID_HANDLE_VALUE);

    EXPECT_EQ(RunSteps(), InstallResult::FileNotCopied);
    ::CloseHandle(running);
    ASSERT_EQ(observer.messages.size(), 1u);
    EXPECT_EQ(observer.messages[0].text, L"拷贝文件“Pinvora.exe”失败！");
    EXPECT_EQ(observer.codes, std::vector<int>{ProgressFailed});
    EXPECT_FALSE(FileExists(target + L"timer.dat")) << "converted before the copy, taken back after it failed";
    EXPECT_EQ(ReadBytesFile(target + L"Pinvora.exe"), "running");
}

bool Holds(const std::vector<std::wstring>& lines, const std::wstring& line)
{
    return std::find(lines.begin(), lines.end(), line) != lines.end();
}

// Another program replaced the unpacked program before the elevated copy.
TEST_F(InstallSteps, AProgramChangedSinceItWasUnpackedIsNotInstalledAndTheLogNamesIt)
{
    ASSERT_TRUE(WriteBytesFile(source + L"\\Pinvora.exe", "someone else's program"));
    EXPECT_EQ(RunSteps(), InstallResult::FileNotCopied);
    EXPECT_EQ(observer.messages.back().text, L"拷贝文件“Pinvora.exe”失败！");
    EXPECT_FALSE(FileExists(target + L"Pinvora.exe"));
    EXPECT_TRUE(Holds(observer.lines, source + L"\\Pinvora.exe is not the file that was unpacked: not copied"));
}

TEST_F(InstallSteps, WithSomePartsMissingTheWindowSeesSuccessButTheResultSaysSo)
{
    ASSERT_TRUE(WriteBytesFile(source + L"\\使用说明.txt", "changed"));
    ASSERT_TRUE(WriteBytesFile(source + L"\\res\\planted.dll", "not from the package"));
    ASSERT_TRUE(::CreateDirectoryW((temp.Path() + L"程序").c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW(target.c_str(), nullptr));
    ASSERT_TRUE(::CreateDirectoryW((target + L"卸载Tessamo.exe").c_str(), nullptr));

    EXPECT_EQ(RunSteps(), InstallResult::PartsFailed);
    EXPECT_TRUE(observer.messages.empty());
    EXPECT_EQ(observer.codes.back(), ProgressSucceeded);
    EXPECT_EQ(installDir, target);
    EXPECT_TRUE(FileExists(target + L"res\\a.png"));
    EXPECT_FALSE(FileExists(target + L"res\\planted.dll")) << "only what was unpacked is installed";
    EXPECT_TRUE(Holds(observer.lines, L"Program files: Pinvora.exe copied, 使用说明.txt not copied, 卸载Tessamo.exe not copied"));
    EXPECT_TRUE(Holds(observer.lines, source + L"\\使用说明.txt is not the file that was unpacked: not copied"));
}

TEST_F(InstallSteps, AnInstallPathIsNormalisedBeforeItIsUsed)
{
    inputs.installPath = temp.Path() + L"x\\..\\程序//Tessamo";
    ASSERT_TRUE(Run());
    EXPECT_EQ(installDir, target);
    EXPECT_FALSE(FileExists(temp.Path() + L"x"));
}

bool CopyUnlessThere(const std::wstring& from, const std::wstring& to)
{
    return ::CopyFileW(from.c_str(), to.c_str(), TRUE) != FALSE;
}

TEST(CopyFolderFiles, CopiesOneLevelAndCountsTheFilesThatFailed)
{
    ScopedTempDir temp;
    const std::wstring from = temp.Path() + L"from\\", to = temp.Path() + L"to\\";
    ::CreateDirectoryW(from.c_str(), nullptr);
    ::CreateDirectoryW((from + L"sub").c_str(), nullptr);
    ::CreateDirectoryW(to.c_str(), nullptr);
    WriteBytesFile(from + L"a.txt", "new a");
    WriteBytesFile(from + L"b.txt", "new b");
    WriteBytesFile(from + L"sub\\c.txt", "c");
    WriteBytesFile(to + L"a.txt", "mine");

    const FolderCopy kept = CopyFolderFiles(from, to, CopyUnlessThere);
    EXPECT_EQ(kept.copied, 1u) << "b.txt";
    EXPECT_EQ(kept.failed, 1u) << "a.txt is there already; the subfolder is no file";
    EXPECT_EQ(ReadBytesFile(to + L"a.txt"), "mine");
    EXPECT_EQ(ReadBytesFile(to + L"b.txt"), "new b");
    EXPECT_FALSE(FileExists(to + L"sub\\c.txt"));
}

} // namespace
