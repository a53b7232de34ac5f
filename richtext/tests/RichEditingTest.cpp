#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>

#include "EditTestWindow.h"
#include "FixedMeasurer.h"
#include "TestSupport.h"
#include "ToolkitTestSupport.h"

namespace {

// The engine's editing behaviour, driven through a focused edit field with real input.
class RichEditing : public testing::Test {
protected:
    // `more` configures the field further before it is created.
    void Open(bool multiLine, std::function<void(CQEdit&)> more = nullptr)
    {
        MoveMouseTo(1000, 700);
        if (multiLine)
            w.editHeight = 120;
        w.configure = [multiLine, more](CQEdit& edit) {
            edit.SetLayoutFlags(multiLine ? 0 : 0x24);
            if (more)
                more(edit);
        };
        ASSERT_TRUE(w.Open());
        ::SetForegroundWindow(w.window);
        PumpMessages(50);
        Focus();
    }
    void Focus()
    {
        ClickClient(w.edit.window, w.editWidth - 3, 3);
        ASSERT_TRUE(PumpUntil([&] { return w.edit.HasFocus(); }));
    }
    std::wstring Text() const { return w.edit.GetText(); }

    EditTestWindow w;
};

TEST_F(RichEditing, UndoTakesTypedWordsBackAndRedoRestoresThemStepByStep)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abc def");
    ASSERT_EQ(Text(), L"abc def");

    PressControlKey('Z');
    EXPECT_EQ(Text(), L"abc ");
    PressControlKey('Z');
    EXPECT_EQ(Text(), L"");

    PressControlKey('Y');
    EXPECT_EQ(Text(), L"abc");
    PressControlKey('Y');
    EXPECT_EQ(Text(), L"abc ");
    PressControlKey('Y');
    EXPECT_EQ(Text(), L"abc def");
    EXPECT_EQ(w.edit.CaretIndex(), 7);
}

// Keys pressed one after another through the real input queue.
struct KeyStep {
    WORD modifier;  // 0, VK_SHIFT or VK_CONTROL
    WORD key;       // 0 when `typed` is set
    const wchar_t* typed;
};

KeyStep Key(WORD key) { return {0, key, nullptr}; }
KeyStep Shift(WORD key) { return {VK_SHIFT, key, nullptr}; }
KeyStep Control(WORD key) { return {VK_CONTROL, key, nullptr}; }
KeyStep Type(const wchar_t* text) { return {0, 0, text}; }

void Press(const KeyStep& step)
{
    if (step.typed)
        TypeText(step.typed);
    else if (step.modifier == VK_SHIFT)
        PressShiftKey(step.key);
    else if (step.modifier == VK_CONTROL)
        PressControlKey(step.key);
    else
        PressKey(step.key);
}

struct KeyCase {
    const char* name;
    bool multiLine;
    bool autoNumbering;
    std::wstring text;
    int caret;
    std::vector<KeyStep> keys;
    std::wstring expectedText;
    int expectedCaret;
    // The text keeps its scroll position: only the caret moves.
    bool keepsScroll;
};

void PrintTo(const KeyCase& value, std::ostream* out)
{
    *out << value.name;
}

class RichEditingKeys : public RichEditing, public testing::WithParamInterface<KeyCase> {};

TEST_P(RichEditingKeys, LeaveThisTextAndCaret)
{
    const KeyCase& c = GetParam();
    ASSERT_NO_FATAL_FAILURE(Open(c.multiLine, [&c](CQEdit& edit) { edit.SetAutoNumbering(c.autoNumbering); }));
    w.edit.SetText(c.text);
    w.edit.SetCaretIndex(c.caret, false);
    const int horizontal = w.edit.HorizontalOffset();
    const int vertical = w.edit.VerticalOffset();
    for (const KeyStep& step : c.keys)
        Press(step);
    EXPECT_EQ(Text(), c.expectedText);
    EXPECT_EQ(w.edit.CaretIndex(), c.expectedCaret);
    if (c.keepsScroll) {
        EXPECT_EQ(w.edit.HorizontalOffset(), horizontal);
        EXPECT_EQ(w.edit.VerticalOffset(), vertical);
    }
}

const std::wstring LongLine(150, L'w');

