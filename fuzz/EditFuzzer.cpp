// A random sequence of edits on a rich text document, the way the edit control's keys,
// mouse and clipboard make them, with relayouts in between. Undoing the whole sequence
// must give back the document it started from, and redoing it the document it made.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <set>
#include <string>
#include <vector>

#include "FixedMeasurer.h"
#include "FuzzCheck.h"

namespace {

// Characters that make lines, list numbers, words and links, and a few others.
const wchar_t Alphabet[] = L"ab 1.9\r\n<>w:/\x4E2D\x00E9\t";

wchar_t RandomCharacter(FuzzedDataProvider& input)
{
    if (input.ConsumeBool())
        return Alphabet[input.ConsumeIntegralInRange<size_t>(0, std::size(Alphabet) - 2)];
    return static_cast<wchar_t>(input.ConsumeIntegral<uint16_t>());
}

std::wstring RandomText(FuzzedDataProvider& input, size_t longest)
{
    std::wstring text(input.ConsumeIntegralInRange<size_t>(0, longest), L' ');
    for (wchar_t& c : text)
        c = RandomCharacter(input);
    return text;
}

class EditedModel : public TestModel {
public:
    using TestModel::TestModel;

    void Paste(const std::wstring& text)
    {
        if (HasSelection())
            DeleteSelection();
        InsertText(text, CaretIndex(), TypingStyle());
    }
    void PasteMarkup(const std::wstring& markup)
    {
        if (HasSelection())
            DeleteSelection();
        InsertHtml(markup, CaretIndex());
    }
    void SelectAll()
    {
        selectionAnchor = 0;
        selectionEnd = GetCount();
        SelectRange(0, -1);
    }
    void Drag(int fromX, int fromY, int toX, int toY)
    {
        HitTest(fromX, fromY);
        SelectRange(-1, 0);
        selectionAnchor = selectionEnd = CaretIndex();
        HitTest(toX, toY);
        ExtendSelectionTo(CaretIndex());
    }
    void Cut()
    {
        if (HasSelection())
            DeleteSelection();
        else
            SetCaretIndex(0, false);
    }
    bool CanUndo() const { return UndoHistory().CurrentIndex() >= 0; }
    bool CanRedo() const
    {
        return UndoHistory().CurrentIndex() + 1 < static_cast<int>(UndoHistory().Records().size());
    }
};

void Edit(EditedModel& model, FuzzedDataProvider& input)
{
    const RECT& rect = model.TextRect();
    auto x = [&] { return input.ConsumeIntegralInRange<int>(rect.left - 20, rect.right + 20); };
    auto y = [&] { return input.ConsumeIntegralInRange<int>(rect.top - 20, rect.bottom + 40); };
    switch (input.ConsumeIntegralInRange(0, 19)) {
    case 0: model.TypeCharacter(RandomCharacter(input)); break;
    case 1: model.Backspace(); break;
    case 2: model.DeleteForward(); break;
    case 3: model.InsertLineBreak(); break;
    case 4: model.Undo(); break;
    case 5: model.Redo(); break;
    case 6: model.ArrowKey(input.ConsumeIntegralInRange(VK_LEFT, VK_DOWN), input.ConsumeBool()); break;
    case 7: model.CaretToLineEdge(input.ConsumeBool()); break;
    case 8: model.HitTest(x(), y()); break;
    case 9: model.Drag(x(), y(), x(), y()); break;
    case 10: model.SelectAll(); break;
    case 11: model.SelectElementAtCaret(); break;
    case 12: model.Cut(); break;
    case 13: model.Paste(RandomText(input, 12)); break;
    case 14: model.PasteMarkup(RandomText(input, 40)); break;
    case 15: model.ToggleStyle(&RichElement::bold); break;
    case 16:
        model.SetRect(0, 0, input.ConsumeIntegralInRange(1, 300), input.ConsumeIntegralInRange(1, 200));
        break;
    case 17: model.SetLayoutFlags(input.ConsumeIntegralInRange(0, 0x3F) & 0x25); break;
    case 18: model.SetLineSpacing(input.ConsumeIntegralInRange(0, 8)); break;
    default: model.ScrollTo(input.ConsumeIntegralInRange(-500, 10), input.ConsumeIntegralInRange(-500, 10)); break;
    }
}

void CheckLayout(const EditedModel& model)
{
    Require(0 <= model.CaretIndex() && model.CaretIndex() <= model.GetCount(),
            "the caret stands inside the document");
    const std::vector<RichElement*>& elements = model.Elements();
    Require(std::set<RichElement*>(elements.begin(), elements.end()).size() == elements.size(),
            "no element stands twice in the document");
    // An element wider than the text leaves an empty line above it that names the element
    // too, so a line may start again with the single element of the line before.
    int next = 0;
    bool previousSingle = false;
    for (const LineRecord& line : model.Lines()) {
        Require(line.first <= line.last &&
                    (line.first == next || (previousSingle && line.first == next - 1)),
                "lines follow one another");
        next = line.last + 1;
        previousSingle = line.first == line.last;
    }
    Require(elements.empty() || next == model.GetCount(), "the lines hold every element");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider input(bytes, size);
    EditedModel model(input.ConsumeBool());
    model.Fixed().sizes[L'w'] = {input.ConsumeIntegralInRange(0, 40), input.ConsumeIntegralInRange(0, 40)};
    model.SetMaxLength(input.ConsumeIntegralInRange(1, 200));
    model.SetAutoNumbering(input.ConsumeBool());
    model.SetRect(0, 0, input.ConsumeIntegralInRange(1, 300), input.ConsumeIntegralInRange(1, 200));
    model.SetLayoutFlags(input.ConsumeIntegralInRange(0, 0x3F) & 0x25);
    model.SetText(RandomText(input, 30));

    const std::vector<RichElement*> original = model.Elements();
    const std::wstring originalText = model.PlainText();
    const int edits = input.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < edits && input.remaining_bytes() > 0; ++i) {
        Edit(model, input);
        CheckLayout(model);
    }
    while (model.CanRedo())
        model.Redo();
    const std::vector<RichElement*> edited = model.Elements();
    const std::wstring editedText = model.PlainText();

    while (model.CanUndo())
        model.Undo();
    CheckLayout(model);
    Require(model.Elements() == original && model.PlainText() == originalText,
            "undoing every edit gives back the original document");
    while (model.CanRedo())
        model.Redo();
    CheckLayout(model);
    Require(model.Elements() == edited && model.PlainText() == editedText,
            "redoing every edit gives back the edited document");
    return 0;
}
