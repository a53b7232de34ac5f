#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "InstallLog.h"
#include "TestSupport.h"

namespace {

struct LineCase {
    const char* what;
    std::wstring text;
    std::string stored;
};

TEST(InstallLog, EachLineIsTheTimeAndTheTextInUtf8)
{
    SYSTEMTIME time{};
    time.wHour = 9;
    time.wMinute = 5;
    time.wSecond = 3;
    time.wMilliseconds = 7;
    const LineCase cases[] = {
        {"plain", L"Exit code: 0", "09:05:03.007  Exit code: 0\r\n"},
        {"Chinese", L"安装失败！", "09:05:03.007  \xE5\xAE\x89\xE8\xA3\x85\xE5\xA4\xB1\xE8\xB4\xA5\xEF\xBC\x81\r\n"},
        {"a line break in a path", L"D:\\Tessamo\r\n", "09:05:03.007  D:\\Tessamo[0D][0A]\r\n"},
        {"a tab", L"a\tb", "09:05:03.007  a[09]b\r\n"},
        {"empty", L"", "09:05:03.007  \r\n"},
    };
    for (const LineCase& c : cases)
        EXPECT_EQ(FormatLogLine(time, c.text), c.stored) << c.what;
}

TEST(InstallLog, LinesReachTheFileAsTheyAreWrittenAfterAByteOrderMark)
{
    ScopedTempDir temp;
    const std::wstring path = temp.Path() + L"安装 日志.log";
    {
        InstallLog log;
        ASSERT_TRUE(log.Open(path, temp.Path()));
        log.Write(L"Tessamo Setup 9.3.6.0");
        log.Write(L"first");
        const std::string soFar = ReadBytesFile(path);
        EXPECT_EQ(soFar.substr(0, 3), "\xEF\xBB\xBF");
        EXPECT_NE(soFar.find("  first\r\n"), std::string::npos) << "readable before the log is closed";
        log.Write(L"second");
    }
    const std::string whole = ReadBytesFile(path);
    EXPECT_NE(whole.find("  first\r\n"), std::string::npos);
    EXPECT_NE(whole.find("  second\r\n"), std::string::npos);

    InstallLog again;
    ASSERT_TRUE(again.Open(path, temp.Path()));
    again.Write(L"new run");
    const std::string replaced = ReadBytesFile(path);
    EXPECT_EQ(replaced.find("first"), std::string::npos) << "a new run replaces the old log";
    EXPECT_EQ(replaced.rfind("\xEF\xBB\xBF"), 0u) << "one byte-order mark";
}

} // namespace
