#include <gtest/gtest.h>

#include <cwchar>
#include <string>

#include "EditTestWindow.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

constexpr COLORREF Grey = RGB(128, 128, 128);
constexpr COLORREF Blue = RGB(0, 0, 200);

class CountingListener : public IRichListener {
public:
    int enters = 0;
    void OnEnter() override { ++enters; }
};

class QEdit : public testing::Test {
protected:
    void Open(std::function<void(CQEdit&)> configure = nullptr)
    {
        MoveMouseTo(1000, 700);
        w.configure = std::move(configure);
        ASSERT_TRUE(w.Open());
        ::SetForegroundWindow(w.window);
        PumpMessages(50);
    }
    void FocusEdit()
    {
        ClickClient(w.edit.window, w.editWidth - 3, 3);
        ASSERT_TRUE(PumpUntil([&] { return w.edit.HasFocus(); }));
    }
    void FocusOther()
    {
        ClickClient(w.other.window, 5, 5);
        ASSERT_TRUE(PumpUntil([&] { return w.other.HasFocus(); }));
    }
    // Colour of the buffer pixel at a client point of the edit field.
    COLORREF EditPixel(int x, int y) const
    {
        uint32_t pixel = w.BackPixel(EditTestWindow::EditLeft + x, EditTestWindow::EditTop + y);
        return RGB((pixel >> 16) & 0xFF, (pixel >> 8) & 0xFF, pixel & 0xFF);
    }

    EditTestWindow w;
};

TEST_F(QEdit, AnEmptyUnfocusedFieldShowsThePlaceholderInItsColour)
{
    Open([](CQEdit& edit) {
        edit.SetPassword(true);
        edit.SetPlaceholderColour(Grey);
        edit.SetTextColour(Blue);
        edit.SetPlaceholder(L"请输入");
    });
    EXPECT_EQ(w.edit.GetText(), L"");
    ASSERT_EQ(w.edit.PlainText(), L"请输入");
    for (const RichElement* element : w.edit.Elements()) {
        EXPECT_EQ(element->textColour, Grey);
        EXPECT_EQ(element->maskCharacter, 0);  // unmasked even in password mode
    }

    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    EXPECT_EQ(w.edit.GetCount(), 0);
    TypeText(L"ab");
    ASSERT_EQ(w.edit.GetCount(), 2);
    EXPECT_EQ(w.edit.Elements()[0]->maskCharacter, L'*');
    EXPECT_EQ(w.edit.GetText(), L"ab");
}

TEST_F(QEdit, TypingExactlyThePlaceholderReadsAsEmpty)
{
    Open([](CQEdit& edit) { edit.SetPlaceholder(L"path"); });
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    TypeText(L"path");
    EXPECT_EQ(w.edit.GetText(), L"");
    TypeText(L"s");
    EXPECT_EQ(w.edit.GetText(), L"paths");
}

TEST_F(QEdit, PasswordCharactersAreMeasuredAsStarsButReadAsTyped)
{
    Open([](CQEdit& edit) { edit.SetPassword(true); });
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    TypeText(L"W国");
    ASSERT_EQ(w.edit.GetCount(), 2);
    EXPECT_EQ(w.edit.Elements()[0]->width, w.edit.Elements()[1]->width);
    EXPECT_EQ(w.edit.Elements()[1]->maskCharacter, L'*');
    EXPECT_EQ(w.edit.GetText(), L"W国");
}

TEST_F(QEdit, WithTheSetupSettingsA261stCharacterAndEnterAreRefused)
{
    CountingListener listener;
    Open([&](CQEdit& edit) {
        edit.SetTextColour(0);
        edit.SetText(std::wstring(259, L'p'));
        edit.SetMaxLength(260);
        edit.SetLayoutFlags(0x24);
        edit.SetListener(&listener);
    });
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    PressControlKey(VK_END);
    TypeText(L"qr");
    EXPECT_EQ(w.edit.GetText(), std::wstring(259, L'p') + L"q");
    PressKey(VK_RETURN);
    EXPECT_EQ(w.edit.GetCount(), 260);
    EXPECT_EQ(listener.enters, 1);
}

TEST_F(QEdit, MarginsNarrowTheTextRectangleAndSurviveAResize)
{
    Open([](CQEdit& edit) { edit.SetMargins(5, 5, 5, 5); });
    RECT text = w.edit.TextRect();
    EXPECT_EQ(text.left, 5);
    EXPECT_EQ(text.top, 5);
    EXPECT_EQ(text.right - text.left, w.editWidth - 10);
    EXPECT_EQ(text.bottom - text.top, w.editHeight - 10);

    ::SetWindowPos(w.edit.window, nullptr, 0, 0, 200, 40, SWP_NOMOVE | SWP_NOZORDER);
    PumpMessages(50);
    text = w.edit.TextRect();
    EXPECT_EQ(text.right - text.left, 190);
    EXPECT_EQ(text.bottom - text.top, 30);
}

