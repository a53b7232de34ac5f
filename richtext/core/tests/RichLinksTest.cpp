#include <gtest/gtest.h>

#include <random>
#include <string>

#include "EditedModel.h"
#include "RichLinks.h"

namespace {

// Runs as "begin-end" pairs.
std::string Runs(const std::wstring& text)
{
    std::string out;
    for (const LinkRun& run : FindLinkRuns(text))
        out += (out.empty() ? "" : " ") + std::to_string(run.begin) + "-" + std::to_string(run.end);
    return out;
}

struct RunCase {
    const char* name;
    const wchar_t* text;
    const char* runs;
};

void PrintTo(const RunCase& value, std::ostream* out) { *out << value.name; }

class LinkRuns : public testing::TestWithParam<RunCase> {};

TEST_P(LinkRuns, AreFoundHere)
{
    EXPECT_EQ(Runs(GetParam().text), GetParam().runs);
}

INSTANTIATE_TEST_SUITE_P(
    Texts, LinkRuns,
    testing::Values(RunCase{"None", L"a b www c", ""},
                    RunCase{"UpToTheSpace", L"see www.a.b now", "4-11"},
                    RunCase{"UpToTheEnd", L"http://x/y", "0-10"},
                    // The run takes in the whole rest of the word, a second start too.
                    RunCase{"StartsInsideAWord", L"xwww.a", "1-6"},
                    RunCase{"SecondStartInTheSameWord", L"www.http://a www.b", "0-12 13-18"},
                    RunCase{"HttpBeforeWww", L"ahttp://www.b", "1-13"},
                    RunCase{"LineBreaksEndRuns", L"www.a\rwww.b\nwww.c", "0-5 6-11 12-17"},
                    RunCase{"CharacterAbove127EndsRun", L"www.a\u00e9b", "0-5"},
                    RunCase{"IncompleteStarts", L"ww. www http:/ http//", ""}),
    [](const testing::TestParamInfo<RunCase>& info) { return std::string(info.param.name); });

struct LinkEditCase {
    const char* name;
    const wchar_t* text;
    int position;
    const wchar_t* typed;  // null: the element at `position` is deleted
    int probe;             // an element whose link is then checked
    const wchar_t* link;
};

void PrintTo(const LinkEditCase& value, std::ostream* out) { *out << value.name; }

class LinkEdits : public testing::TestWithParam<LinkEditCase> {};

// Edits whose effect reaches beyond the edited element: a run ends at the next space,
// line break or picture, however far the edit is from it.
TEST_P(LinkEdits, RelinkTheWholeWordAroundTheEdit)
{
    const LinkEditCase& edit = GetParam();
    TestModel model;
    model.SetRect(0, 0, 600, 100);
    model.InsertText(edit.text, 0, PlainStyle());
    if (edit.typed)
        model.InsertText(edit.typed, edit.position, PlainStyle());
    else
        model.DeleteAt(edit.position);
    EXPECT_EQ(LinkAt(model, edit.probe), edit.link);
    EXPECT_EQ(model.Elements()[edit.probe]->underline, *edit.link ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(
    Edits, LinkEdits,
    testing::Values(
        LinkEditCase{"SpaceSplitsTheLink", L"www.abc.com x", 7, L" ", 9, L""},
        LinkEditCase{"SpaceSplitKeepsTheHead", L"www.abc.com x", 7, L" ", 0, L"www.abc"},
        LinkEditCase{"JoiningWordsExtendsTheLink", L"www.ab cd x", 6, nullptr, 0, L"www.abcd"},
        LinkEditCase{"JoinedTailIsLinked", L"www.ab cd x", 6, nullptr, 7, L"www.abcd"},
        LinkEditCase{"LetterAtTheEndLengthensIt", L"x www.ab", 8, L"c", 4, L"www.abc"},
        LinkEditCase{"BreakingTheStartUnlinksTheTail", L"a www.abcdef", 4, L"-", 10, L""},
        LinkEditCase{"StartTypedBeforeAWordLinksIt", L"a b.c d", 2, L"www.", 7, L"www.b.c"}),
    [](const testing::TestParamInfo<LinkEditCase>& info) { return std::string(info.param.name); });

TEST(AutoLinks, UnderlineTakenByAStyleToggleComesBackAtTheNextRelayout)
{
    EditedModel model(false);
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"www.a.b and more words", 0, PlainStyle());
    model.SelectRange(0, -1);
    model.ToggleStyle(&RichElement::underline);  // some lack it: all get it
    model.ToggleStyle(&RichElement::underline);  // all have it: all lose it
    ASSERT_EQ(model.Elements()[0]->underline, 0);
    model.SelectRange(-1, 0);
    model.InsertText(L"x", model.GetCount(), PlainStyle());
    EXPECT_EQ(model.Elements()[0]->underline, 1);
    EXPECT_EQ(model.Elements()[8]->underline, 0);
}

TEST(AutoLinks, MaskedTextLosesItsLinksAndGetsThemBackUnmasked)
{
    EditedModel model(false);
    model.SetRect(0, 0, 600, 100);
    model.InsertText(L"www.a.b c", 0, PlainStyle());
    model.SetMaskChar(L'*');
    model.Relayout();
    EXPECT_EQ(LinkAt(model, 0), L"");
    model.SetMaskChar(0);
    model.Relayout();
    EXPECT_EQ(LinkAt(model, 0), L"www.a.b");
}

class SeededChoices : public EditChoices {
public:
    explicit SeededChoices(unsigned seed) : generator(seed) {}
    int Pick(int lowest, int highest) override
    {
        return std::uniform_int_distribution<int>(lowest, highest)(generator);
    }

private:
    std::mt19937 generator;
};

// Numbered lines with links and words, long enough to wrap in a narrow rectangle.
std::wstring ListDocument()
{
    std::wstring text;
    for (int line = 1; line <= 12; ++line)
        text += std::to_wstring(line) + L".see www.site" + std::to_wstring(line) +
                L".com or http://x.y/" + std::wstring(static_cast<size_t>(line % 4), L'z') +
                L" \x4E2D words\r\n";
    return text;
}

class IncrementalLinks : public testing::TestWithParam<unsigned> {};

// The engine scans links only around each change; a reference scans the whole document
// at every relayout. After every edit of a random sequence (typing, deleting, line
// breaks with list numbers, undo and redo, style toggles, selections deleted, pastes,
// now and then a change of rectangle, spacing or mask) the two hold the same elements,
// places, links, lines and caret. A document cut down to a few words is loaded again.
TEST_P(IncrementalLinks, MatchAWholeScanAfterEveryEdit)
{
    SeededChoices choose(GetParam());
    EditedModel engine(true);
    EditedModel reference(true, true);
    const ModelEdit load = [](EditedModel& model) { model.SetText(ListDocument()); };
    for (EditedModel* model : {&engine, &reference}) {
        model->SetAutoNumbering(true);
        model->SetRect(0, 0, 240, 120);
        load(*model);
    }
    ASSERT_EQ(FirstDifference(engine, reference), "");
    for (int step = 0; step < 300; ++step) {
        ModelEdit edit = engine.GetCount() < 100 ? load : RandomEdit(choose, engine, step % 25 == 24);
        edit(engine);
        edit(reference);
        ASSERT_EQ(FirstDifference(engine, reference), "") << "after edit " << step;
    }
}

INSTANTIATE_TEST_SUITE_P(Seeds, IncrementalLinks, testing::Range(1u, 21u));

}  // namespace
