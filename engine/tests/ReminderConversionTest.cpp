#include <gtest/gtest.h>

#include "ReminderConversion.h"
#include "ReminderTestData.h"
#include "TestSupport.h"

using namespace reminder_test_data;

namespace {

struct ConvertCase {
    const char* name;
    std::optional<std::string> dataFile;
    bool expectedResult;
    std::optional<std::vector<Reminder>> expectedTimer; // nothing: the old file stays
};

void PrintTo(const ConvertCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConvertRemindersCases : public testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertRemindersCases, WriteTimerDatOnlyWhenRemindersWereConverted)
{
    const ConvertCase& c = GetParam();
    ScopedTempDir installDir;
    const std::string oldTimer = "old timer";
    ASSERT_TRUE(WriteBytesFile(installDir.Path() + L"timer.dat", oldTimer));
    if (c.dataFile) {
        ASSERT_TRUE(WriteBytesFile(installDir.Path() + L"data.dat", *c.dataFile));
    }

    EXPECT_EQ(ConvertReminders(installDir.Path()), c.expectedResult);

    std::string timer = ReadBytesFile(installDir.Path() + L"timer.dat");
    EXPECT_EQ(timer, c.expectedTimer ? EncodeTimerFile(*c.expectedTimer) : oldTimer);
    if (c.dataFile) {
        EXPECT_EQ(ReadBytesFile(installDir.Path() + L"data.dat"), *c.dataFile);
    }
}

std::vector<ConvertCase> ConvertCases()
{
    const std::vector<Reminder> meeting{Remind(L"1588300800", L"1", L"7", L"开会")};
    return {
        {"Plain", DataFile(L"", OneReminder), true, meeting},
        {"Scrambled", Scrambled(DataFile(L" ver=\"1.5\"", OneReminder)), true, meeting},
        {"NoRemindersLeaveTheOldFile", DataFile(L"", L"<note/>"), true, std::nullopt},
        {"CurrentVersionLeavesTheOldFile", DataFile(L" ver=\"1.6\"", OneReminder), false,
         std::nullopt},
        {"NoDataFile", std::nullopt, false, std::nullopt},
        {"DataFileOf3Bytes", std::string("<a/"), false, std::nullopt},
        {"DataFileNotXml", std::string("garbage!"), false, std::nullopt},
    };
}

INSTANTIATE_TEST_SUITE_P(ReminderConversion, ConvertRemindersCases,
                         testing::ValuesIn(ConvertCases()),
                         [](const testing::TestParamInfo<ConvertCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(ReminderConversion, ConvertingWithoutAnOldTimerFileCreatesIt)
{
    ScopedTempDir installDir;
    ASSERT_TRUE(WriteBytesFile(installDir.Path() + L"data.dat", DataFile(L"", OneReminder)));
    EXPECT_TRUE(ConvertReminders(installDir.Path()));
    std::string timer = ReadBytesFile(installDir.Path() + L"timer.dat");
    std::string text = Unscrambled(timer);
    ASSERT_FALSE(text.empty());
    EXPECT_EQ(text.back(), '\0');
    EXPECT_EQ(text.substr(0, text.size() - 1), FormatTimerText({Remind(L"1588300800", L"1", L"7", L"开会")}));
}

} // namespace
