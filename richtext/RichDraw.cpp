#include "RichDraw.h"

#include "GdiHandles.h"
#include "ImageResources.h"

namespace {

BitmapRef OwnBitmap(HBITMAP bitmap)
{
    if (!bitmap)
        return nullptr;
    return BitmapRef(bitmap, GdiObjectDeleter());
}

// The font attributes that painting compares between neighbouring elements.
struct PaintFont {
    int size = 0;
    SharedString face;
    int bold = 0;
    int italic = 0;
    int underline = 0;
    int strikeout = 0;

    static PaintFont Of(const RichElement& element)
    {
        return {element.size, element.face, element.bold, element.italic, element.underline,
                element.strikeout};
    }
    bool operator==(const PaintFont& other) const
    {
        return size == other.size && SameText(face, other.face) && bold == other.bold &&
               italic == other.italic && underline == other.underline &&
               strikeout == other.strikeout;
    }
};

// Changes a device context's text colours and background mode only when they differ.
class PaintColours {
public:
    explicit PaintColours(HDC dc)
        : dc(dc), mode(::GetBkMode(dc)), text(::GetTextColor(dc)), back(::GetBkColor(dc))
    {
    }
    void SetMode(int value)
    {
        if (value != mode)
            ::SetBkMode(dc, mode = value);
    }
    void SetText(COLORREF value)
    {
        if (value != text)
            ::SetTextColor(dc, text = value);
    }
    void SetBack(COLORREF value)
    {
        if (value != back)
            ::SetBkColor(dc, back = value);
    }

private:
    HDC dc;
    int mode;
    COLORREF text;
    COLORREF back;
};

// Widths at 100 %: a selected line break's bar, the caret, and the clip's margins
// left and right of the text rectangle.
constexpr int SelectedBreakWidth = 2;
constexpr int CaretWidth = 1;
constexpr int ClipMarginLeft = 1;
constexpr int ClipMarginRight = 2;

// Draws elements one at a time at their laid-out positions, never as runs, so that
// what is drawn matches what was measured. Fonts and colours change only when an
// element needs different ones.
class ElementPainter {
public:
    ElementPainter(HDC dc, HDC bitmapDc, const LOGFONTW& baseFont, int fontDpi, int horizontalOffset,
                   int verticalOffset, int lineSpacing, std::optional<COLORREF> textColour)
        : dc(dc),
          bitmapDc(bitmapDc),
          baseFont(baseFont),
          fontDpi(fontDpi),
          horizontalOffset(horizontalOffset),
          verticalOffset(verticalOffset),
          lineSpacing(lineSpacing),
          textColour(textColour),
          colours(dc),
          selectionBrush(::CreateSolidBrush(CRichDraw::SelectionColour)),
          whiteBrush(::CreateSolidBrush(RGB(255, 255, 255))),
          originalFont(::GetCurrentObject(dc, OBJ_FONT))
    {
    }
    ~ElementPainter() { ::SelectObject(dc, originalFont); }
    ElementPainter(const ElementPainter&) = delete;
    ElementPainter& operator=(const ElementPainter&) = delete;

    void Paint(const RichElement& element)
    {
        int x = element.x + horizontalOffset;
        int y = element.y + verticalOffset;
        if (element.IsLineBreak()) {
            // Only a selected line break shows: as a bar 2 pixels wide.
            if (element.selected)
                Fill({x, y, x + ScaleLength(SelectedBreakWidth, fontDpi), y + element.height + lineSpacing},
                     selectionBrush.get());
            return;
        }
        SelectFontFor(element);
        SetColoursFor(element);
        if (element.IsImage() && !element.displayBitmap) {
            RECT status{x, y, x + element.width, y + element.height + lineSpacing};
            Fill(status, whiteBrush.get());
            ::DrawTextW(dc, element.statusText, -1, &status, DT_SINGLELINE | DT_VCENTER | DT_CENTER);
            return;
        }
        if (element.width <= 0)
            return;
        if (element.selected)
            Fill({x, y, x + element.width, y + element.height + lineSpacing}, selectionBrush.get());
        if (element.IsCharacter()) {
            wchar_t shown = element.maskCharacter ? element.maskCharacter : element.character;
            ::TextOutW(dc, x, y, &shown, 1);
            return;
        }
        ScopedSelect picture(bitmapDc, element.displayBitmap.get());
        ::BitBlt(dc, x, y, element.width, element.height, bitmapDc, 0, 0, SRCCOPY);
        if (element.selected) {
            RECT box{x, y, x + element.width, y + element.height};
            ::InvertRect(dc, &box);
        }
    }

private:
    void Fill(RECT area, HBRUSH brush) { ::FillRect(dc, &area, brush); }

