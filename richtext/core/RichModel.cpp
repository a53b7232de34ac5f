#include "RichModel.h"

#include <algorithm>

#include "HtmlParser.h"
#include "RichHtmlExport.h"
#include "RichHtmlImport.h"

CRichModel::CRichModel(std::unique_ptr<IRichMeasurer> measurerToUse)
    : measurer(std::move(measurerToUse))
{
    defaultLineHeight = measurer->DefaultLineHeight();
    widestCharacter = measurer->WidestCharacter();
    caretSpot.height = defaultLineHeight;
}

CRichModel::~CRichModel() = default;

void CRichModel::SetRect(int left, int top, int right, int bottom)
{
    rect = {left, top, right, bottom};
    largestImageSide = LargestImageSideForWidth(right - left);
    for (RichElement* element : elements) {
        if (element->IsImage() && element->sourceBitmap)
            FitImage(*element);
    }
    // Reset before the layout, so that vertical centring and the caret's scrolling
    // apply to the new rectangle.
    horizontalOffset = 0;
    verticalOffset = 0;
    Relayout();
    PlaceEmptyDocumentCaret();
}

void CRichModel::SetLineSpacing(int pixels)
{
    lineSpacing = pixels;
    Relayout();
}

void CRichModel::SetLayoutFlags(int flags)
{
    layoutFlags = flags;
    if (elements.empty())
        PlaceEmptyDocumentCaret();
    else
        Relayout();
}

void CRichModel::SetTextColour(COLORREF colour)
{
    for (RichElement* element : elements)
        element->textColour = colour;
    InvalidateView(false);
}

RichElement* CRichModel::NewElement()
{
    allElements.push_back(std::make_unique<RichElement>());
    return allElements.back().get();
}

RichElement* CRichModel::NewCharacter(wchar_t character)
{
    const SIZE measured = measurer->MeasureCharacter(maskChar ? maskChar : character);
    RichElement* element = NewElement();
    element->kind = ElementCharacter;
    element->character = character;
    element->maskCharacter = maskChar;
    element->width = characterSpacing + measured.cx;
    element->height = measured.cy;
    return element;
}

void CRichModel::InsertElements(int position, const std::vector<RichElement*>& block)
{
    elements.insert(elements.begin() + position, block.begin(), block.end());
}

void CRichModel::RecordUndo(int kind, int position, std::vector<RichElement*> affected)
{
    UndoRecord record;
    record.kind = kind;
    record.position = position;
    record.caretIndex = caretIndex;
    record.caretX = caretSpot.x;
    record.caretY = caretSpot.y;
    record.horizontalOffset = horizontalOffset;
    record.verticalOffset = verticalOffset;
    record.elements = std::move(affected);
    undo.Append(std::move(record));
}

void CRichModel::Notify(void (IRichListener::*event)(CRichModel*))
{
    if (listener)
        (listener->*event)(this);
}

void CRichModel::InsertText(const std::wstring& text, int position, const RichStyle& style)
{
    position = std::clamp(position, 0, GetCount());
    int room = maxLength - GetCount();
    if (room <= 0 || text.empty())
        return;
    std::wstring inserted = text.substr(0, static_cast<size_t>(room));

    measurer->SelectFont(style.face ? style.face : DefaultFace(), style.size, style.bold,
                         style.italic, style.underline, style.strikeout);
    std::vector<RichElement*> block;
    block.reserve(inserted.size());
    for (wchar_t character : inserted) {
        RichElement* element = NewCharacter(character);
        element->face = style.face;
        element->size = style.size;
        element->textColour = style.textColour;
        element->backgroundColour = style.backgroundColour;
        element->transparentBackground = style.transparentBackground;
        element->bold = style.bold;
        element->underline = style.underline;
        element->strikeout = style.strikeout;
        element->italic = style.italic;
        element->link = style.link;
        block.push_back(element);
    }
    InsertElements(position, block);
    Relayout();
    if (undoRecording) {
        RecordUndo(UndoInsert, position, block);
        SetCaretIndex(position + static_cast<int>(block.size()), false);
    }
}

