#include <gtest/gtest.h>

#include "FixedMeasurer.h"
#include "RichListNumbers.h"

namespace {

TEST(RichListNumbers, LinesStartAtTheBeginningAndAfterEveryLineFeed)
{
    TestModel model;
    model.SetText(L"a\r\nb\nc\r\n");
    EXPECT_EQ(LineStarts(model.Elements()), (std::vector<int>{0, 3, 5}));
    // The next start after an index; a final line feed starts no line.
    const int after[][2] = {{0, 3}, {2, 3}, {3, 5}, {4, 5}, {5, -1}, {7, -1}};
    for (const auto& c : after)
        EXPECT_EQ(NextLineStart(model.Elements(), c[0]), c[1]) << c[0];
}

TEST(RichListNumbers, ANumberIsDigitsFollowedByAFullStop)
{
    struct Case {
        const wchar_t* text;
        int maxDigits;
        int digits;
        int value;
    };
    const Case cases[] = {
        {L"1.x", 3, 1, 1},      {L"12.", 3, 2, 12},   {L"999.", 3, 3, 999},
        {L"1000.", 3, 0, 0},    {L"1000.", 4, 4, 1000}, {L"12", 3, 0, 0},
        {L"12 .", 3, 0, 0},     {L".", 3, 0, 0},      {L"a1.", 3, 0, 0},
    };
    for (const Case& c : cases) {
        TestModel model;
        model.SetText(c.text);
        int value = 0;
        EXPECT_EQ(ReadLineNumber(model.Elements(), 0, c.maxDigits, &value), c.digits) << c.text;
        if (c.digits > 0) {
            EXPECT_EQ(value, c.value) << c.text;
        }
    }
}

TEST(RichListNumbers, BackspaceRuleNeedsALineFeedBeforeTheNumber)
{
    struct Case {
        const wchar_t* text;
        int caret;
        int digits;
    };
    const Case cases[] = {
        {L"x\n12.", 5, 2},   {L"x\r\n7.", 5, 1},  {L"12.", 3, 0},  // document start
        {L"x\n1234.", 7, 0}, {L"x\n12.a", 6, 0},  {L"x\n12.", 4, 0},
        {L"x\na2.", 5, 0},
    };
    for (const Case& c : cases) {
        TestModel model;
        model.SetText(c.text);
        EXPECT_EQ(ListNumberBeforeIndex(model.Elements(), c.caret), c.digits) << c.text;
    }
}

TEST(RichListNumbers, RenumberingDownStopsAtTheFirstLineOutOfSequence)
{
    TestModel model;
    model.SetText(L"1.a\n5.b\n6.c\n9.d\n10.e");
    model.SetCaretIndex(1, false);
    model.Renumber(5, false);
    EXPECT_EQ(Characters(model), L"1.a\n4.b\n5.c\n9.d\n10.e");
}

TEST(RichListNumbers, RenumberingDownShrinksANumberByADigitAndUndoesAsOneStep)
{
    TestModel model;
    model.SetText(L"x\n10.b\n11.c");
    // The last digit's style stays with the last digit.
    model.Elements()[3]->bold = 1;
    model.SetCaretIndex(0, false);
    model.Renumber(10, false);
    EXPECT_EQ(Characters(model), L"x\n9.b\n10.c");
    EXPECT_EQ(model.Elements()[2]->bold, 1);
    model.Undo();
    EXPECT_EQ(Characters(model), L"x\n10.b\n11.c");
    EXPECT_EQ(model.Elements()[3]->bold, 1);
}

// One undo takes an Enter or a Backspace back whole, the renumbering of the lines below
// included, and one redo does it again.
struct NumberedEditCase {
    const char* name;
    const wchar_t* text;
    int caret;
    void (CRichModel::*edit)();
    const wchar_t* edited;
};

void PrintTo(const NumberedEditCase& c, std::ostream* out)
{
    *out << c.name;
}

class NumberedEdits : public testing::TestWithParam<NumberedEditCase> {};

TEST_P(NumberedEdits, AreUndoneAndRedoneWhole)
{
    const NumberedEditCase& c = GetParam();
    TestModel model;
    model.SetRect(0, 0, 600, 200);
    model.SetAutoNumbering(true);
    model.SetText(c.text);
    const std::vector<RichElement*> original = model.Elements();
    model.SetCaretIndex(c.caret, false);
    (model.*c.edit)();
    ASSERT_EQ(Characters(model), c.edited);
    const std::vector<RichElement*> edited = model.Elements();

    model.Undo();
    EXPECT_EQ(Characters(model), c.text);
    EXPECT_EQ(model.Elements(), original);
    EXPECT_EQ(model.UndoHistory().CurrentIndex(), -1);
    model.Redo();
    EXPECT_EQ(Characters(model), c.edited);
    EXPECT_EQ(model.Elements(), edited);
}

INSTANTIATE_TEST_SUITE_P(
    RichListNumbers, NumberedEdits,
    testing::Values(
        NumberedEditCase{"EnterRenumbersUp", L"3.x\r\n4.y\r\n5.z", 3, &CRichModel::InsertLineBreak,
                         L"3.x\r\n4.\r\n5.y\r\n6.z"},
        NumberedEditCase{"EnterGrowsANumber", L"8.x\r\n9.y", 3, &CRichModel::InsertLineBreak,
                         L"8.x\r\n9.\r\n10.y"},
        NumberedEditCase{"BackspaceRenumbersDown", L"10.a\r\n11.b\r\n12.\r\n13.c\r\n14.d", 15,
                         &CRichModel::Backspace, L"10.a\r\n11.b\r\n\r\n12.c\r\n13.d"}),
    [](const testing::TestParamInfo<NumberedEditCase>& info) { return std::string(info.param.name); });

}  // namespace
