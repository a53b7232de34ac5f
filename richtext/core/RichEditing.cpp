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
        RemeasureSelection();
        Relayout();
    }
    InvalidateView(false);
}

void CRichModel::RemeasureSelection()
{
    for (RichElement* element : elements) {
        if (!element->selected || !element->IsCharacter())
            continue;
        measurer->SelectFont(element->face ? element->face : DefaultFace(), element->size,
                             element->bold, element->italic, element->underline,
                             element->strikeout);
        SIZE measured = measurer->MeasureCharacter(
            element->maskCharacter ? element->maskCharacter : element->character);
        element->width = measured.cx;
        element->height = measured.cy;
    }
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
        SetCaretIndex(std::max(0, caretIndex - 1), true);
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
    int y = caretSpot.y + verticalOffset;
    // In content coordinates, so that a scrolled single line reaches its real ends.
    int x = end ? static_cast<int>(rect.right) : static_cast<int>(rect.left);
    if (end && (layoutFlags & LayoutSingleLine))
        x = std::max(x, static_cast<int>(rect.left) + contentWidth);
    x += horizontalOffset;
    HitTest(x, y);
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
    OneUndoStep step(*this);
    int digits = ListNumberBeforeIndex(elements, caretIndex);
    if (digits > 0) {
        Renumber(CurrentListNumber() + 1, false);
        for (int i = 0; i <= digits; ++i)
            DeleteAt(caretIndex - 1);
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

void CRichModel::InsertLineBreak()
{
    OneUndoStep step(*this);
    std::wstring text = L"\r\n";
    bool atLineStart = caretIndex == 0 || elements[caretIndex - 1]->IsLineBreak();
    if (autoNumbering && !atLineStart) {
        int number = CurrentListNumber();
        if (number >= 0) {
            Renumber(number + 1, true);
            text += std::to_wstring(number + 1) + L".";
        }
    }
    InsertText(text, caretIndex, TypingStyle());
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
    OneUndoStep step(*this);
    int expected = start;
    bool changed = false;
    for (int lineStart : LineStarts(elements)) {
        if (lineStart <= caretIndex)
            continue;
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
    // New digit elements, copies of the ones they replace (style and all), so that undo
    // can put the old ones back.
    const std::wstring digits = std::to_wstring(value);
    const auto number = elements.begin() + lineStart;
    std::vector<RichElement*> old(number, number + digitCount);
    std::vector<RichElement*> renumbered;
    for (size_t i = 0; i < digits.size(); ++i) {
        RichElement* digit = NewElement();
        *digit = *old[std::min(i, old.size() - 1)];
        if (digit->sourceBitmap) {
            digit->sourceBitmap = CopyPicture(digit->sourceBitmap);
            FitImage(*digit);
        }
        digit->character = digits[i];
        renumbered.push_back(digit);
    }
    RecordUndo(UndoDelete, lineStart, old);
    elements.erase(number, number + digitCount);
    InsertElements(lineStart, renumbered);
    RecordUndo(UndoInsert, lineStart, renumbered);
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

int CRichModel::UndoStepEndingAt(int last)
{
    const std::vector<UndoRecord>& records = undo.Records();
    for (int index = last;; --index) {
        const UndoRecord& record = records[index];
        if (record.kind == UndoDelete)
            InsertElements(std::clamp(record.position, 0, GetCount()), record.elements);
        else
            RemoveElements(record.elements);
        if (!record.joinsPrevious || index == 0)
            return index;
    }
}

int CRichModel::RedoStepStartingAt(int first)
{
    const std::vector<UndoRecord>& records = undo.Records();
    for (int index = first;; ++index) {
        const UndoRecord& record = records[index];
        if (record.kind == UndoDelete)
            RemoveElements(record.elements);
        else
            InsertElements(std::clamp(record.position, 0, GetCount()), record.elements);
        if (index + 1 == static_cast<int>(records.size()) || !records[index + 1].joinsPrevious)
            return index;
    }
}

void CRichModel::Undo()
{
    int current = undo.CurrentIndex();
    if (current < 0)
        return;
    const std::vector<UndoRecord>& records = undo.Records();
    int first = UndoStepEndingAt(current);
    if (records[current].kind == UndoInsert) {
        // Typed word characters right before the step go with it.
        int later = current;
        while (first > 0) {
            const UndoRecord& earlier = records[first - 1];
            if (!earlier.IsWord() || earlier.position + earlier.Count() != records[later].position)
                break;
            later = first - 1;
            first = UndoStepEndingAt(first - 1);
        }
    }
    const UndoRecord& last = records[first];
    undo.SetCurrentIndex(first - 1);
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
    if (next >= static_cast<int>(records.size()))
        return;
    SelectRange(-1, 0);
    int last = RedoStepStartingAt(next);
    // Typed word characters right after a typed word come back with it.
    while (records[last].IsWord() && last + 1 < static_cast<int>(records.size()) &&
           records[last + 1].IsWord() &&
           records[last + 1].position == records[last].position + records[last].Count())
        last = RedoStepStartingAt(last + 1);
    const UndoRecord& record = records[last];
    const int caret = record.kind == UndoDelete ? std::max(0, record.caretIndex - record.Count())
                                                : record.caretIndex + record.Count();
    undo.SetCurrentIndex(last);
    RestoreOffsets(record);
    Relayout();
    SetCaretIndex(caret, false);
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