    void SelectFontFor(const RichElement& element)
    {
        PaintFont wanted = PaintFont::Of(element);
        if (font && wanted == fontAttributes)
            return;
        LOGFONTW description =
            StyledLogFont(baseFont, element.face ? *element.face : std::wstring(), element.size,
                          element.bold, element.italic, element.underline, element.strikeout, fontDpi);
        UniqueFont next(::CreateFontIndirectW(&description));
        ::SelectObject(dc, next.get());
        font = std::move(next);
        fontAttributes = wanted;
    }

    void SetColoursFor(const RichElement& element)
    {
        if (element.selected) {
            colours.SetText(RGB(255, 255, 255));
            colours.SetMode(TRANSPARENT);
            return;
        }
        colours.SetBack(element.backgroundColour);
        colours.SetText(textColour.value_or(element.textColour));
        colours.SetMode(element.transparentBackground ? TRANSPARENT : OPAQUE);
    }

    HDC dc;
    HDC bitmapDc;
    const LOGFONTW& baseFont;
    int fontDpi;
    int horizontalOffset;
    int verticalOffset;
    int lineSpacing;
    std::optional<COLORREF> textColour;
    PaintColours colours;
    UniqueBrush selectionBrush;
    UniqueBrush whiteBrush;
    HGDIOBJ originalFont;
    UniqueFont font;
    PaintFont fontAttributes;
};

}  // namespace

HBITMAP StretchBitmapHalftone(HBITMAP source, SIZE sourceSize, SIZE size)
{
    if (!source || size.cx <= 0 || size.cy <= 0)
        return nullptr;
    ScreenDc screen;
    HBITMAP result = ::CreateCompatibleBitmap(screen.Get(), size.cx, size.cy);
    if (!result)
        return nullptr;
    UniqueMemoryDc from(::CreateCompatibleDC(screen.Get()));
    UniqueMemoryDc to(::CreateCompatibleDC(screen.Get()));
    {
        ScopedSelect selectSource(from.get(), source);
        ScopedSelect selectResult(to.get(), result);
        ::SetStretchBltMode(to.get(), HALFTONE);
        ::SetBrushOrgEx(to.get(), 0, 0, nullptr);
        ::StretchBlt(to.get(), 0, 0, size.cx, size.cy, from.get(), 0, 0, sourceSize.cx,
                     sourceSize.cy, SRCCOPY);
    }
    return result;
}

CRichDraw::CRichDraw() : CRichModel(std::make_unique<CGdiMeasurer>())
{
    caretHeight = defaultLineHeight;
}

CRichDraw::~CRichDraw()
{
    if (caretCreated)
        ::DestroyCaret();
    if (window && ::IsWindow(window)) {
        ::KillTimer(window, BlinkTimer);
        ::KillTimer(window, DragTimer);
        ::KillTimer(window, SmoothScrollTimer);
    }
}

const LOGFONTW& CRichDraw::DefaultLogFont() const
{
    return static_cast<const CGdiMeasurer&>(Measurer()).DefaultLogFont();
}

void CRichDraw::SetDpi(UINT newDpi)
{
    if (newDpi == dpi || newDpi == 0)
        return;
    dpi = newDpi;
    static_cast<CGdiMeasurer&>(Measurer()).SetDpi(static_cast<int>(newDpi));
    MeasurerChanged();
}

void CRichDraw::Attach(HWND host)
{
    window = host;
    RECT client{};
    ::GetClientRect(window, &client);
    if (client.right - client.left < widestCharacter + 1)
        client.right = client.left + widestCharacter + 1;
    if (client.right - client.left > 4) {
        client.left += 2;
        client.right -= 2;
    }
    rect = client;
    PlaceEmptyDocumentCaret();
    if (HasFocus())
        StartBlink();
}

void CRichDraw::StartBlink()
{
    blinkPhase = 1;
    ::SetTimer(window, BlinkTimer, BlinkMilliseconds, nullptr);
}

void CRichDraw::InvalidateView(bool erase)
{
    if (window && !RedrawSuppressed())
        ::InvalidateRect(window, nullptr, erase ? TRUE : FALSE);
}

void CRichDraw::UpdateScrollRange()
{
    SCROLLINFO info{sizeof info};
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMin = 0;
    info.nMax = contentHeight;
    info.nPage = static_cast<UINT>(rect.bottom - rect.top);
    ::SetScrollInfo(window, SB_VERT, &info, TRUE);
}

void CRichDraw::UpdateScrollPosition()
{
    if (::GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL)
        ::SetScrollPos(window, SB_VERT, -verticalOffset, TRUE);
}

BitmapRef CRichDraw::ScaleImage(const BitmapRef& source, SIZE sourceSize, SIZE displaySize)
{
    return OwnBitmap(StretchBitmapHalftone(static_cast<HBITMAP>(source.get()), sourceSize,
                                           displaySize));
}

BitmapRef CRichDraw::CopyPicture(const BitmapRef& source)
{
    return OwnBitmap(CopyBitmap(static_cast<HBITMAP>(source.get())));
}