TEST_F(QEdit, TheBackgroundFillAndTheTextAreDrawnIntoTheWindowBuffer)
{
    Open([](CQEdit& edit) {
        edit.SetBackground(RGB(255, 255, 255));
        edit.SetTextColour(RGB(0, 0, 0));
        edit.SetText(L"国国国");
        edit.SetLayoutFlags(0x24);
    });
    w.ComposeAndUpdate();
    EXPECT_EQ(EditPixel(w.editWidth - 2, 2), RGB(255, 255, 255));
    const RichElement& first = *w.edit.Elements()[0];
    int dark = 0;
    for (int y = 0; y < w.editHeight; ++y) {
        for (int x = first.x; x < first.x + first.width; ++x) {
            COLORREF c = EditPixel(x, y);
            dark += GetRValue(c) < 100 && GetGValue(c) < 100 && GetBValue(c) < 100 ? 1 : 0;
        }
    }
    EXPECT_GT(dark, 10);
    // Outside the field the window's own fill stays.
    uint32_t outside = w.BackPixel(EditTestWindow::EditLeft - 2, EditTestWindow::EditTop + 2);
    EXPECT_EQ(outside & 0xFFFFFF, 0xE6E6E6u);
}

TEST_F(QEdit, OtherWindowsReadThePlainTextThroughGetTextMessages)
{
    Open([](CQEdit& edit) { edit.SetText(L"C:\\Program Files\\Tessamo\\"); });
    const std::wstring expected = L"C:\\Program Files\\Tessamo\\";
    EXPECT_EQ(::SendMessageW(w.edit.window, WM_GETTEXTLENGTH, 0, 0),
              static_cast<LRESULT>(expected.size()));
    wchar_t buffer[64] = {};
    EXPECT_EQ(::SendMessageW(w.edit.window, WM_GETTEXT, 64, reinterpret_cast<LPARAM>(buffer)),
              static_cast<LRESULT>(expected.size()));
    EXPECT_EQ(std::wstring(buffer), expected);

    wchar_t shortBuffer[4] = {L'x', L'x', L'x', L'x'};
    EXPECT_EQ(::SendMessageW(w.edit.window, WM_GETTEXT, 4, reinterpret_cast<LPARAM>(shortBuffer)), 3);
    EXPECT_EQ(std::wstring(shortBuffer), L"C:\\");
}

// Runs the reader program on the field and returns what it read; the test's thread
// keeps answering messages meanwhile.
std::wstring ReadFromAnotherProcess(HWND field, DWORD* exitCode)
{
    ScopedTempDir folder;
    const std::wstring output = folder.Path() + L"text.bin";
    wchar_t handle[32];
    swprintf(handle, 32, L"%lx", static_cast<unsigned long>(reinterpret_cast<UINT_PTR>(field)));
    std::wstring command = L"C:\\bin\\WindowTextReader.exe " + std::wstring(handle) + L" \"" + output + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION process{};
    if (!::CreateProcessW(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &process))
        return L"<not started>";
    PumpUntil([&] { return ::WaitForSingleObject(process.hProcess, 0) == WAIT_OBJECT_0; }, 20000);
    ::GetExitCodeProcess(process.hProcess, exitCode);
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    const std::string bytes = ReadBytesFile(output);
    return std::wstring(reinterpret_cast<const wchar_t*>(bytes.data()), bytes.size() / sizeof(wchar_t));
}

TEST_F(QEdit, AnotherProcessReadsTheTypedPath)
{
    Open([](CQEdit& edit) {
        edit.SetMaxLength(260);
        edit.SetLayoutFlags(0x24);
    });
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    const std::wstring typed = L"D:\\软件\\Tessamo\\";
    TypeText(typed);
    DWORD length = 0;
    EXPECT_EQ(ReadFromAnotherProcess(w.edit.window, &length), typed);
    EXPECT_EQ(length, typed.size());
}

TEST_F(QEdit, StylesSurviveAFocusRoundTrip)
{
    Open([](CQEdit& edit) { edit.SetPlaceholder(L"hint"); });
    w.edit.SetHtml(L"<font color=\"#00ff00\" bold=\"1\">ok</font>");
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    ASSERT_EQ(w.edit.GetText(), L"ok");
    EXPECT_EQ(w.edit.Elements()[0]->bold, 1);
    EXPECT_EQ(w.edit.Elements()[0]->textColour, RGB(0, 255, 0));
}

TEST_F(QEdit, TextThatLooksLikeMarkUpSurvivesAFocusRoundTrip)
{
    Open([](CQEdit& edit) { edit.SetPlaceholder(L"hint"); });
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    const std::wstring typed = L"a<font>b<img>c";
    TypeText(typed);
    ASSERT_NO_FATAL_FAILURE(FocusOther());
    EXPECT_EQ(w.edit.GetText(), typed);
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    EXPECT_EQ(w.edit.GetText(), typed);
}

TEST_F(QEdit, ClearingTheTextShowsThePlaceholderAndFocusDoesNotBringTheOldTextBack)
{
    Open([](CQEdit& edit) {
        edit.SetPlaceholder(L"hint");
        edit.SetText(L"old");
    });
    w.edit.SetText(L"");
    EXPECT_EQ(w.edit.PlainText(), L"hint");
    ASSERT_NO_FATAL_FAILURE(FocusEdit());
    EXPECT_EQ(w.edit.PlainText(), L"");
}

TEST_F(QEdit, AClickPutsTheFocusAndTheCaretIntoTheField)
{
    Open([](CQEdit& edit) { edit.SetText(L"abcdef"); });
    const RichElement& third = *w.edit.Elements()[2];
    ClickClient(w.edit.window, third.x + w.edit.HorizontalOffset() + 1,
                third.y + w.edit.VerticalOffset() + third.height / 2);
    ASSERT_TRUE(PumpUntil([&] { return w.edit.HasFocus(); }));
    EXPECT_EQ(w.edit.CaretIndex(), 2);
    EXPECT_TRUE(w.edit.HasSystemCaret());
}

}  // namespace