INSTANTIATE_TEST_SUITE_P(
    Keys, RichEditingKeys,
    testing::Values(
        // Numbered lists.
        KeyCase{"EnterContinuesANumberedListAndRenumbersTheLinesBelow", true, true,
                L"3.x\r\n4.y\r\n5.z", 3, {Key(VK_RETURN)}, L"3.x\r\n4.\r\n5.y\r\n6.z", 7, true},
        KeyCase{"EnterGrowsANumberByADigit", true, true,
                L"8.x\r\n9.y", 3, {Key(VK_RETURN)}, L"8.x\r\n9.\r\n10.y", 7, true},
        KeyCase{"EnterRenumbersOnPastANumberThatGrew", true, true,
                L"8.x\r\n9.y\r\n10.z", 3, {Key(VK_RETURN)}, L"8.x\r\n9.\r\n10.y\r\n11.z", 7, true},
        KeyCase{"BackspaceRemovesAListNumberAndRenumbersTheLinesBelow", true, false,
                L"10.a\r\n11.b\r\n12.\r\n13.c\r\n14.d\r\n20.e", 15, {Key(VK_BACK)},
                L"10.a\r\n11.b\r\n\r\n12.c\r\n13.d\r\n20.e", 12, true},
        KeyCase{"BackspaceRenumbersOnPastANumberThatShrank", true, false,
                L"x\r\n9.\r\n10.a\r\n11.b", 5, {Key(VK_BACK)}, L"x\r\n\r\n9.a\r\n10.b", 3, true},
        KeyCase{"RenumberingLeavesTheTextAfterTheListAlone", true, false,
                L"x\r\n9.\r\n10.a\r\n211.b", 5, {Key(VK_BACK)}, L"x\r\n\r\n9.a\r\n211.b", 3, true},
        KeyCase{"OneUndoTakesBackALineBreakWithItsRenumbering", true, true,
                L"8.x\r\n9.y\r\n10.z", 3, {Key(VK_RETURN), Control('Z')}, L"8.x\r\n9.y\r\n10.z", 3, true},
        KeyCase{"RedoBringsTheRenumberingBackWithTheLineBreak", true, true,
                L"8.x\r\n9.y\r\n10.z", 3, {Key(VK_RETURN), Control('Z'), Control('Y')},
                L"8.x\r\n9.\r\n10.y\r\n11.z", 7, true},
        KeyCase{"OneUndoTakesBackARemovedListNumberWithItsRenumbering", true, false,
                L"x\r\n9.\r\n10.a\r\n11.b", 5, {Key(VK_BACK), Control('Z')}, L"x\r\n9.\r\n10.a\r\n11.b", 5, true},
        // Caret movement.
        KeyCase{"UpGoesToTheLineAbove", true, false, L"abc\r\ndef", 7, {Key(VK_UP)}, L"abc\r\ndef", 2, true},
        KeyCase{"DownComesBack", true, false, L"abc\r\ndef", 7, {Key(VK_UP), Key(VK_DOWN)}, L"abc\r\ndef", 7, true},
        KeyCase{"EndStaysOnTheCaretsLine", true, false, L"abc\r\ndef", 7, {Key(VK_END)}, L"abc\r\ndef", 8, true},
        KeyCase{"HomeStaysOnTheCaretsLine", true, false, L"abc\r\ndef", 7, {Key(VK_HOME)}, L"abc\r\ndef", 5, true},
        KeyCase{"HomeReachesTheStartOfAScrolledSingleLine", false, false, LongLine, 150, {Key(VK_HOME)}, LongLine, 0, false},
        KeyCase{"EndReachesTheEndOfAScrolledSingleLine", false, false, LongLine, 150, {Key(VK_HOME), Key(VK_END)}, LongLine, 150, false},
        KeyCase{"LeftInAScrolledSingleLineMovesTheCaretNotTheText", false, false, LongLine, 150, {Key(VK_LEFT)}, LongLine, 149, true},
        // Selection.
        KeyCase{"ShiftArrowsSelectWhatTypingReplaces", false, false,
                L"hello", 5, {Key(VK_LEFT), Shift(VK_LEFT), Shift(VK_LEFT), Type(L"X")}, L"heXo", 3, true},
        KeyCase{"AnArrowCollapsesTheSelection", false, false,
                L"hello", 5, {Key(VK_LEFT), Shift(VK_LEFT), Shift(VK_LEFT), Key(VK_LEFT), Type(L"X")}, L"heXllo", 3, true},
        KeyCase{"ShiftPressedAfterTypingOverASelectionSelectsNothing", false, false,
                L"abcd", 4, {Shift(VK_LEFT), Shift(VK_LEFT), Type(L"x"), Key(VK_SHIFT), Type(L"y")}, L"abxy", 4, true},
        // Undo and redo.
        KeyCase{"RedoOfADeleteLeavesTheCaretWhereTheDeleteDid", false, false,
                L"abc", 1, {Key(VK_DELETE), Control('Z'), Control('Y')}, L"ac", 1, true}),
    [](const testing::TestParamInfo<KeyCase>& info) { return std::string(info.param.name); });

