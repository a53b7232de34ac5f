#pragma once
#include <memory>
#include <string>
#include <vector>

#include "RichElement.h"
#include "RichLayout.h"
#include "RichLinks.h"
#include "RichListener.h"
#include "RichStyle.h"
#include "RichTypes.h"
#include "RichUndo.h"

class CHtmlImage;

// The document of the rich text engine: one element per character or picture, the line
// layout, the caret index, automatic links and the mark-up exchange. It measures through
// IRichMeasurer and reaches its window only through the hooks below, so it runs and is
// tested without GDI. CRichDraw adds the window, drawing and the caret.
class CRichModel {
public:
    static constexpr int DefaultMaxLength = 20000;
    // Pictures from mark-up are kept within GDI's coordinate range.
    static constexpr int LargestImportedImageSide = 32767;

    explicit CRichModel(std::unique_ptr<IRichMeasurer> measurer);
    virtual ~CRichModel();
    CRichModel(const CRichModel&) = delete;
    CRichModel& operator=(const CRichModel&) = delete;

    // Configuration.
    virtual void SetRect(int left, int top, int right, int bottom);
    const RECT& TextRect() const { return rect; }
    void SetMaxLength(int count) { maxLength = count; }
    int MaxLength() const { return maxLength; }
    void SetLineSpacing(int pixels);
    int LineSpacing() const { return lineSpacing; }
    void SetLayoutFlags(int flags);
    int LayoutFlags() const { return layoutFlags; }
    void SetMaskChar(wchar_t character) { maskChar = character; }
    wchar_t MaskChar() const { return maskChar; }
    void SetDigitsOnly(bool flag) { digitsOnly = flag; }
    void SetAutoNumbering(bool flag) { autoNumbering = flag; }
    void SetVerticalScrollBar(bool flag) { verticalScrollBar = flag; }
    void SetDefaultColour(COLORREF colour) { defaultColour = colour; }
    COLORREF DefaultColour() const { return defaultColour; }
    void SetListener(IRichListener* value) { listener = value; }
    void SetTextColour(COLORREF colour);
    int GetCount() const { return static_cast<int>(elements.size()); }

    // Content.
    void InsertText(const std::wstring& text, int position, const RichStyle& style);
    void InsertChar(wchar_t character, int position, const RichStyle& style);
    // Characters with the element defaults, measured in the font selected last.
    void AppendPlainText(const std::wstring& text);
    // Bold text in colour 0x5A on background 0: how mark-up without content is shown.
    void InsertPlainTextAt(const std::wstring& text, int position);
    void InsertHtml(const std::wstring& markup, int position);
    void SetText(const std::wstring& text);
    void SetHtml(const std::wstring& markup);
    void Clear();
    void DeleteAt(int index);
    void DeleteSelection();
    // Selects from <= index < to (to = -1: up to the end); from = -1 clears.
    void SelectRange(int from, int to);
    bool HasSelection() const;

    void Relayout();
    // The measurer's fonts changed (a new display scale): every character is measured
    // again and laid out.
    void MeasurerChanged();
    void SetCaretIndex(int index, bool horizontal);
    // Links the runs around what changed since the last call.
    virtual void DetectLinks();

    std::wstring ExportHtml() const;
    std::wstring ExportSelectionHtml() const;

    // Geometry.
    int LineOfIndex(int index) const;
    int LineAtY(int y) const;
    const std::vector<RichElement*>& Elements() const { return elements; }
    const std::vector<LineRecord>& Lines() const { return lines; }
    // The elements that may show in the text rectangle at the current scroll offsets:
    // those of the lines that reach into it, or all of the single line.
    ElementSpan ElementsInView() const;
    int CaretIndex() const { return caretIndex; }
    // Content coordinates of the caret, as the last placement left it.
    const CaretSpot& CaretPosition() const { return caretSpot; }
    int HorizontalOffset() const { return horizontalOffset; }
    int VerticalOffset() const { return verticalOffset; }
    int ContentHeight() const { return contentHeight; }
    int ContentWidth() const { return contentWidth; }
    int DefaultLineHeight() const { return defaultLineHeight; }
    int LargestImageSide() const { return largestImageSide; }
    const UndoList& UndoHistory() const { return undo; }