SIZE CRichDraw::ImageSize(const BitmapRef& source) const
{
    BITMAP info{};
    if (!source || !::GetObjectW(static_cast<HBITMAP>(source.get()), sizeof info, &info))
        return {0, 0};
    return {info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
}

bool CRichDraw::InsertImage(HBITMAP bitmap)
{
    return InsertImage(bitmap, std::wstring(), std::wstring());
}

bool CRichDraw::InsertImage(HBITMAP bitmap, const std::wstring& path, const std::wstring& link)
{
    if (!bitmap || ::GetObjectType(bitmap) != OBJ_BITMAP || GetCount() >= maxLength)
        return false;
    return AppendImage(OwnBitmap(bitmap), path, MakeSharedString(link));
}

void CRichDraw::SetReadOnly(bool flag)
{
    readOnly = flag;
    if (!flag) {
        if (HasFocus())
            StartBlink();
    } else {
        if (window)
            ::KillTimer(window, DragTimer);
        dragging = false;
        StopBlink();
    }
    for (RichElement* element : elements)
        element->selected = 0;
    InvalidateView(false);
}

void CRichDraw::MoveCaret(int x, int y, int height)
{
    if (!window || !interactive || CaretFrozen() || !HasFocus())
        return;
    if (caretCreated && height != caretHeight) {
        ::DestroyCaret();
        ::CreateCaret(window, nullptr, ScaleLength(CaretWidth, dpi), height);
    }
    caretX = x;
    caretY = y;
    caretHeight = height;
    blinkPhase = 1;
    InvalidateView(false);
    ::SetCaretPos(x, y);
}

void CRichDraw::OnFocusGained()
{
    if (!interactive || !window)
        return;
    if (!CaretFrozen())
        StartBlink();
    if (!caretCreated) {
        caretCreated = ::CreateCaret(window, nullptr, ScaleLength(CaretWidth, dpi), caretHeight) != FALSE;
        ::SetCaretPos(caretX, caretY);
    }
}

void CRichDraw::OnFocusLost()
{
    if (!interactive)
        return;
    StopBlink();
    if (caretCreated) {
        ::DestroyCaret();
        caretCreated = false;
    }
    if (listener)
        listener->OnFocusLost(this);
}

void CRichDraw::StopBlink()
{
    blinkPhase = 0;
    if (window) {
        ::KillTimer(window, BlinkTimer);
        ::InvalidateRect(window, nullptr, FALSE);
    }
}

bool CRichDraw::OnTimer(UINT_PTR id)
{
    if (id == DragTimer) {
        OnDragTimer();
        return true;
    }
    if (id == SmoothScrollTimer) {
        OnSmoothScrollTimer();
        return true;
    }
    if (id != BlinkTimer)
        return false;
    blinkPhase ^= 1;
    InvalidateView(false);
    return true;
}

bool CRichDraw::MayBeVisible(const RichElement& element) const
{
    if (layoutFlags & LayoutSingleLine) {
        int x = element.x + horizontalOffset;
        return x + element.width >= 0 && x <= rect.right;
    }
    int y = element.y + verticalOffset;
    return y + element.height >= 0 && y <= rect.bottom;
}

void CRichDraw::Paint(HDC dc, HDC bitmapDc, std::optional<COLORREF> textColour)
{
    if (!window)
        return;
    if (characterSpacing > 0) {
        ::SetMapMode(dc, MM_TEXT);
        ::SetTextCharacterExtra(dc, 2);
    }
    int saved = ::SaveDC(dc);
    ::BeginPath(dc);
    ::Rectangle(dc, rect.left - ScaleLength(ClipMarginLeft, dpi), rect.top,
                rect.right + ScaleLength(ClipMarginRight, dpi), rect.bottom);
    ::EndPath(dc);
    ::SelectClipPath(dc, RGN_AND);

    UniqueMemoryDc ownBitmapDc;
    if (!bitmapDc) {
        ownBitmapDc.reset(::CreateCompatibleDC(dc));
        bitmapDc = ownBitmapDc.get();
    }
    {
        ElementPainter painter(dc, bitmapDc, DefaultLogFont(), static_cast<int>(dpi), horizontalOffset,
                               verticalOffset, lineSpacing, textColour);
        const ElementSpan span = ElementsInView();
        for (int i = span.first; i < span.last; ++i) {
            if (MayBeVisible(*elements[i]))
                painter.Paint(*elements[i]);
        }
    }
    if (!CaretFrozen() && blinkPhase == 1) {
        const RECT caret{caretX, caretY, caretX + ScaleLength(CaretWidth, dpi), caretY + caretHeight};
        UniqueBrush brush(::CreateSolidBrush(textColour.value_or(RGB(0, 0, 0))));
        ::FillRect(dc, &caret, brush.get());
    }
    ::RestoreDC(dc, saved);
}
