// Where a log goes, on real files.
#include <windows.h>
#include <gtest/gtest.h>

#include <string>

#include "LogFile.h"
#include "TestSupport.h"

namespace {

const LogOwner Owner{L"Tessamo Setup", L"TessamoSetupTest.log"};

std::wstring FallbackPath()
{
    wchar_t folder[MAX_PATH + 1] = {};
    return std::wstring(folder, ::GetTempPathW(MAX_PATH + 1, folder)) + Owner.fallbackName;
}

class LogFiles : public testing::Test {
protected:
    void SetUp() override { ::DeleteFileW(FallbackPath().c_str()); }
    void TearDown() override { ::DeleteFileW(FallbackPath().c_str()); }

    // Opens, writes one line as the installer's first one, closes; the path written.
    std::wstring WriteLog(const std::wstring& requested)
    {
        OpenedLog log = OpenLogFile(requested, programFolder, Owner);
        if (!log.file.IsOpen())
            return {};
        SYSTEMTIME now{};
        const std::string line = FormatLogLine(now, L"Tessamo Setup 9.3.6.0");
        DWORD written = 0;
        ::WriteFile(log.file.Get(), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
        return log.path;
    }

    ScopedTempDir temp;
    const std::wstring programFolder = temp.Path() + L"dl\\";
};

TEST_F(LogFiles, MissingFoldersAreCreatedAndAnOldLogOfOursIsReplaced)
{
    const std::wstring path = temp.Path() + L"my logs\\2024\\setup.log";
    ASSERT_EQ(WriteLog(path), path);
    ASSERT_EQ(WriteLog(path), path);
    const std::string text = ReadBytesFile(path);
    EXPECT_EQ(text.rfind("\xEF\xBB\xBF"), 0u) << "one log, not two";
    EXPECT_NE(text.find("  Tessamo Setup 9.3.6.0\r\n"), std::string::npos);
}

TEST_F(LogFiles, AnEmptyFileIsTakenForTheLog)
{
    const std::wstring path = temp.Path() + L"setup.log";
    ASSERT_TRUE(WriteBytesFile(path, ""));
    EXPECT_EQ(WriteLog(path), path);
}

TEST_F(LogFiles, ARelativePathIsTakenFromTheInstallersFolder)
{
    ASSERT_EQ(WriteLog(L"logs\\setup.log"), programFolder + L"logs\\setup.log");
    EXPECT_TRUE(FileExists(programFolder + L"logs\\setup.log"));
    ASSERT_EQ(WriteLog(L"..\\up.log"), temp.Path() + L"up.log");
}

// The installer runs elevated: a /log= aimed at someone's file must not wipe it.
TEST_F(LogFiles, AFileThatIsNotOurLogIsKeptAndTheLogGoesToTheTemporaryFolderSayingWhy)
{
    const std::wstring notOurs = temp.Path() + L"report.docx";
    const std::string theirs = "\xEF\xBB\xBF" "09:00:00.000  Quarterly report";
    ASSERT_TRUE(WriteBytesFile(notOurs, theirs));
    const std::wstring blocker = temp.Path() + L"blocker";
    ASSERT_TRUE(WriteBytesFile(blocker, "a file where a folder should be"));

    for (const std::wstring& requested : {notOurs, blocker + L"\\setup.log", temp.Path()}) {
        SCOPED_TRACE(ToUtf8(requested));
        ASSERT_EQ(WriteLog(requested), FallbackPath());
        const std::string fallback = ReadBytesFile(FallbackPath());
        const size_t firstLineEnd = fallback.find("\r\n");
        EXPECT_NE(fallback.find("Tessamo Setup: the log "), std::string::npos);
        EXPECT_LT(fallback.find(ToUtf8(requested.substr(temp.Path().size()))), firstLineEnd) << fallback;
        EXPECT_GT(fallback.find("Tessamo Setup 9.3.6.0"), firstLineEnd);
    }
    EXPECT_EQ(ReadBytesFile(notOurs), theirs);
    EXPECT_EQ(ReadBytesFile(blocker), "a file where a folder should be");
}

TEST_F(LogFiles, NoLogAtAllWhenTheTemporaryFileIsNotOursEither)
{
    ASSERT_TRUE(WriteBytesFile(FallbackPath(), "someone's notes"));
    const std::wstring notOurs = temp.Path() + L"notes.txt";
    ASSERT_TRUE(WriteBytesFile(notOurs, "mine"));
    EXPECT_EQ(WriteLog(notOurs), L"");
    EXPECT_EQ(ReadBytesFile(FallbackPath()), "someone's notes");
    EXPECT_EQ(ReadBytesFile(notOurs), "mine");
}

} // namespace