    // Editing. Positions are element indices; x and y are window coordinates.
    // The style a typed or pasted character takes: the nearest unlinked character
    // before the caret, else after it; else the nearest linked one before it without
    // its underline; else the engine defaults. Links are never inherited.
    RichStyle TypingStyle() const;
    // A typed character: control characters are ignored, and with digits-only
    // everything but 0 to 9. Replaces the selection.
    void TypeCharacter(wchar_t character);
    // Bold, italic, strikeout or underline on the selected range: set on all when any
    // element lacks it, else cleared on all. Read-only text keeps its styles.
    void ToggleStyle(int RichElement::*attribute);
    // Left, right, up or down with the selection rules; with `extend` the selection
    // grows from its anchor instead.
    void ArrowKey(int key, bool extend);
    // Home or End: the caret's line start or end.
    void CaretToLineEdge(bool end);
    void Backspace();
    void DeleteForward();
    // Enter outside single-line mode, continuing a numbered list when auto-numbering.
    void InsertLineBreak();
    // The number of the last numbered line starting before the caret; -1 when none.
    int CurrentListNumber() const;
    // Walks the lines after the caret numbered `start`, `start` + 1, ... and moves each
    // number one up or down; stops at the first line that breaks the sequence. One undo
    // step, or part of the editing step that asked for it.
    void Renumber(int start, bool up);
    // The index at a window point (-1 without lines); a character counts as passed
    // from 60 percent of its width.
    int IndexAtPoint(int x, int y) const;
    // IndexAtPoint, and the caret placed there.
    int HitTest(int x, int y);
    void ScrollTo(int horizontal, int vertical);
    // The element before the caret, or the one at it when the caret starts a line.
    void SelectElementAtCaret();
    // The selection from the anchor to `end`.
    void ExtendSelectionTo(int end);
    void ReapplySelection();
    void Undo();
    void Redo();
    // The characters in order, pictures left out.
    std::wstring PlainText() const;
    std::wstring SelectedPlainText() const;

protected:
    // Window hooks; without a window they do nothing.
    virtual bool HasWindow() const { return false; }
    // The caret moved to a window position.
    virtual void MoveCaret(int x, int y, int height) {}
    virtual void InvalidateView(bool erase) {}
    virtual void UpdateScrollRange() {}
    virtual void UpdateScrollPosition() {}
    // A picture stretched to its display size; null without a screen.
    virtual BitmapRef ScaleImage(const BitmapRef& source, SIZE sourceSize, SIZE displaySize)
    {
        return nullptr;
    }
    virtual SIZE ImageSize(const BitmapRef& source) const { return {0, 0}; }

    // Appends a picture that the element takes over; false when the document is full.
    bool AppendImage(BitmapRef source, const std::wstring& path, const SharedString& link);
    void FitImage(RichElement& element);
    void PlaceEmptyDocumentCaret();
    void ReportScroll();
    bool RedrawSuppressed() const { return suppressRedraw || suppressRedrawImport; }
    // A copy of a picture for a duplicated element; null without a screen.
    virtual BitmapRef CopyPicture(const BitmapRef& source) { return nullptr; }
    void NotifyChanged() { Notify(&IRichListener::OnChanged); }
    IRichMeasurer& Measurer() { return *measurer; }
    const IRichMeasurer& Measurer() const { return *measurer; }
    RichElement* NewElement();
    // A character element measured in the font selected last (or as the mask character).
    RichElement* NewCharacter(wchar_t character);
    void RecordUndo(int kind, int position, std::vector<RichElement*> affected);
    void Notify(void (IRichListener::*event)(CRichModel*));

    RECT rect{};
    int horizontalOffset = 0;
    int verticalOffset = 0;
    int reportedHorizontalOffset = 0;
    int reportedVerticalOffset = 0;
    int maxLength = DefaultMaxLength;
    int lineSpacing = 2;
    int characterSpacing = 0;
    int selectionAnchor = 0;
    int selectionEnd = 0;
    int contentHeight = 0;
    int contentWidth = 0;
    int breakRise = 0;
    int caretIndex = 0;
    int defaultLineHeight = 12;
    int widestCharacter = 12;
    int largestImageSide = 80;
    bool readOnly = true;
    bool dragScroll = false;
    int verticalCentring = 0;
    CaretSpot caretSpot;
    bool undoRecording = true;
    bool interactive = true;
    bool verticalScrollBar = false;
    bool suppressRedraw = false;
    bool suppressRedrawImport = false;
    bool digitsOnly = false;
    bool autoNumbering = false;
    COLORREF defaultColour = 0;
    int defaultSize = 90;
    SharedString defaultFace = DefaultFace();
    int layoutFlags = 0;
    wchar_t maskChar = 0;

    std::vector<RichElement*> elements;
    UndoList undo;
    std::vector<std::unique_ptr<RichElement>> allElements;
    CAutoLinks autoLinks;
    std::vector<LineRecord> lines;
    IRichListener* listener = nullptr;

    LayoutParams CurrentLayoutParams() const;
    void InsertElements(int position, const std::vector<RichElement*>& block);

private:
    void MoveCaretForKey(int key);
    int LineTop(int line) const;
    // The line the caret is on; -1 on the empty line after a final line feed.
    int CaretLine() const;
    void RemeasureCharacters(bool selectedOnly);
    void ReplaceNumberAt(int lineStart, int digitCount, int value);
    // Backspace right after a list number: the number goes and the lines below follow.
    void RemoveListNumber(int digits);
    RichElement* DuplicateElement(const RichElement& source);
    // Removes `count` elements from `first` as one undo record; the caret goes to `first`.
    void RemoveRange(int first, int count);
    void RemoveElements(const std::vector<RichElement*>& removed);
    void UndoOne(const UndoRecord& record);
    void RedoOne(const UndoRecord& record);
    // Undoes the step whose last record is at `index`; returns its first record's index.
    int UndoStepEndingAt(int index);
    // Redoes the step whose first record is at `index`; returns its last record's index.
    int RedoStepStartingAt(int index);
    int CaretAfterRedo(int stepStart, int stepEnd) const;
    void RestoreOffsets(const UndoRecord& record);
    void KeepCaretVisible(const CaretSpot& caret, bool horizontal);
    void InsertImportedImage(const CHtmlImage& image, int position,
                             const SharedString& link);

    std::unique_ptr<IRichMeasurer> measurer;
};
