#include <gtest/gtest.h>

#include "InstallDirectory.h"

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
    EXPECT_EQ(candidates.asked, c.asked) << "later candidates are not read";
}

INSTANTIATE_TEST_SUITE_P(
    Candidates, InstallDirChoice,
    testing::Values(
        ChoiceCase{L"SharedPath", L"C:\\Apps\\Tessamo\\Pinvora.exe", L"", L"", L"", L"C:\\Apps\\Tessamo\\", true, true, L"1"},
        ChoiceCase{L"Autostart", L"", L"D:\\T\\Pinvora.exe", L"", L"", L"D:\\T\\", true, true, L"12"},
        ChoiceCase{L"LocationWithBackslash", L"", L"", L"D:\\Tools\\Tessamo\\", L"", L"D:\\Tools\\Tessamo\\", false, true, L"123"},
        ChoiceCase{L"LocationWithoutBackslash", L"", L"", L"D:\\Tools\\Tessamo", L"", L"D:\\Tools\\", false, true, L"123"},
        ChoiceCase{L"ProgramFiles", L"", L"", L"", L"C:\\Program Files\\Tessamo\\", L"C:\\Program Files\\Tessamo\\", false, true, L"1234"},
        // A shared path without a folder still marks the proposal as the application's.
        ChoiceCase{L"SharedPathWithoutFolder", L"Pinvora.exe", L"", L"E:\\x\\y", L"", L"E:\\x\\", true, true, L"123"},
        ChoiceCase{L"ShortDirectoryIsSkipped", L"", L"", L"C:Pinvora", L"", L"", false, false, L"1234"},
        ChoiceCase{L"Nothing", L"", L"", L"", L"", L"", false, false, L"1234"}),
    [](const testing::TestParamInfo<ChoiceCase>& info) { return std::string(info.param.name, info.param.name + wcslen(info.param.name)); });

TEST(PreferredInstallDrive, FirstFixedDriveOtherThanTheWindowsDrive)
{
    EXPECT_EQ(PreferredInstallDrive({{L"A:\\", DRIVE_REMOVABLE}, {L"C:\\", DRIVE_FIXED}, {L"E:\\", DRIVE_FIXED}},
                                    L"C:\\windows"),
              L"E:\\");
    EXPECT_EQ(PreferredInstallDrive({{L"C:\\", DRIVE_FIXED}, {L"D:\\", DRIVE_CDROM}}, L"C:\\windows"), L"D:\\");
    EXPECT_EQ(PreferredInstallDrive({{L"C:\\", DRIVE_FIXED}}, L"C:\\windows"), L"D:\\");
    EXPECT_EQ(PreferredInstallDrive({{L"C:\\", DRIVE_FIXED}, {L"D:\\", DRIVE_FIXED}}, L"D:\\windows"), L"C:\\");
}

TEST(DefaultInstallDir, UsesTheSecondFixedDriveOfThisMachine)
{
    // The test prefix has C: (Windows) and a fixed D:.
    EXPECT_EQ(DefaultInstallDir(), L"D:\\Program Files\\Tessamo\\");
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
