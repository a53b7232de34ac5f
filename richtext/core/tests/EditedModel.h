#pragma once
#include <functional>
#include <iterator>
#include <string>

#include "FixedMeasurer.h"

// A test model edited the way the edit control's keys, mouse and clipboard edit it.
// As a reference it drops its links and scans the whole document at every relayout,
// where the engine scans only around what changed.
class EditedModel : public TestModel {
public:
    explicit EditedModel(bool withWindow, bool reference = false)
        : TestModel(withWindow), reference(reference)
    {
        readOnly = false;
    }

    void DetectLinks() override
    {
        if (reference)
            autoLinks.Rescan(elements, MaskChar() != 0);
        else
            CRichModel::DetectLinks();
    }

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

private:
    bool reference;
};

// Where random edits take their choices from: a fuzzer's input or a seeded generator.
class EditChoices {
public:
    virtual ~EditChoices() = default;
    // A number from lowest to highest, both included.
    virtual int Pick(int lowest, int highest) = 0;
    bool Coin() { return Pick(0, 1) == 1; }

    // Mostly characters that make lines, list numbers, words and links.
    wchar_t Character()
    {
        static const wchar_t alphabet[] = L"ab 1.9\r\nw:/\x4E2D\x00E9\thtp<>";
        if (Pick(0, 3) > 0)
            return alphabet[Pick(0, static_cast<int>(std::size(alphabet)) - 2)];
        return static_cast<wchar_t>(Pick(0, 0xFFFF));
    }
    std::wstring Text(int longest)
    {
        std::wstring text(static_cast<size_t>(Pick(0, longest)), L' ');
        for (wchar_t& c : text)
            c = Character();
        return text;
    }
};

using ModelEdit = std::function<void(EditedModel&)>;

// One edit for `model` with its choices already made, so that it can be applied to
// several models alike. Edits of the content, the selection and the caret come first;
// with `settings` also changes of the rectangle, layout flags, line spacing, mask
// character and scroll offsets.
inline ModelEdit RandomEdit(EditChoices& choose, const CRichModel& model, bool settings = true)
{
    const RECT& rect = model.TextRect();
    auto x = [&] { return choose.Pick(rect.left - 20, rect.right + 20); };
    auto y = [&] { return choose.Pick(rect.top - 20, rect.bottom + 40); };
    auto index = [&] { return choose.Pick(-1, model.GetCount() + 1); };
    switch (choose.Pick(0, settings ? 22 : 17)) {
    case 0: {
        wchar_t c = choose.Character();
        return [c](EditedModel& m) { m.TypeCharacter(c); };
    }
    case 1: return [](EditedModel& m) { m.Backspace(); };
    case 2: return [](EditedModel& m) { m.DeleteForward(); };
    case 3: return [](EditedModel& m) { m.InsertLineBreak(); };
    case 4: return [](EditedModel& m) { m.Undo(); };
    case 5: return [](EditedModel& m) { m.Redo(); };
    case 6: {
        int key = choose.Pick(VK_LEFT, VK_DOWN);
        bool extend = choose.Coin();
        return [key, extend](EditedModel& m) { m.ArrowKey(key, extend); };
    }
    case 7: {
        bool end = choose.Coin();
        return [end](EditedModel& m) { m.CaretToLineEdge(end); };
    }
    case 8: {
        int px = x(), py = y();
        return [px, py](EditedModel& m) { m.HitTest(px, py); };
    }
    case 9: {
        int fromX = x(), fromY = y(), toX = x(), toY = y();
        return [=](EditedModel& m) { m.Drag(fromX, fromY, toX, toY); };
    }
    case 10: return [](EditedModel& m) { m.SelectAll(); };
    case 11: return [](EditedModel& m) { m.SelectElementAtCaret(); };
    case 12: return [](EditedModel& m) { m.Cut(); };
    case 13: {
        std::wstring text = choose.Text(12);
        return [text](EditedModel& m) { m.Paste(text); };
    }
    case 14: {
        std::wstring markup = choose.Text(40);
        return [markup](EditedModel& m) { m.PasteMarkup(markup); };
    }
    case 15: {
        int RichElement::*attributes[] = {&RichElement::bold, &RichElement::underline,
                                          &RichElement::italic, &RichElement::strikeout};
        int RichElement::*attribute = attributes[choose.Pick(0, 3)];
        return [attribute](EditedModel& m) { m.ToggleStyle(attribute); };
    }
    case 16: {
        int from = index(), to = choose.Coin() ? from + choose.Pick(0, 12) : index();
        return [from, to](EditedModel& m) { m.SelectRange(from, to); };
    }
    case 17: {
        int caret = index();
        return [caret](EditedModel& m) { m.SetCaretIndex(caret, false); };
    }
    case 18: {
        int right = choose.Pick(1, 300), bottom = choose.Pick(1, 200);
        return [right, bottom](EditedModel& m) { m.SetRect(0, 0, right, bottom); };
    }
    case 19: {
        int flags = choose.Pick(0, 0x3F) & 0x25;
        return [flags](EditedModel& m) { m.SetLayoutFlags(flags); };
    }
    case 20: {
        int spacing = choose.Pick(0, 8);
        return [spacing](EditedModel& m) { m.SetLineSpacing(spacing); };
    }
    case 21: {
        wchar_t mask = choose.Coin() ? L'*' : 0;
        return [mask](EditedModel& m) { m.SetMaskChar(mask); };
    }
    default: {
        int horizontal = choose.Pick(-500, 10), vertical = choose.Pick(-500, 10);
        return [=](EditedModel& m) { m.ScrollTo(horizontal, vertical); };
    }
    }
}

