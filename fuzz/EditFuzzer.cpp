// A random sequence of edits on a rich text document, the way the edit control's keys,
// mouse and clipboard make them, with relayouts in between. Each edit is made on two
// models: the engine, which scans links only around what changed, and a reference that
// scans the whole document every time; both must stay the same. Undoing the whole
// sequence must give back the document it started from, and redoing it the document it
// made.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <set>
#include <string>
#include <vector>

#include "EditedModel.h"
#include "FuzzCheck.h"

namespace {

class FuzzedChoices : public EditChoices {
public:
    explicit FuzzedChoices(FuzzedDataProvider& input) : input(input) {}
    int Pick(int lowest, int highest) override { return input.ConsumeIntegralInRange(lowest, highest); }

private:
    FuzzedDataProvider& input;
};

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

void CheckSame(const EditedModel& engine, const EditedModel& reference)
{
    std::string difference = FirstDifference(engine, reference);
    if (!difference.empty())
        std::fprintf(stderr, "First difference: %s\n", difference.c_str());
    Require(difference.empty(), "links scanned around the change match a whole scan");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    FuzzedDataProvider input(bytes, size);
    FuzzedChoices choose(input);
    const bool withWindow = input.ConsumeBool();
    EditedModel model(withWindow);
    EditedModel reference(withWindow, true);
    const SIZE w{input.ConsumeIntegralInRange(0, 40), input.ConsumeIntegralInRange(0, 40)};
    const int maxLength = input.ConsumeIntegralInRange(1, 200);
    const bool autoNumbering = input.ConsumeBool();
    const int right = input.ConsumeIntegralInRange(1, 300);
    const int bottom = input.ConsumeIntegralInRange(1, 200);
    const int flags = input.ConsumeIntegralInRange(0, 0x3F) & 0x25;
    const std::wstring text = choose.Text(30);
    for (EditedModel* each : {&model, &reference}) {
        each->Fixed().sizes[L'w'] = w;
        each->SetMaxLength(maxLength);
        each->SetAutoNumbering(autoNumbering);
        each->SetRect(0, 0, right, bottom);
        each->SetLayoutFlags(flags);
        each->SetText(text);
    }
    CheckSame(model, reference);

    const std::vector<RichElement*> original = model.Elements();
    const std::wstring originalText = model.PlainText();
    const int edits = input.ConsumeIntegralInRange(0, 40);
    for (int i = 0; i < edits && input.remaining_bytes() > 0; ++i) {
        ModelEdit edit = RandomEdit(choose, model);
        edit(model);
        edit(reference);
        CheckLayout(model);
        CheckSame(model, reference);
    }
    auto redoAll = [&] {
        for (EditedModel* each : {&model, &reference}) {
            while (each->CanRedo())
                each->Redo();
        }
        CheckLayout(model);
        CheckSame(model, reference);
    };
    redoAll();
    const std::vector<RichElement*> edited = model.Elements();
    const std::wstring editedText = model.PlainText();

    for (EditedModel* each : {&model, &reference}) {
        while (each->CanUndo())
            each->Undo();
    }
    CheckLayout(model);
    CheckSame(model, reference);
    Require(model.Elements() == original && model.PlainText() == originalText,
            "undoing every edit gives back the original document");
    redoAll();
    Require(model.Elements() == edited && model.PlainText() == editedText,
            "redoing every edit gives back the edited document");
    return 0;
}