void CRichModel::InsertChar(wchar_t character, int position, const RichStyle& style)
{
    InsertText(std::wstring(1, character), position, style);
}

void CRichModel::AppendPlainText(const std::wstring& text)
{
    int position = GetCount();
    int room = maxLength - position;
    if (room <= 0 || text.empty())
        return;
    std::wstring appended = text.substr(0, static_cast<size_t>(room));

    std::vector<RichElement*> block;
    block.reserve(appended.size());
    for (wchar_t character : appended)
        block.push_back(NewCharacter(character));
    InsertElements(position, block);
    Relayout();
    if (undoRecording) {
        RecordUndo(UndoInsert, position, block);
        SetCaretIndex(position + static_cast<int>(block.size()), false);
    }
}

void CRichModel::InsertPlainTextAt(const std::wstring& text, int position)
{
    RichStyle style;
    style.face = defaultFace;
    style.size = defaultSize;
    style.textColour = 0x5A;
    style.backgroundColour = 0;
    style.transparentBackground = 0;
    style.bold = 1;
    InsertText(text, position, style);
}

void CRichModel::InsertImportedImage(const CHtmlImage& image, int position,
                                     const SharedString& link)
{
    if (GetCount() >= maxLength)
        return;
    RichElement* element = NewElement();
    element->kind = ElementImage;
    element->width = std::min(image.GetWidth(), LargestImportedImageSide);
    element->height = std::min(image.GetHeight(), LargestImportedImageSide);
    element->imagePath = image.GetSource();
    element->link = link;
    InsertElements(position, {element});
    Relayout();
    if (undoRecording)
        RecordUndo(UndoInsert, position, {element});
}

void CRichModel::InsertHtml(const std::wstring& markup, int position)
{
    position = std::clamp(position, 0, GetCount());
    CHtmlParser parser;
    parser.Parse(markup);
    ApplyImportTags(parser, {defaultColour, defaultSize});

    const auto& objects = parser.GetObjects();
    if (objects.empty()) {
        InsertPlainTextAt(markup, position);
        Notify(&IRichListener::OnChanged);
        return;
    }

    suppressRedrawImport = true;
    // Neighbouring runs of one link share its string, so that they stay one link.
    SharedString link;
    auto linkFor = [&link](const std::wstring& target) {
        if (target.empty())
            return SharedString();
        if (!link || *link != target)
            link = MakeSharedString(target);
        return link;
    };
    for (const auto& object : objects) {
        if (CHtmlParser::IsText(*object)) {
            const auto& text = static_cast<const CHtmlText&>(*object);
            RichStyle style;
            style.face = text.GetFace().empty() ? defaultFace : MakeSharedString(text.GetFace());
            style.size = text.GetSize();
            style.textColour = text.GetColour();
            // The marker bit of a present background is no part of the colour.
            style.backgroundColour = text.GetBackground() & 0x00FFFFFF;
            style.transparentBackground = text.GetBackground() == 0 ? 1 : 0;
            style.bold = text.GetBold();
            style.underline = text.GetUnderline();
            style.strikeout = text.GetStrikeout();
            style.italic = text.GetItalic();
            style.link = linkFor(text.GetLink());
            InsertText(text.GetText(), position, style);
            position += static_cast<int>(text.GetText().size());
        } else if (CHtmlParser::IsImage(*object)) {
            const auto& image = static_cast<const CHtmlImage&>(*object);
            InsertImportedImage(image, std::min(position, GetCount()), linkFor(image.GetLink()));
            ++position;
        }
    }
    suppressRedrawImport = false;

    InvalidateView(false);
    if (listener)
        listener->OnHeightChanged(contentHeight);
    Notify(&IRichListener::OnChanged);
}

void CRichModel::SetText(const std::wstring& text)
{
    undoRecording = false;
    Clear();
    AppendPlainText(text);
    if (elements.empty())
        Relayout();
    Notify(&IRichListener::OnChanged);
    undoRecording = true;
}

