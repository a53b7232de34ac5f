#include <windows.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "InstallReport.h"
#include "TestSupport.h"

namespace {

// The window side of an installation as a script: what it was told, what it answers.
class ScriptedObserver : public InstallObserver {
public:
    void Progress(int code) override { calls.push_back(L"progress " + std::to_wstring(code)); }
    int ShowMessage(const std::wstring& text, HWND, const std::wstring&, const std::wstring&,
                    const std::wstring&) override
    {
        calls.push_back(L"box " + text);
        return answer;
    }
    bool StopRequested() override { return stop; }
    void Record(const std::wstring& line) override { calls.push_back(L"record " + line); }

    std::vector<std::wstring> calls;
    int answer = 1;
    bool stop = false;
};

// The log's lines without the byte-order mark and the time in front of each.
std::vector<std::string> LoggedLines(const std::wstring& path)
{
    const std::string text = ReadBytesFile(path);
    std::vector<std::string> lines;
    const size_t timeWidth = std::string("09:05:03.007  ").size();
    for (size_t at = 3, end; (end = text.find("\r\n", at)) != std::string::npos; at = end + 2)
        lines.push_back(text.substr(at + timeWidth, end - at - timeWidth));
    return lines;
}

class InstallReport : public testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(log.Open(path, L"C:\\")); }

    ScopedTempDir temp;
    const std::wstring path = temp.Path() + L"setup.log";
    InstallLog log;
    ScriptedObserver inner;
};

TEST_F(InstallReport, TheLoggedObserverPassesEverythingOnAndWritesItDown)
{
    inner.answer = 2;
    inner.stop = true;
    LoggedObserver logged(inner, log);
    logged.Progress(1);
    EXPECT_EQ(logged.ShowMessage(L"迁移？", nullptr, L"数据迁移", L"是", L"否"), 2);
    EXPECT_EQ(logged.ShowMessage(L"出错", nullptr, L"", L"确定", L""), 2);
    logged.Record(L"res\\: 8 files copied");
    logged.Progress(10);
    EXPECT_TRUE(logged.StopRequested());

    EXPECT_EQ(inner.calls, (std::vector<std::wstring>{L"progress 1", L"box 迁移？", L"box 出错",
                                                      L"record res\\: 8 files copied", L"progress 10"}));
    EXPECT_EQ(LoggedLines(path), (std::vector<std::string>{ToUtf8(L"Progress 1: 安装进行中，正在解压文件..."),
                                                            ToUtf8(L"Message box \"数据迁移\": 迁移？ [是/否]"),
                                                            ToUtf8(L"Answer: 否"), ToUtf8(L"Message box: 出错 [确定]"),
                                                            "res\\: 8 files copied", "Progress 10"}));
}

struct AnswerCase {
    int answer;
    const wchar_t* logged;
};

TEST_F(InstallReport, TheAnswerIsTheButtonChosen)
{
    // 0: the box could not be shown.
    const AnswerCase cases[] = {{1, L"Answer: 重试"}, {2, L"Answer: 取消"}, {0, L"Answer: none"}};
    for (const AnswerCase& c : cases)
        EXPECT_EQ(ShowLogged(log, L"?", L"", L"重试", L"取消", [&] { return c.answer; }), c.answer);
    const std::vector<std::string> lines = LoggedLines(path);
    ASSERT_EQ(lines.size(), 6u);
    for (size_t i = 0; i < 3; ++i)
        EXPECT_EQ(lines[2 * i + 1], ToUtf8(cases[i].logged));
}

} // namespace