// Without a window: the grouping of undo steps alone.
TEST(RichEditingUndo, TypingElsewhereStartsANewUndoStep)
{
    struct Case {
        const wchar_t* description;
        std::function<void(TestModel&)> edit;
        const wchar_t* afterOneUndo;
    };
    auto type = [](TestModel& model, const std::wstring& text) {
        for (wchar_t c : text)
            model.TypeCharacter(c);
    };
    const Case cases[] = {
        {L"one word", [&](TestModel& m) { type(m, L"abc"); }, L""},
        {L"after a space", [&](TestModel& m) { type(m, L"ab cd"); }, L"ab "},
        {L"after a caret move",
         [&](TestModel& m) {
             type(m, L"ab");
             m.SetCaretIndex(0, false);
             type(m, L"x");
         },
         L"ab"},
        {L"after a line break",
         [&](TestModel& m) {
             type(m, L"ab");
             m.InsertLineBreak();
             type(m, L"cd");
         },
         L"ab\r\n"},
    };
    for (const Case& c : cases) {
        TestModel model;
        model.SetText(L"");
        model.SetRect(0, 0, 300, 100);
        c.edit(model);
        model.Undo();
        EXPECT_EQ(Characters(model), c.afterOneUndo) << c.description;
    }
}

TEST_F(RichEditing, UndoOfBackspaceBringsTheCharacterBack)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"xy");
    PressKey(VK_BACK);
    EXPECT_EQ(Text(), L"x");
    PressControlKey('Z');
    EXPECT_EQ(Text(), L"xy");
    EXPECT_EQ(w.edit.CaretIndex(), 2);
}

TEST_F(RichEditing, CopyWithNothingSelectedPutsEmptyTextAndPastingItInventsNothing)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abc");
    PutClipboardText(L"before");
    PressControlKey('C');
    EXPECT_EQ(ClipboardText(), L"");
    PressControlKey('V');
    EXPECT_EQ(Text(), L"abc");
}

TEST_F(RichEditing, CutWithNothingSelectedMovesTheCaretToTheStartAndKeepsTheText)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abc");
    PressControlKey('X');
    EXPECT_EQ(Text(), L"abc");
    EXPECT_EQ(w.edit.CaretIndex(), 0);
    EXPECT_EQ(ClipboardText(), L"");
}

TEST_F(RichEditing, CutMovesTheSelectionToTheClipboard)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abcd");
    PressShiftKey(VK_LEFT);
    PressShiftKey(VK_LEFT);
    PressControlKey('X');
    EXPECT_EQ(Text(), L"ab");
    EXPECT_EQ(ClipboardText(), L"cd");
}

TEST_F(RichEditing, ACharacterCountsAsPassedFromSixtyPercentOfItsWidth)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"a国b");
    ASSERT_EQ(w.edit.GetCount(), 3);
    const RichElement& wide = *w.edit.Elements()[1];
    const int left = wide.x + w.edit.HorizontalOffset();
    const int y = wide.y + w.edit.VerticalOffset() + wide.height / 2;
    struct Case {
        int offset;
        int caret;
    };
    const int before = wide.width * 59 / 100;
    const int after = (wide.width * 60 + 99) / 100;
    ASSERT_LT(before, after);
    for (const Case& c : {Case{before, 1}, Case{after, 2}}) {
        // Apart by more than the double-click time, so each is a click of its own.
        PumpMessages(::GetDoubleClickTime() + 100);
        ClickClient(w.edit.window, left + c.offset, y);
        EXPECT_EQ(w.edit.CaretIndex(), c.caret) << "offset " << c.offset << " of " << wide.width;
    }
}

TEST_F(RichEditing, DraggingTheMouseSelectsFromThePressToTheRelease)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abcdef");
    ASSERT_EQ(w.edit.GetCount(), 6);
    auto middleOf = [&](int index) {
        const RichElement& element = *w.edit.Elements()[index];
        return ScreenPoint(w.edit.window, element.x + w.edit.HorizontalOffset() + 1,
                           element.y + w.edit.VerticalOffset() + element.height / 2);
    };
    POINT from = middleOf(1);
    POINT to = middleOf(4);
    MoveMouseTo(from.x, from.y);
    PressMouse();
    PumpMessages(80);
    EXPECT_TRUE(w.edit.IsDragging());
    MoveMouseTo(to.x, to.y);
    PumpMessages(80);
    ReleaseMouse();
    PumpMessages(80);
    EXPECT_FALSE(w.edit.IsDragging());
    PressControlKey('C');
    EXPECT_EQ(ClipboardText(), L"bcd");
}

