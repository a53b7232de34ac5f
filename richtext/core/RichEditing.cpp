#include "RichModel.h"

#include <algorithm>
#include <set>

#include "RichListNumbers.h"

RichStyle CRichModel::TypingStyle() const
{
    auto styleOf = [](const RichElement& element) {
        RichStyle style;
        style.face = element.face;
        style.size = element.size;
        style.textColour = element.textColour;
        style.backgroundColour = element.backgroundColour;
        style.transparentBackground = element.transparentBackground;
        style.bold = element.bold;
        style.underline = element.underline;
        style.strikeout = element.strikeout;
        style.italic = element.italic;
        return style;
    };
    auto unlinked = [](const RichElement* e) { return e->IsCharacter() && !e->link; };
    for (int i = caretIndex - 1; i >= 0; --i) {
        if (unlinked(elements[i]))
            return styleOf(*elements[i]);
    }
    for (int i = caretIndex; i < GetCount(); ++i) {
        if (unlinked(elements[i]))
            return styleOf(*elements[i]);
    }
    for (int i = caretIndex - 1; i >= 0; --i) {
        if (elements[i]->IsCharacter()) {
            RichStyle style = styleOf(*elements[i]);
            style.underline = 0;
            return style;
        }
    }
    RichStyle defaults;
    defaults.face = defaultFace;
    defaults.size = defaultSize;
    defaults.textColour = defaultColour;
    defaults.transparentBackground = 1;
    return defaults;
}

void CRichModel::TypeCharacter(wchar_t character)
{
    if (character < 32 || character == 127)
        return;
    if (digitsOnly && (character < L'0' || character > L'9'))
        return;
    if (HasSelection())
        DeleteSelection();
    InsertChar(character, caretIndex, TypingStyle());
    NotifyChanged();
    InvalidateView(true);
}