void CRichModel::SetHtml(const std::wstring& markup)
{
    undoRecording = false;
    Clear();
    InsertHtml(markup, 0);
    if (elements.empty())
        Relayout();
    undoRecording = true;
}

void CRichModel::Clear()
{
    elements.clear();
    autoLinks.Forget();
    lines.clear();
    undo.Clear();
    allElements.clear();
    caretIndex = 0;
    selectionAnchor = 0;
    selectionEnd = 0;
    measurer->DropCachedFont();
}

void CRichModel::DeleteAt(int index)
{
    if (index < 0 || index >= GetCount())
        return;
    int first = index;
    int count = 1;
    if (elements[index]->Is(L'\r') && index + 1 < GetCount() && elements[index + 1]->Is(L'\n')) {
        count = 2;
    } else if (elements[index]->Is(L'\n') && index > 0 && elements[index - 1]->Is(L'\r')) {
        first = index - 1;
        count = 2;
    }
    RemoveRange(first, count);
}

void CRichModel::RemoveRange(int first, int count)
{
    auto begin = elements.begin() + first;
    RecordUndo(UndoDelete, first, std::vector<RichElement*>(begin, begin + count));
    elements.erase(begin, begin + count);
    Relayout();
    SetCaretIndex(first, true);
}

void CRichModel::DeleteSelection()
{
    // One record per run of selected elements, pictures included, so that undo brings
    // back everything in its place. The last run goes first: the positions of the runs
    // before it still hold when undo puts them back in reverse order.
    UndoStepScope step(undo);
    int first = -1;
    for (int end = GetCount(); end > 0;) {
        if (!elements[end - 1]->selected) {
            --end;
            continue;
        }
        int begin = end - 1;
        while (begin > 0 && elements[begin - 1]->selected)
            --begin;
        const auto run = elements.begin() + begin;
        RecordUndo(UndoDelete, begin, std::vector<RichElement*>(run, elements.begin() + end));
        elements.erase(run, elements.begin() + end);
        first = begin;
        end = begin;
    }
    if (first < 0)
        return;
    Relayout();
    SetCaretIndex(first, true);
}

void CRichModel::SelectRange(int from, int to)
{
    for (int i = 0; i < GetCount(); ++i)
        elements[i]->selected = from >= 0 && i >= from && (to == -1 || i < to) ? 1 : 0;
    InvalidateView(false);
}

bool CRichModel::HasSelection() const
{
    return std::any_of(elements.begin(), elements.end(),
                       [](const RichElement* element) { return element->selected != 0; });
}

LayoutParams CRichModel::CurrentLayoutParams() const
{
    LayoutParams params;
    params.rect = rect;
    params.flags = layoutFlags;
    params.lineSpacing = lineSpacing;
    params.defaultLineHeight = defaultLineHeight;
    return params;
}

void CRichModel::Relayout()
{
    LayoutResult result = LayoutElements(elements, CurrentLayoutParams());
    lines = std::move(result.lines);
    contentWidth = result.contentWidth;
    breakRise = result.breakRise;
    if (layoutFlags & LayoutCentreVertically) {
        verticalCentring = result.verticalCentring;
        verticalOffset = verticalCentring;
    }
    if (result.contentHeight != contentHeight) {
        contentHeight = result.contentHeight;
        if (!RedrawSuppressed() && listener)
            listener->OnHeightChanged(contentHeight);
        if (HasWindow() && verticalScrollBar)
            UpdateScrollRange();
    }
    SetCaretIndex(caretIndex, false);
    DetectLinks();
}

void CRichModel::ReportScroll()
{
    if (horizontalOffset == reportedHorizontalOffset && verticalOffset == reportedVerticalOffset)
        return;
    reportedHorizontalOffset = horizontalOffset;
    reportedVerticalOffset = verticalOffset;
    if (listener)
        listener->OnScrolled(horizontalOffset, verticalOffset);
}

