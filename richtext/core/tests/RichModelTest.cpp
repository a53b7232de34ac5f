#include <gtest/gtest.h>

#include "FixedMeasurer.h"

namespace {

class RecordingListener : public IRichListener {
public:
    std::vector<int> heights;
    std::vector<std::pair<int, int>> scrolls;
    int changes = 0;
    void OnHeightChanged(int height) override { heights.push_back(height); }
    void OnChanged(CRichModel*) override { ++changes; }
    void OnScrolled(int h, int v) override { scrolls.push_back({h, v}); }
};

TEST(RichModel, InsertingBeyondTheMaximumKeepsOnlyWhatFits)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.SetMaxLength(260);
    model.InsertText(std::wstring(255, L'x'), 0, PlainStyle());
    model.InsertText(L"abcdefgh", 255, PlainStyle());
    EXPECT_EQ(model.GetCount(), 260);
    EXPECT_EQ(Characters(model).substr(255), L"abcde");
    model.InsertChar(L'z', 0, PlainStyle());
    EXPECT_EQ(model.GetCount(), 260);
}

TEST(RichModel, InsertTextAppliesTheStyleAndMovesTheCaretPastIt)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"ad", 0, PlainStyle());
    RichStyle style = PlainStyle();
    style.bold = 1;
    style.textColour = 0x0000FF;
    style.size = 120;
    model.InsertText(L"bc", 1, style);
    EXPECT_EQ(Characters(model), L"abcd");
    EXPECT_EQ(model.CaretIndex(), 3);
    EXPECT_EQ(model.Elements()[1]->bold, 1);
    EXPECT_EQ(model.Elements()[1]->textColour, 0x0000FFu);
    EXPECT_EQ(model.Elements()[2]->size, 120);
    EXPECT_EQ(model.Elements()[3]->bold, 0);
    ASSERT_EQ(model.UndoHistory().Records().size(), 2u);
    EXPECT_EQ(model.UndoHistory().Records()[1].kind, UndoInsert);
    EXPECT_EQ(model.UndoHistory().Records()[1].position, 1);
    EXPECT_EQ(model.UndoHistory().Records()[1].Count(), 2);
}

TEST(RichModel, AppendPlainTextKeepsTheElementDefaultsAndMasks)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.Fixed().sizes[L'*'] = {9, 12};
    model.SetMaskChar(L'*');
    model.AppendPlainText(L"pw");
    const RichElement& first = *model.Elements()[0];
    EXPECT_EQ(first.character, L'p');
    EXPECT_EQ(first.maskCharacter, L'*');
    EXPECT_EQ(first.width, 9);
    EXPECT_EQ(first.size, 90);
    EXPECT_EQ(*first.face, L"宋体");
    EXPECT_EQ(first.transparentBackground, 1);
}

TEST(RichModel, SetTextLeavesAnEmptyUndoListAndTheCaretAtTheStart)
{
    TestModel model;
    RecordingListener listener;
    model.SetListener(&listener);
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"old", 0, PlainStyle());
    model.SetText(L"new text");
    EXPECT_EQ(Characters(model), L"new text");
    EXPECT_TRUE(model.UndoHistory().Records().empty());
    EXPECT_EQ(model.UndoHistory().CurrentIndex(), -1);
    EXPECT_EQ(model.CaretIndex(), 0);
    EXPECT_EQ(listener.changes, 1);
}

TEST(RichModel, SetTextWithNothingLeavesNoStaleLines)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.SetText(L"abc\r\ndef");
    model.SetText(L"");
    EXPECT_EQ(model.GetCount(), 0);
    EXPECT_TRUE(model.Lines().empty());
    EXPECT_EQ(model.CaretPosition().x, 0);
    EXPECT_EQ(model.LineOfIndex(0), -1);
}

struct DeleteCase {
    const char* name;
    const wchar_t* text;
    int index;
    const wchar_t* left;
    int caret;
};

void PrintTo(const DeleteCase& value, std::ostream* out) { *out << value.name; }

class DeleteAtCases : public testing::TestWithParam<DeleteCase> {};

TEST_P(DeleteAtCases, RemovesTheElementOrTheWholeLineBreak)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(GetParam().text, 0, PlainStyle());
    model.DeleteAt(GetParam().index);
    EXPECT_EQ(Characters(model), GetParam().left);
    EXPECT_EQ(model.CaretIndex(), GetParam().caret);
}

INSTANTIATE_TEST_SUITE_P(Deletes, DeleteAtCases,
                         testing::Values(DeleteCase{"OneCharacter", L"abc", 1, L"ac", 1},
                                         DeleteCase{"CarriageReturnTakesItsLineFeed", L"a\r\nb", 1, L"ab", 1},
                                         DeleteCase{"LineFeedTakesItsCarriageReturn", L"a\r\nb", 2, L"ab", 1},
                                         DeleteCase{"LoneCarriageReturn", L"a\rb", 1, L"ab", 1},
                                         DeleteCase{"LoneLineFeed", L"a\nb", 1, L"ab", 1},
                                         DeleteCase{"PastTheEndIsIgnored", L"abc", 3, L"abc", 3},
                                         DeleteCase{"NegativeIndexIsIgnored", L"abc", -1, L"abc", 3}));

