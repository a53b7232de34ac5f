#include <gtest/gtest.h>

#include <windows.h>

#include "InstallDirectory.h"
#include "RunState.h"

namespace {

class FixedCandidates : public InstallDirCandidates {
public:
    FixedCandidates(std::wstring shared, std::wstring autostart, std::wstring location, std::wstring programFiles)
        : shared(std::move(shared)), autostart(std::move(autostart)), location(std::move(location)),
          programFiles(std::move(programFiles))
    {
    }
    std::wstring SharedPath() override { return asked += L"1", shared; }
    std::wstring AutostartCommand() override { return asked += L"2", autostart; }
    std::wstring Location() override { return asked += L"3", location; }
    std::wstring ProgramFiles() override { return asked += L"4", programFiles; }

    std::wstring asked;

private:
    std::wstring shared, autostart, location, programFiles;
};

struct ChoiceCase {
    const wchar_t* name;
    const wchar_t* shared;
    const wchar_t* autostart;
    const wchar_t* location;
    const wchar_t* programFiles;
    const wchar_t* directory;
    bool fromApplication;
    bool found;
    InstallDirSource source;
    const wchar_t* asked;
};

class InstallDirChoice : public testing::TestWithParam<ChoiceCase> {};

TEST_P(InstallDirChoice, FirstCandidateOfThreeCharactersWins)
{
    const ChoiceCase& c = GetParam();
    FixedCandidates candidates(c.shared, c.autostart, c.location, c.programFiles);
    ProposedInstallDir proposal = ChooseInstallDir(candidates);
    EXPECT_EQ(proposal.directory, c.directory);
    EXPECT_EQ(proposal.fromApplication, c.fromApplication);
    EXPECT_EQ(proposal.found, c.found);
    EXPECT_EQ(proposal.source, c.source) << "the log says which candidate won";
    EXPECT_EQ(candidates.asked, c.asked) << "later candidates are not read";
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, InstallDirChoice,
    testing::Values(
        ChoiceCase{L"SharedPath", L"C:\\Apps\\Tessamo\\Pinvora.exe", L"", L"", L"", L"C:\\Apps\\Tessamo\\", true, true, InstallDirSource::SharedPath, L"1"},
        ChoiceCase{L"Autostart", L"", L"D:\\T\\Pinvora.exe", L"", L"", L"D:\\T\\", true, true, InstallDirSource::AutostartCommand, L"12"},
        ChoiceCase{L"LocationWithBackslash", L"", L"", L"D:\\Tools\\Tessamo\\", L"", L"D:\\Tools\\Tessamo\\", false, true, InstallDirSource::Location, L"123"},
        ChoiceCase{L"LocationWithoutBackslash", L"", L"", L"D:\\Tools\\Tessamo", L"", L"D:\\Tools\\", false, true, InstallDirSource::Location, L"123"},
        ChoiceCase{L"ProgramFiles", L"", L"", L"", L"C:\\Program Files\\Tessamo\\", L"C:\\Program Files\\Tessamo\\", false, true, InstallDirSource::ProgramFiles, L"1234"},
        // A shared path without a folder still marks the proposal as the application's.
        ChoiceCase{L"SharedPathWithoutFolder", L"Pinvora.exe", L"", L"E:\\x\\y", L"", L"E:\\x\\", true, true, InstallDirSource::Location, L"123"},
        ChoiceCase{L"ShortDirectoryIsSkipped", L"", L"", L"C:Pinvora", L"", L"", false, false, InstallDirSource::Default, L"1234"},
        ChoiceCase{L"Nothing", L"", L"", L"", L"", L"", false, false, InstallDirSource::Default, L"1234"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name, info.param.name + wcslen(info.param.name)); });

struct DriveCase {
    std::vector<DriveRoot> roots;
    const wchar_t* windowsDir;
    UINT typeOfD;
    const wchar_t* drive;
};

class PreferredDrive : public testing::TestWithParam<DriveCase> {};

TEST_P(PreferredDrive, IsAFixedDrive)
{
    const DriveCase& c = GetParam();
    EXPECT_EQ(PreferredInstallDrive(c.roots, c.windowsDir, c.typeOfD), c.drive);
}

INSTANTIATE_TEST_SUITE_P(
    Layouts, PreferredDrive,
    testing::Values(
        // The first fixed drive that is not the Windows drive.
        DriveCase{{{L"A:\\", DRIVE_REMOVABLE}, {L"C:\\", DRIVE_FIXED}, {L"E:\\", DRIVE_FIXED}}, L"C:\\windows",
                  DRIVE_NO_ROOT_DIR, L"E:\\"},
        DriveCase{{{L"C:\\", DRIVE_FIXED}, {L"D:\\", DRIVE_FIXED}}, L"D:\\windows", DRIVE_FIXED, L"C:\\"},
        // Else D: when it is a fixed drive, else C:. A disc or a stick in D: is no place to install.
        DriveCase{{{L"C:\\", DRIVE_FIXED}, {L"D:\\", DRIVE_CDROM}}, L"C:\\windows", DRIVE_CDROM, L"C:\\"},
        DriveCase{{{L"C:\\", DRIVE_FIXED}, {L"D:\\", DRIVE_REMOVABLE}}, L"C:\\windows", DRIVE_REMOVABLE, L"C:\\"},
        DriveCase{{{L"C:\\", DRIVE_FIXED}}, L"C:\\windows", DRIVE_NO_ROOT_DIR, L"C:\\"},
        DriveCase{{{L"D:\\", DRIVE_FIXED}}, L"D:\\windows", DRIVE_FIXED, L"D:\\"},
        // Without the list of drives only D: is asked about.
        DriveCase{{}, L"", DRIVE_FIXED, L"D:\\"}, DriveCase{{}, L"", DRIVE_CDROM, L"C:\\"}));

TEST(DefaultInstallDir, UsesTheSecondFixedDriveOfThisMachine)
{
    // The test prefix has C: (Windows) and a fixed D:.
    EXPECT_EQ(DefaultInstallDir(), L"D:\\Program Files\\Tessamo\\");
}

// "Location" is read into 1000 bytes: 499 characters and the NUL fit, a longer value
// counts as absent instead of being read past the buffer or cut short.
TEST(FindDefaultInstallDir, ReadsALocationThatFitsTheBufferAndIgnoresALongerOne)
{
    const wchar_t* const kelbrin = L"SOFTWARE\\Kelbrin";
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run", L"Pinvora");
    const std::wstring fitting = L"C:\\" + std::wstring(495, L'长') + L"\\";
    for (const std::wstring& location : {fitting, fitting + L"x"}) {
        ::RegSetKeyValueW(HKEY_CURRENT_USER, kelbrin, L"Location", REG_SZ, location.c_str(),
                          static_cast<DWORD>((location.size() + 1) * sizeof(wchar_t)));
        const bool fits = location.size() == 499;
        EXPECT_EQ(FindDefaultInstallDir().directory == fitting, fits) << location.size();
    }
    ::RegDeleteKeyValueW(HKEY_CURRENT_USER, kelbrin, L"Location");
    UpgradeMode = PreviousInstallFound = 0;
    PreviousInstallDir.clear();
}

TEST(WithProductFolder, AppendsTheProductFolderOnlyOnce)
{
    EXPECT_EQ(WithProductFolder(L"E:\\Apps"), L"E:\\Apps\\Tessamo\\");
    EXPECT_EQ(WithProductFolder(L"E:\\Apps\\Tessamo"), L"E:\\Apps\\Tessamo\\");
    EXPECT_EQ(WithProductFolder(L"E:\\Apps\\Tessamo\\"), L"E:\\Apps\\Tessamo\\");
    EXPECT_EQ(WithProductFolder(L"E:\\"), L"E:\\Tessamo\\");
    // Only the tail counts: "essamo2\\" does not hold the product name.
    EXPECT_EQ(WithProductFolder(L"E:\\Tessamo2"), L"E:\\Tessamo2\\Tessamo\\");
}

} // namespace