void CRichModel::KeepCaretVisible(const CaretSpot& caret, bool horizontal)
{
    int oldHorizontal = horizontalOffset;
    int oldVertical = verticalOffset;
    if (layoutFlags & LayoutSingleLine) {
        int windowX = caret.x + horizontalOffset;
        int lastColumn = rect.right - 1;
        if (windowX < rect.left) {
            horizontalOffset = rect.left - caret.x;
        } else if (windowX >= lastColumn) {
            horizontalOffset = lastColumn - caret.x;
        } else if (horizontal && horizontalOffset < 0) {
            // After a deletion, pull scrolled text back towards the right edge.
            if (windowX - lastColumn < horizontalOffset)
                horizontalOffset = 0;
            else
                horizontalOffset = lastColumn - caret.x;
        }
    } else {
        int windowY = caret.y + verticalOffset;
        if (windowY < rect.top)
            verticalOffset = rect.top - caret.y;
        else if (windowY >= rect.bottom - caret.height)
            verticalOffset = rect.bottom - caret.height - caret.y;
    }
    if (horizontalOffset != oldHorizontal || verticalOffset != oldVertical) {
        ReportScroll();
        UpdateScrollPosition();
    }
}

void CRichModel::SetCaretIndex(int index, bool horizontal)
{
    caretSpot = PlaceCaret(elements, index, caretIndex, CurrentLayoutParams());
    caretIndex = caretSpot.index;
    if (!HasWindow())
        return;
    KeepCaretVisible(caretSpot, horizontal);
    MoveCaret(caretSpot.x + horizontalOffset, caretSpot.y + verticalOffset, caretSpot.height);
    if (!RedrawSuppressed())
        InvalidateView(false);
}

void CRichModel::PlaceEmptyDocumentCaret()
{
    if (!elements.empty())
        return;
    int x = rect.left;
    int y = rect.top;
    if (layoutFlags & LayoutCentreVertically)
        y = (rect.bottom - defaultLineHeight - rect.top) / 2;
    if (layoutFlags & LayoutCentreLines)
        x = rect.left + (rect.right - rect.left) / 2;
    caretSpot = {0, x, y, defaultLineHeight};
    if (HasWindow())
        MoveCaret(x, y, defaultLineHeight);
}

void CRichModel::DetectLinks()
{
    autoLinks.Update(elements, maskChar != 0);
}

bool CRichModel::AppendImage(BitmapRef source, const std::wstring& path, const SharedString& link)
{
    if (GetCount() >= maxLength)
        return false;
    RichElement* element = NewElement();
    element->kind = ElementImage;
    element->sourceBitmap = std::move(source);
    element->imagePath = path;
    element->link = link;
    FitImage(*element);
    int position = GetCount();
    elements.push_back(element);
    Relayout();
    if (undoRecording)
        RecordUndo(UndoInsert, position, {element});
    return true;
}

void CRichModel::FitImage(RichElement& element)
{
    SIZE source = ImageSize(element.sourceBitmap);
    SIZE display = FitImageSize(source, largestImageSide);
    element.width = display.cx;
    element.height = display.cy;
    element.displayBitmap = ScaleImage(element.sourceBitmap, source, display);
}

std::wstring CRichModel::ExportHtml() const
{
    if (elements.empty())
        return std::wstring();
    return ExportElements(elements, false);
}

std::wstring CRichModel::ExportSelectionHtml() const
{
    return ExportElements(elements, true);
}

int CRichModel::LineOfIndex(int index) const
{
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].first <= index && index <= lines[i].last)
            return static_cast<int>(i);
    }
    return -1;
}

ElementSpan CRichModel::ElementsInView() const
{
    // A negative line spacing lets lines overlap and their tops go back up: every
    // element is looked at then, as on the single line that holds them all.
    if ((layoutFlags & LayoutSingleLine) || lineSpacing < 0)
        return {0, GetCount()};
    return ElementsInRows(lines, -verticalOffset, rect.bottom - verticalOffset, lineSpacing,
                          breakRise);
}

int CRichModel::LineAtY(int y) const
{
    int contentY = y - verticalOffset;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].top <= contentY && contentY <= lines[i].nextTop)
            return static_cast<int>(i);
    }
    return -1;
}