// The first way in which two models differ in their elements, lines, links, caret,
// offsets and undo history; empty when they do not. Links are compared by their text
// and by which neighbours share them.
inline std::string FirstDifference(const CRichModel& a, const CRichModel& b)
{
    auto at = [](const char* what, size_t index) { return std::string(what) + " " + std::to_string(index); };
    if (a.GetCount() != b.GetCount())
        return "element count";
    for (size_t i = 0; i < a.Elements().size(); ++i) {
        const RichElement& x = *a.Elements()[i];
        const RichElement& y = *b.Elements()[i];
        if (x.kind != y.kind || x.character != y.character || x.maskCharacter != y.maskCharacter)
            return at("content of element", i);
        if (x.lineTop != y.lineTop || x.x != y.x || x.y != y.y || x.width != y.width ||
            x.height != y.height)
            return at("place of element", i);
        if (x.bold != y.bold || x.italic != y.italic || x.underline != y.underline ||
            x.strikeout != y.strikeout || x.size != y.size || x.selected != y.selected ||
            x.textColour != y.textColour || !SameText(x.face, y.face))
            return at("style of element", i);
        if (!SameText(x.link, y.link))
            return at("link of element", i);
        bool xShares = i > 0 && x.link == a.Elements()[i - 1]->link;
        bool yShares = i > 0 && y.link == b.Elements()[i - 1]->link;
        if (xShares != yShares)
            return at("link sharing of element", i);
    }
    if (a.Lines().size() != b.Lines().size())
        return "line count";
    for (size_t i = 0; i < a.Lines().size(); ++i) {
        const LineRecord& x = a.Lines()[i];
        const LineRecord& y = b.Lines()[i];
        if (x.top != y.top || x.nextTop != y.nextTop || x.first != y.first || x.last != y.last ||
            x.width != y.width)
            return at("line", i);
    }
    const CaretSpot& p = a.CaretPosition();
    const CaretSpot& q = b.CaretPosition();
    if (p.index != q.index || p.x != q.x || p.y != q.y || p.height != q.height)
        return "caret";
    if (a.HorizontalOffset() != b.HorizontalOffset() || a.VerticalOffset() != b.VerticalOffset() ||
        a.ContentHeight() != b.ContentHeight() || a.ContentWidth() != b.ContentWidth())
        return "offsets or content size";
    const UndoList& u = a.UndoHistory();
    const UndoList& v = b.UndoHistory();
    if (u.CurrentIndex() != v.CurrentIndex() || u.Records().size() != v.Records().size())
        return "undo history";
    for (size_t i = 0; i < u.Records().size(); ++i) {
        const UndoRecord& x = u.Records()[i];
        const UndoRecord& y = v.Records()[i];
        if (x.kind != y.kind || x.position != y.position || x.Count() != y.Count() ||
            x.caretIndex != y.caretIndex || x.continuesStep != y.continuesStep)
            return at("undo record", i);
    }
    return {};
}