TEST(RichModel, DeletionIsRecordedEvenWithoutUndoRecordingAndElementsSurvive)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.SetText(L"x\r\ny");
    model.DeleteAt(2);
    ASSERT_EQ(model.UndoHistory().Records().size(), 1u);
    const UndoRecord& record = model.UndoHistory().Records()[0];
    EXPECT_EQ(record.kind, UndoDelete);
    EXPECT_EQ(record.position, 1);
    ASSERT_EQ(record.Count(), 2);
    EXPECT_EQ(record.elements[0]->character, L'\r');
    EXPECT_EQ(record.elements[1]->character, L'\n');
}

TEST(RichModel, DeleteSelectionRemovesSelectedCharactersAndPictures)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"abcdef", 0, PlainStyle());
    model.InsertHtml(L"<img src=\"p.png\" width=\"10\" height=\"10\"/>", 3);
    ASSERT_EQ(model.GetCount(), 7);
    model.SelectRange(2, 5);  // c, picture, d
    model.DeleteSelection();
    EXPECT_EQ(Characters(model), L"abef");
    EXPECT_EQ(model.GetCount(), 4);
    EXPECT_EQ(model.CaretIndex(), 2);
    const UndoRecord& record = model.UndoHistory().Records().back();
    EXPECT_EQ(record.kind, UndoDelete);
    EXPECT_EQ(record.position, 2);
    EXPECT_EQ(record.Count(), 3);
}

TEST(RichModel, UndoOfASelectionWithALineBreakInsertedInsideRestoresTheOrder)
{
    // Select all, Enter in the middle (which keeps the selection), then Delete: the line
    // break stays between the two removed runs.
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.SetText(L"ab");
    model.SelectRange(0, -1);
    model.SetCaretIndex(1, false);
    model.InsertLineBreak();
    model.DeleteSelection();
    ASSERT_EQ(Characters(model), L"\r\n");
    const std::vector<RichElement*> afterDeletion = model.Elements();

    model.Undo();
    EXPECT_EQ(Characters(model), L"a\r\nb");
    model.Undo();
    EXPECT_EQ(Characters(model), L"ab");
    model.Redo();
    model.Redo();
    EXPECT_EQ(model.Elements(), afterDeletion);
}

TEST(RichModel, DeleteSelectionOfAPictureAloneRemovesIt)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertHtml(L"a<img src=\"p.png\" width=\"10\" height=\"10\"/>b", 0);
    model.SelectRange(1, 2);
    model.DeleteSelection();
    EXPECT_EQ(model.GetCount(), 2);
    EXPECT_EQ(model.UndoHistory().Records().back().Count(), 1);
}

TEST(RichModel, WwwRunIsLinkedAndUnderlinedUpToTheSpace)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"see www.abc.com now", 0, PlainStyle());
    for (int i = 0; i < model.GetCount(); ++i) {
        bool inRun = i >= 4 && i < 15;
        EXPECT_EQ(model.Elements()[i]->underline, inRun ? 1 : 0) << i;
        EXPECT_EQ(LinkAt(model, i), inRun ? L"www.abc.com" : L"") << i;
    }
    // One shared link for the run.
    EXPECT_EQ(model.Elements()[4]->link, model.Elements()[14]->link);
}

TEST(RichModel, DeletingACharacterShortensTheLink)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"www.abc x", 0, PlainStyle());
    model.DeleteAt(5);
    EXPECT_EQ(LinkAt(model, 0), L"www.ac");
    EXPECT_EQ(LinkAt(model, 5), L"www.ac");
    EXPECT_EQ(LinkAt(model, 7), L"");
    model.DeleteAt(3);  // the full stop: no link any more
    for (int i = 0; i < model.GetCount(); ++i) {
        EXPECT_EQ(LinkAt(model, i), L"") << i;
        EXPECT_EQ(model.Elements()[i]->underline, 0) << i;
    }
}

TEST(RichModel, UpperCaseLinkIsFoundAndItsTargetLowerCased)
{
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"WWW.Abc.COM\r\nHTTP://X.Y/Z\u4e2d", 0, PlainStyle());
    EXPECT_EQ(LinkAt(model, 0), L"www.abc.com");
    EXPECT_EQ(LinkAt(model, 10), L"www.abc.com");
    EXPECT_EQ(LinkAt(model, 11), L"");
    EXPECT_EQ(LinkAt(model, 13), L"http://x.y/z");
    EXPECT_EQ(LinkAt(model, 25), L"");  // a character above 127 ends the link
    EXPECT_EQ(model.Elements()[0]->character, L'W');
}

TEST(RichModel, ContentHeightChangesAreReported)
{
    TestModel model;
    RecordingListener listener;
    model.SetListener(&listener);
    model.SetRect(0, 0, 60, 100);
    model.InsertText(L"a", 0, PlainStyle());
    model.InsertText(L"\r\nb", 1, PlainStyle());
    EXPECT_EQ(model.ContentHeight(), 26);
    ASSERT_FALSE(listener.heights.empty());
    EXPECT_EQ(listener.heights.back(), 26);
}