TEST_F(RichEditing, AStyledCopyPastedBackKeepsItsStyles)
{
    ASSERT_NO_FATAL_FAILURE(Open(true));
    w.edit.SetHtml(L"<font color=\"#ff0000\" size=\"12\" bold=\"1\">ab<br>cd</font>");
    PumpMessages(50);
    PressControlKey('A');
    PressControlKey('C');
    EXPECT_EQ(ClipboardText(), L"ab\r\ncd");
    EXPECT_TRUE(ClipboardHas(CRichDraw::MarkupClipboardFormat));
    PressControlKey(VK_END);
    PressControlKey('V');
    ASSERT_EQ(Text(), L"ab\r\ncdab\r\ncd");
    for (int i = 6; i < w.edit.GetCount(); ++i) {
        const RichElement& pasted = *w.edit.Elements()[i];
        EXPECT_EQ(pasted.bold, 1) << i;
        EXPECT_EQ(pasted.textColour, RGB(255, 0, 0)) << i;
        EXPECT_EQ(pasted.size, 120) << i;
    }
}

TEST_F(RichEditing, TextThatLooksLikeMarkUpIsPastedBackUnchanged)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    const std::wstring typed = L"x<a>y<font>z<br>w";
    TypeText(typed);
    ASSERT_EQ(Text(), typed);
    PressControlKey('A');
    PressControlKey('C');
    PressControlKey(VK_END);
    PressControlKey('V');
    EXPECT_EQ(Text(), typed + typed);
}

TEST_F(RichEditing, LinesPastedIntoASingleLineFieldBecomeZeroWidthElements)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    PutClipboardText(L"one\r\ntwo");
    PressControlKey('V');
    ASSERT_EQ(Text(), L"one\r\ntwo");
    EXPECT_EQ(w.edit.Lines().size(), 1u);
    EXPECT_EQ(w.edit.Elements()[3]->width, 0);
    EXPECT_EQ(w.edit.Elements()[4]->width, 0);
}

TEST_F(RichEditing, TheWheelScrollsMultiLineTextButNotASingleLine)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    w.edit.SetText(std::wstring(200, L'm'));
    int before = w.edit.HorizontalOffset();
    int verticalBefore = w.edit.VerticalOffset();
    TurnWheel(-WHEEL_DELTA);
    TurnWheel(WHEEL_DELTA);
    EXPECT_EQ(w.edit.HorizontalOffset(), before);
    EXPECT_EQ(w.edit.VerticalOffset(), verticalBefore);

    w.edit.SetLayoutFlags(0);
    w.edit.SetText(L"1\r\n2\r\n3\r\n4\r\n5\r\n6\r\n7\r\n8\r\n9\r\n10\r\n11\r\n12");
    w.edit.ScrollTo(0, 0);
    TurnWheel(-WHEEL_DELTA);
    EXPECT_EQ(w.edit.VerticalOffset(), -w.edit.DefaultLineHeight());
}

TEST_F(RichEditing, DigitsOnlyRefusesATypedLetterButNotAPastedOne)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    w.edit.SetDigitsOnly(true);
    TypeText(L"a1");
    EXPECT_EQ(Text(), L"1");
    PutClipboardText(L"b");
    PressControlKey('V');
    EXPECT_EQ(Text(), L"1b");
}

TEST_F(RichEditing, ControlBTogglesBoldOnTheSelection)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"ab");
    ASSERT_EQ(w.edit.GetCount(), 2);
    PressControlKey('A');
    PressControlKey('B');
    EXPECT_EQ(w.edit.Elements()[0]->bold, 1);
    EXPECT_EQ(w.edit.Elements()[1]->bold, 1);
    PressControlKey('B');
    EXPECT_EQ(w.edit.Elements()[0]->bold, 0);
}

TEST_F(RichEditing, ReadOnlyTextIsCopiedButNeverCut)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abc");
    w.edit.SetReadOnly(true);
    w.edit.SelectRange(0, -1);
    PressControlKey('X');
    EXPECT_EQ(ClipboardText(), L"abc");
    EXPECT_EQ(Text(), L"abc");
}