void CRichModel::ToggleStyle(int RichElement::*attribute)
{
    if (readOnly)
        return;
    int first = -1;
    int last = -1;
    for (int i = 0; i < GetCount(); ++i) {
        if (elements[i]->selected && elements[i]->IsCharacter()) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    if (first < 0)
        return;
    bool anyLacks = false;
    for (int i = first; i <= last; ++i)
        anyLacks = anyLacks || elements[i]->IsImage() || elements[i]->*attribute == 0;
    for (RichElement* element : elements) {
        if (element->selected)
            element->*attribute = anyLacks ? 1 : 0;
    }
    if (attribute == &RichElement::bold) {
        RemeasureCharacters(true);
        Relayout();
    }
    InvalidateView(false);
}

void CRichModel::RemeasureCharacters(bool selectedOnly)
{
    for (RichElement* element : elements) {
        if ((selectedOnly && !element->selected) || !element->IsCharacter())
            continue;
        measurer->SelectFont(element->face ? element->face : DefaultFace(), element->size,
                             element->bold, element->italic, element->underline,
                             element->strikeout);
        SIZE measured = measurer->MeasureCharacter(
            element->maskCharacter ? element->maskCharacter : element->character);
        element->width = characterSpacing + measured.cx;
        element->height = measured.cy;
    }
}

void CRichModel::MeasurerChanged()
{
    defaultLineHeight = measurer->DefaultLineHeight();
    widestCharacter = measurer->WidestCharacter();
    RemeasureCharacters(false);
    Relayout();
}

int CRichModel::LineTop(int line) const
{
    return lines[static_cast<size_t>(line)].top;
}

int CRichModel::CaretLine() const
{
    int line = LineOfIndex(caretIndex);
    if (line >= 0)
        return line;
    if (lines.empty() || (caretIndex == GetCount() && elements.back()->Is(L'\n')))
        return -1;
    return static_cast<int>(lines.size()) - 1;
}

void CRichModel::MoveCaretForKey(int key)
{
    int caretX = caretSpot.x + horizontalOffset;
    switch (key) {
    case VK_LEFT:
        SetCaretIndex(std::max(0, caretIndex - 1), false);
        break;
    case VK_RIGHT:
        SetCaretIndex(std::min(GetCount(), caretIndex + 1), false);
        break;
    case VK_UP: {
        int line = CaretLine();
        int top = line >= 0 ? LineTop(line) : caretSpot.y;
        HitTest(caretX, top - 2 + verticalOffset);
        break;
    }
    case VK_DOWN: {
        int line = CaretLine();
        if (line < 0)
            break;  // already on the last, empty line
        HitTest(caretX, lines[static_cast<size_t>(line)].nextTop + 2 + verticalOffset);
        break;
    }
    default:
        break;
    }
}

void CRichModel::ArrowKey(int key, bool extend)
{
    if (extend) {
        if (!HasSelection())
            selectionAnchor = caretIndex;
        MoveCaretForKey(key);
        ExtendSelectionTo(caretIndex);
        return;
    }
    int first = -1;
    int last = -1;
    for (int i = 0; i < GetCount(); ++i) {
        if (elements[i]->selected) {
            if (first < 0)
                first = i;
            last = i;
        }
    }
    bool selected = first >= 0;
    SelectRange(-1, 0);
    switch (key) {
    case VK_LEFT:
        if (selected)
            SetCaretIndex(first, false);
        else
            MoveCaretForKey(key);
        break;
    case VK_RIGHT:
        if (selected)
            SetCaretIndex(last + 1, false);
        else
            MoveCaretForKey(key);
        break;
    case VK_UP:
        if (selected)
            SetCaretIndex(first, false);
        MoveCaretForKey(key);
        break;
    case VK_DOWN:
        if (selected)
            SetCaretIndex(last + 1, false);
        MoveCaretForKey(key);
        break;
    default:
        break;
    }
    selectionAnchor = selectionEnd = caretIndex;
}

void CRichModel::CaretToLineEdge(bool end)
{
    SelectRange(-1, 0);
    int line = CaretLine();
    // On the empty line after a final line feed the caret already stands at both ends.
    if (line >= 0) {
        const LineRecord& record = lines[static_cast<size_t>(line)];
        // The middle of the caret's own line: its top is also the bottom of the line above.
        int y = (record.top + record.nextTop) / 2 + verticalOffset;
        // In content coordinates, so that a scrolled single line reaches its real ends.
        int x = end ? static_cast<int>(rect.right) : static_cast<int>(rect.left);
        if (end && (layoutFlags & LayoutSingleLine))
            x = std::max(x, static_cast<int>(rect.left) + contentWidth);
        HitTest(x + horizontalOffset, y);
    }
    selectionAnchor = selectionEnd = caretIndex;
}

void CRichModel::ExtendSelectionTo(int end)
{
    selectionEnd = end;
    SelectRange(std::min(selectionAnchor, selectionEnd), std::max(selectionAnchor, selectionEnd));
}

void CRichModel::ReapplySelection()
{
    if (HasSelection())
        SelectRange(std::min(selectionAnchor, selectionEnd),
                    std::max(selectionAnchor, selectionEnd));
}

void CRichModel::Backspace()
{
    int digits = ListNumberBeforeIndex(elements, caretIndex);
    if (digits > 0) {
        RemoveListNumber(digits);
    } else if (HasSelection()) {
        DeleteSelection();
    } else if (caretIndex > 0) {
        DeleteAt(caretIndex - 1);
    }
    NotifyChanged();
}

void CRichModel::DeleteForward()
{
    if (HasSelection())
        DeleteSelection();
    else
        DeleteAt(caretIndex);
    NotifyChanged();
}

void CRichModel::RemoveListNumber(int digits)
{
    UndoStepScope step(undo);
    int number = CurrentListNumber();
    RemoveRange(caretIndex - digits - 1, digits + 1);
    Renumber(number + 1, false);
}

void CRichModel::InsertLineBreak()
{
    UndoStepScope step(undo);
    std::wstring text = L"\r\n";
    bool atLineStart = caretIndex == 0 || elements[caretIndex - 1]->IsLineBreak();
    int number = autoNumbering && !atLineStart ? CurrentListNumber() : -1;
    if (number >= 0)
        text += std::to_wstring(number + 1) + L".";
    int countBefore = GetCount();
    InsertText(text, caretIndex, TypingStyle());
    // The list below moves on only when the new number went in whole; a full document
    // refuses the line break.
    if (number >= 0 && GetCount() - countBefore == static_cast<int>(text.size()))
        Renumber(number + 1, true);
    NotifyChanged();
}

int CRichModel::CurrentListNumber() const
{
    int number = -1;
    for (int start : LineStarts(elements)) {
        if (start >= caretIndex)
            break;
        int value = 0;
        if (ReadLineNumber(elements, start, 3, &value) > 0)
            number = value;
    }
    return number;
}

void CRichModel::Renumber(int start, bool up)
{
    UndoStepScope step(undo);
    int expected = start;
    bool changed = false;
    // Each next line is found after the previous number changed, perhaps its length.
    for (int lineStart = NextLineStart(elements, caretIndex); lineStart >= 0;
         lineStart = NextLineStart(elements, lineStart)) {
        int value = 0;
        int digitCount = ReadLineNumber(elements, lineStart, 4, &value);
        if (digitCount == 0 || value != expected)
            break;
        ReplaceNumberAt(lineStart, digitCount, up ? expected + 1 : expected - 1);
        changed = true;
        ++expected;
    }
    if (changed)
        Relayout();
}

void CRichModel::ReplaceNumberAt(int lineStart, int digitCount, int value)
{
    auto begin = elements.begin() + lineStart;
    std::vector<RichElement*> old(begin, begin + digitCount);
    std::wstring digits = std::to_wstring(value);
    int wanted = static_cast<int>(digits.size());
    std::vector<RichElement*> renewed;
    for (int i = 0; i < wanted; ++i) {
        // Each digit keeps the style of the old digit in its place, counted from the
        // right; a number that grows copies its first digit in front.
        RichElement* copy = DuplicateElement(*old[static_cast<size_t>(std::max(0, i + digitCount - wanted))]);
        copy->character = digits[static_cast<size_t>(i)];
        renewed.push_back(copy);
    }
    // New elements rather than changed characters, so that undo can restore the old ones.
    elements.erase(begin, begin + digitCount);
    InsertElements(lineStart, renewed);
    if (undoRecording) {
        RecordUndo(UndoDelete, lineStart, std::move(old));
        RecordUndo(UndoInsert, lineStart, std::move(renewed));
    }
}

RichElement* CRichModel::DuplicateElement(const RichElement& source)
{
    RichElement* copy = NewElement();
    *copy = source;
    copy->selected = 0;
    if (copy->sourceBitmap) {
        copy->sourceBitmap = CopyPicture(copy->sourceBitmap);
        FitImage(*copy);
    }
    return copy;
}

int CRichModel::IndexAtPoint(int x, int y) const
{
    if (lines.empty() || elements.empty())
        return -1;
    x -= horizontalOffset;
    y -= verticalOffset;
    const LineRecord* line = nullptr;
    if (y < lines.front().top) {
        line = &lines.front();
    } else {
        for (const LineRecord& candidate : lines) {
            if (candidate.top <= y && y <= candidate.nextTop) {
                line = &candidate;
                break;
            }
        }
    }
    if (!line) {
        if (elements[lines.back().last]->Is(L'\n'))
            return GetCount();
        line = &lines.back();
    }
    bool leftOfLine = x < elements[line->first]->x;
    int index = -1;
    for (int i = line->first; i <= line->last; ++i) {
        const RichElement& element = *elements[i];
        if (element.x <= x && x <= element.x + element.width) {
            index = i;
            break;
        }
    }
    if (index < 0)
        index = leftOfLine ? line->first : line->last;
    if (elements[index]->Is(L'\n') && index > 0 && elements[index - 1]->Is(L'\r'))
        --index;
    const RichElement& hit = *elements[index];
    if (hit.IsCharacter()) {
        // Passed from 60 percent of the width: x >= left + 0.6 * width.
        if (hit.width > 0 && 10 * x >= 10 * hit.x + 6 * hit.width)
            ++index;
    } else if (!leftOfLine) {
        ++index;
    }
    return index;
}

int CRichModel::HitTest(int x, int y)
{
    int index = IndexAtPoint(x, y);
    if (index >= 0)
        SetCaretIndex(index, false);
    return index;
}

void CRichModel::ScrollTo(int horizontal, int vertical)
{
    int oldHorizontal = horizontalOffset;
    int oldVertical = verticalOffset;
    if (layoutFlags & LayoutSingleLine) {
        int width = rect.right - rect.left;
        horizontalOffset = std::min(0, std::max(horizontal, width - contentWidth));
    } else {
        int height = rect.bottom - rect.top;
        verticalOffset = std::min(0, std::max(vertical, height - contentHeight));
    }
    if (HasWindow() && (horizontalOffset != oldHorizontal || verticalOffset != oldVertical))
        MoveCaret(caretSpot.x + horizontalOffset, caretSpot.y + verticalOffset, caretSpot.height);
    InvalidateView(false);
}

void CRichModel::SelectElementAtCaret()
{
    if (elements.empty())
        return;
    int index = caretIndex - 1;
    if (index < 0 || (caretIndex < GetCount() && LineOfIndex(index) < LineOfIndex(caretIndex)))
        index = caretIndex;
    index = std::min(index, GetCount() - 1);
    SelectRange(index, index + 1);
    selectionAnchor = index;
    selectionEnd = index + 1;
}

void CRichModel::RemoveElements(const std::vector<RichElement*>& removed)
{
    std::set<const RichElement*> gone(removed.begin(), removed.end());
    elements.erase(std::remove_if(elements.begin(), elements.end(),
                                  [&gone](const RichElement* e) { return gone.count(e) != 0; }),
                   elements.end());
}

void CRichModel::RestoreOffsets(const UndoRecord& record)
{
    horizontalOffset = record.horizontalOffset;
    verticalOffset = record.verticalOffset;
}

void CRichModel::UndoOne(const UndoRecord& record)
{
    if (record.kind == UndoDelete) {
        int position = std::clamp(record.position, 0, GetCount());
        InsertElements(position, record.elements);
    } else {
        RemoveElements(record.elements);
    }
}

void CRichModel::RedoOne(const UndoRecord& record)
{
    if (record.kind == UndoDelete) {
        RemoveElements(record.elements);
    } else {
        int position = std::clamp(record.position, 0, GetCount());
        InsertElements(position, record.elements);
    }
}

int CRichModel::UndoStepEndingAt(int index)
{
    const std::vector<UndoRecord>& records = undo.Records();
    UndoOne(records[index]);
    while (records[index].continuesStep && index > 0)
        UndoOne(records[--index]);
    return index;
}

int CRichModel::RedoStepStartingAt(int index)
{
    const std::vector<UndoRecord>& records = undo.Records();
    RedoOne(records[index]);
    int last = static_cast<int>(records.size()) - 1;
    while (index < last && records[index + 1].continuesStep)
        RedoOne(records[++index]);
    return index;
}

int CRichModel::CaretAfterRedo(int stepStart, int stepEnd) const
{
    // A deletion leaves the caret where the first removed elements began; a selection
    // removed in several runs records the last run first.
    const std::vector<UndoRecord>& records = undo.Records();
    const UndoRecord& first = records[stepStart];
    if (first.kind != UndoDelete)
        return first.caretIndex + first.Count();
    int caret = first.position;
    for (int i = stepStart + 1; i <= stepEnd; ++i) {
        if (records[i].kind == UndoDelete)
            caret = std::min(caret, records[i].position);
    }
    return caret;
}

void CRichModel::Undo()
{
    int current = undo.CurrentIndex();
    if (current < 0)
        return;
    const std::vector<UndoRecord>& records = undo.Records();
    current = UndoStepEndingAt(current);
    if (records[current].kind == UndoInsert) {
        // Typed word characters right before the step go with it.
        while (current > 0) {
            const UndoRecord& earlier = records[current - 1];
            const UndoRecord& later = records[current];
            if (!earlier.IsWord() || earlier.position + earlier.Count() != later.position)
                break;
            UndoOne(earlier);
            --current;
        }
    }
    const UndoRecord& last = records[current];
    undo.SetCurrentIndex(current - 1);
    SelectRange(-1, 0);
    RestoreOffsets(last);
    Relayout();
    SetCaretIndex(last.caretIndex, false);
    NotifyChanged();
}

void CRichModel::Redo()
{
    const std::vector<UndoRecord>& records = undo.Records();
    int next = undo.CurrentIndex() + 1;
    int count = static_cast<int>(records.size());
    if (next >= count)
        return;
    SelectRange(-1, 0);
    int stepStart = next;
    for (;;) {
        stepStart = next;
        next = RedoStepStartingAt(next);
        const UndoRecord& step = records[stepStart];
        bool followOn = step.IsWord() && next + 1 < count && records[next + 1].IsWord() &&
                        records[next + 1].position == step.position + step.Count();
        if (!followOn)
            break;
        ++next;
    }
    undo.SetCurrentIndex(next);
    RestoreOffsets(records[next]);
    Relayout();
    SetCaretIndex(CaretAfterRedo(stepStart, next), false);
    InvalidateView(false);
    NotifyChanged();
}

std::wstring CRichModel::PlainText() const
{
    std::wstring text;
    for (const RichElement* element : elements) {
        if (element->IsCharacter())
            text += element->character;
    }
    return text;
}

std::wstring CRichModel::SelectedPlainText() const
{
    std::wstring text;
    for (const RichElement* element : elements) {
        if (element->IsCharacter() && element->selected)
            text += element->character;
    }
    return text;
}