TEST(RichModel, LineQueriesFindTheLineOfAnIndexAndOfAPoint)
{
    TestModel model;
    model.SetRect(0, 0, 60, 100);
    model.InsertText(L"ab\r\ncd", 0, PlainStyle());
    EXPECT_EQ(model.LineOfIndex(1), 0);
    EXPECT_EQ(model.LineOfIndex(3), 0);
    EXPECT_EQ(model.LineOfIndex(4), 1);
    EXPECT_EQ(model.LineOfIndex(6), -1);
    EXPECT_EQ(model.LineAtY(5), 0);
    EXPECT_EQ(model.LineAtY(20), 1);
    EXPECT_EQ(model.LineAtY(50), -1);
}

TEST(RichModel, SingleLineCaretAtTheEndScrollsTheTextLeft)
{
    TestModel model(true);
    RecordingListener listener;
    model.SetListener(&listener);
    model.SetLayoutFlags(LayoutSingleLine);
    model.SetRect(0, 0, 60, 20);
    model.InsertText(std::wstring(20, L'x'), 0, PlainStyle());
    // Caret content x 120; it stands at the last column, 59.
    EXPECT_EQ(model.HorizontalOffset(), 59 - 120);
    EXPECT_EQ(model.caretWindow.x, 59);
    ASSERT_FALSE(listener.scrolls.empty());
    EXPECT_EQ(listener.scrolls.back().first, -61);

    // Deleting pulls the text right, so the caret stays at the right edge.
    model.DeleteAt(19);
    EXPECT_EQ(model.HorizontalOffset(), 59 - 114);
    // Going home scrolls back to the start.
    model.SetCaretIndex(0, false);
    EXPECT_EQ(model.HorizontalOffset(), 0);
    EXPECT_EQ(model.caretWindow.x, 0);
}

TEST(RichModel, MultiLineCaretBelowTheRectangleScrollsUp)
{
    TestModel model(true);
    model.SetRect(0, 0, 60, 40);
    model.InsertText(L"1\r\n2\r\n3\r\n4", 0, PlainStyle());
    // The fourth line starts at 42; the caret's bottom is kept at the rectangle's bottom.
    EXPECT_EQ(model.CaretPosition().y, 42);
    EXPECT_EQ(model.VerticalOffset(), 40 - 12 - 42);
    model.SetCaretIndex(0, false);
    EXPECT_EQ(model.VerticalOffset(), 0);
}

TEST(RichModel, VerticalCentringPutsASingleLineInTheMiddle)
{
    TestModel model(true);
    model.SetLayoutFlags(LayoutSingleLine | LayoutCentreVertically);
    model.SetRect(2, 0, 100, 30);
    model.SetText(L"C:\\");
    EXPECT_EQ(model.VerticalOffset(), 9);
    EXPECT_EQ(model.caretWindow.y, 9);
}

TEST(RichModel, EmptyDocumentCaretIsCentredByTheLayoutFlags)
{
    TestModel model(true);
    model.SetRect(10, 0, 110, 40);
    EXPECT_EQ(model.caretWindow.x, 10);
    EXPECT_EQ(model.caretWindow.y, 0);
    model.SetLayoutFlags(LayoutCentreLines | LayoutCentreVertically);
    EXPECT_EQ(model.caretWindow.x, 60);
    EXPECT_EQ(model.caretWindow.y, 14);  // (40 - 12 - 0) / 2
}

TEST(RichModel, ClearForgetsEverything)
{
    TestModel model;
    model.SetRect(0, 0, 60, 100);
    model.InsertText(L"www.x y", 0, PlainStyle());
    model.Clear();
    EXPECT_EQ(model.GetCount(), 0);
    EXPECT_EQ(model.CaretIndex(), 0);
    EXPECT_EQ(model.UndoHistory().CurrentIndex(), -1);
    EXPECT_TRUE(model.UndoHistory().Records().empty());
    model.InsertText(L"ok", 0, PlainStyle());
    EXPECT_EQ(LinkAt(model, 0), L"");
}

TEST(RichModel, SetTextColourRecoloursEveryElement)
{
    TestModel model;
    model.SetRect(0, 0, 60, 100);
    model.SetText(L"ab");
    model.SetTextColour(0x123456);
    EXPECT_EQ(model.Elements()[0]->textColour, 0x123456u);
    EXPECT_EQ(model.Elements()[1]->textColour, 0x123456u);
}

TEST(RichModel, UndoListDropsTheRedoHistoryOnAppend)
{
    UndoList list;
    list.Append(UndoRecord{});
    list.Append(UndoRecord{});
    list.Append(UndoRecord{});
    list.SetCurrentIndex(0);
    UndoRecord last;
    last.position = 7;
    list.Append(last);
    ASSERT_EQ(list.Records().size(), 2u);
    EXPECT_EQ(list.CurrentIndex(), 1);
    EXPECT_EQ(list.Records()[1].position, 7);
}

}  // namespace