TEST_F(RichEditing, ADoubleClickSelectsTheCharacterBeforeTheCaret)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"abcdef");
    ASSERT_EQ(w.edit.GetCount(), 6);
    const RichElement& third = *w.edit.Elements()[2];
    POINT point = ScreenPoint(w.edit.window, third.x + w.edit.HorizontalOffset() + third.width - 1,
                              third.y + w.edit.VerticalOffset() + third.height / 2);
    PumpMessages(::GetDoubleClickTime() + 100);
    MoveMouseTo(point.x, point.y);
    PressMouse();
    ReleaseMouse();
    PressMouse();
    ReleaseMouse();
    PumpMessages(150);
    PressControlKey('C');
    EXPECT_EQ(ClipboardText(), L"c");
}

TEST_F(RichEditing, DraggingPastTheLeftEdgeScrollsASingleLineAndSelects)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    w.edit.SetText(std::wstring(150, L'w'));
    w.edit.SetCaretIndex(150, false);
    const int scrolled = w.edit.HorizontalOffset();
    ASSERT_LT(scrolled, 0);

    POINT inside = ScreenPoint(w.edit.window, 40, w.editHeight / 2);
    MoveMouseTo(inside.x, inside.y);
    PressMouse();
    PumpMessages(80);
    const int anchor = w.edit.CaretIndex();
    POINT outside = ScreenPoint(w.edit.window, -15, w.editHeight / 2);
    MoveMouseTo(outside.x, outside.y);
    EXPECT_TRUE(PumpUntil([&] { return w.edit.HorizontalOffset() > scrolled; }, 3000));
    ReleaseMouse();
    // The button is released outside the field; the drag timer notices.
    EXPECT_TRUE(PumpUntil([&] { return !w.edit.IsDragging(); }, 3000));
    EXPECT_LT(w.edit.CaretIndex(), anchor);
    EXPECT_TRUE(w.edit.HasSelection());
    PressControlKey('C');
    EXPECT_EQ(ClipboardText().size(), static_cast<size_t>(anchor - w.edit.CaretIndex()));
}

TEST_F(RichEditing, TheMouseOverTheTextShowsTheTextCursor)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    POINT inside = ScreenPoint(w.edit.window, 30, w.editHeight / 2);
    MoveMouseTo(inside.x, inside.y);
    PumpMessages(100);
    EXPECT_EQ(::GetCursor(), ::LoadCursorW(nullptr, IDC_IBEAM));
}

// A host window with a vertical scroll bar; the scroll codes are handed to the engine as
// a host's WM_VSCROLL handler would.
TEST(RichEditingScrollBar, ScrollBarCodesMoveTheTextWithinItsHeight)
{
    HWND host = ::CreateWindowExW(0, L"STATIC", L"", WS_POPUP | WS_VSCROLL | WS_VISIBLE, 50, 50,
                                  200, 100, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_TRUE(host);
    {
        CRichDraw engine;
        engine.Attach(host);
        engine.SetVerticalScrollBar(true);
        RECT client{};
        ::GetClientRect(host, &client);
        engine.SetRect(2, 0, client.right - 2, client.bottom);
        std::wstring lines;
        for (int i = 0; i < 30; ++i)
            lines += L"line\r\n";
        engine.SetText(lines);
        const int line = engine.DefaultLineHeight();
        const int page = client.bottom;
        const int lowest = engine.ContentHeight() - page + 1;
        ASSERT_GT(lowest, 3 * page);
        ASSERT_LT(lowest, 4 * page);
        struct Case {
            int code;
            int position;
        };
        const Case cases[] = {
            {SB_LINEDOWN, line},         {SB_LINEDOWN, 2 * line}, {SB_LINEUP, line},
            {SB_LINEUP, 0},              {SB_LINEUP, 0},          {SB_PAGEDOWN, page},
            {SB_PAGEUP, 0},              {SB_PAGEDOWN, page},     {SB_PAGEDOWN, 2 * page},
            {SB_PAGEDOWN, 3 * page},     {SB_PAGEDOWN, lowest},   {SB_ENDSCROLL, lowest},
        };
        for (const Case& c : cases) {
            engine.OnVScroll(c.code);
            EXPECT_EQ(::GetScrollPos(host, SB_VERT), c.position) << c.code;
            int expectedOffset = std::max(-c.position, page - engine.ContentHeight());
            EXPECT_EQ(engine.VerticalOffset(), expectedOffset) << c.code;
        }
    }
    ::DestroyWindow(host);
}

TEST_F(RichEditing, ReadOnlyTextDraggedPastItsTopSpringsBack)
{
    ASSERT_NO_FATAL_FAILURE(Open(true));
    std::wstring lines;
    for (int i = 0; i < 20; ++i)
        lines += L"line\r\n";
    w.edit.SetText(lines);
    w.edit.SetDragScroll(true);
    w.edit.SetReadOnly(true);
    ASSERT_EQ(w.edit.VerticalOffset(), 0);

    POINT from = ScreenPoint(w.edit.window, 50, 20);
    MoveMouseTo(from.x, from.y);
    PressMouse();
    PumpMessages(50);
    for (int step = 1; step <= 6; ++step) {
        MoveMouseTo(from.x, from.y + 5 * step);
        PumpMessages(30);
    }
    EXPECT_TRUE(PumpUntil([&] { return w.edit.VerticalOffset() > 0; }, 2000));
    // Pulled down by 1.5 times the movement, at most 30 percent of the height.
    EXPECT_LE(w.edit.VerticalOffset(), w.editHeight * 3 / 10);
    ReleaseMouse();
    EXPECT_TRUE(PumpUntil([&] { return w.edit.VerticalOffset() == 0; }, 3000));
    PumpMessages(100);
    EXPECT_EQ(w.edit.VerticalOffset(), 0);
}

TEST(RichEditingLists, AFullDocumentRefusesTheLineBreakAndLeavesTheListAlone)
{
    TestModel model;
    model.SetAutoNumbering(true);
    model.SetRect(0, 0, 300, 100);
    model.SetText(L"8.x\r\n9.y");
    model.SetMaxLength(model.GetCount());
    model.SetCaretIndex(3, false);
    model.InsertLineBreak();
    EXPECT_EQ(Characters(model), L"8.x\r\n9.y");
    EXPECT_EQ(model.UndoHistory().CurrentIndex(), -1) << "nothing happened, nothing to undo";
}

TEST_F(RichEditing, APasswordIsNeitherCopiedNorCutNorShownAsALink)
{
    ASSERT_NO_FATAL_FAILURE(Open(false, [](CQEdit& edit) { edit.SetPassword(true); }));
    TypeText(L"www.secret");
    ASSERT_EQ(Text(), L"www.secret");
    const auto& elements = w.edit.Elements();
    EXPECT_TRUE(std::all_of(elements.begin(), elements.end(),
                            [](const RichElement* e) { return e->maskCharacter == L'*'; }));
    EXPECT_EQ(std::count_if(elements.begin(), elements.end(),
                            [](const RichElement* e) { return e->underline || e->link; }),
              0)
        << "no link under the mask";
    PutClipboardText(L"before");
    PressControlKey('A');
    PressControlKey('C');
    EXPECT_EQ(ClipboardText(), L"before");
    PressControlKey('X');
    EXPECT_EQ(ClipboardText(), L"before");
    EXPECT_EQ(Text(), L"www.secret");
}

TEST_F(RichEditing, ReadOnlyTextKeepsItsStyles)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"ab");
    w.edit.SetReadOnly(true);
    w.edit.SelectRange(0, -1);
    const struct {
        WORD key;
        int RichElement::*attribute;
    } toggles[] = {{'B', &RichElement::bold}, {'I', &RichElement::italic},
                   {'T', &RichElement::strikeout}, {'U', &RichElement::underline}};
    for (const auto& toggle : toggles) {
        PressControlKey(toggle.key);
        const auto& elements = w.edit.Elements();
        EXPECT_EQ(std::count_if(elements.begin(), elements.end(),
                                [&](const RichElement* e) { return e->*toggle.attribute != 0; }),
                  0)
            << "Control+" << static_cast<char>(toggle.key);
    }
}

// The system frees every block on the clipboard when it is emptied, the engine's private
// mark-up format too; the engine must not free it a second time.
TEST_F(RichEditing, TheSystemFreesTheCopiedMarkUpWhenTheClipboardIsEmptied)
{
    ASSERT_NO_FATAL_FAILURE(Open(false));
    TypeText(L"ab");
    PressControlKey('A');
    PressControlKey('C');
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HANDLE markup = ::GetClipboardData(CRichDraw::MarkupClipboardFormat);
    ::CloseClipboard();
    ASSERT_TRUE(markup);
    EXPECT_GT(::GlobalSize(markup), 0u);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    ::EmptyClipboard();
    EXPECT_EQ(::GlobalSize(markup), 0u) << "freed by the system";
    ::CloseClipboard();
}

}  // namespace
