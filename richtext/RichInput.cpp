#include <algorithm>

#include "RichDraw.h"

namespace {

bool KeyDown(int key)
{
    return (::GetKeyState(key) & 0x8000) != 0;
}

bool IsArrow(UINT key)
{
    return key == VK_LEFT || key == VK_UP || key == VK_RIGHT || key == VK_DOWN;
}

}  // namespace

void CRichDraw::OnChar(wchar_t code)
{
    if (!Editable())
        return;
    TypeCharacter(code);
}

void CRichDraw::OnKeyDown(UINT key)
{
    if (!Active())
        return;
    bool control = KeyDown(VK_CONTROL);
    bool shift = KeyDown(VK_SHIFT);
    if (control) {
        OnControlKey(key);
        return;
    }
    if (shift) {
        if (IsArrow(key))
            ArrowKey(static_cast<int>(key), true);
        else
            ReapplySelection();
        return;
    }
    int height = rect.bottom - rect.top;
    switch (key) {
    case VK_BACK:
        if (!readOnly)
            Backspace();
        break;
    case VK_DELETE:
        if (!readOnly)
            DeleteForward();
        break;
    case VK_RETURN:
        if (readOnly)
            break;
        if (layoutFlags & LayoutSingleLine) {
            if (listener)
                listener->OnEnter();
        } else {
            InsertLineBreak();
        }
        break;
    case VK_PRIOR:
        ScrollAndReport(horizontalOffset, verticalOffset + height);
        break;
    case VK_NEXT:
        ScrollAndReport(horizontalOffset, verticalOffset - height);
        break;
    case VK_HOME:
        CaretToLineEdge(false);
        break;
    case VK_END:
        CaretToLineEdge(true);
        break;
    case VK_LEFT:
    case VK_RIGHT:
    case VK_UP:
    case VK_DOWN:
        ArrowKey(static_cast<int>(key), false);
        break;
    default:
        break;
    }
}

void CRichDraw::OnControlKey(UINT key)
{
    switch (key) {
    case VK_END:
        SelectRange(-1, 0);
        SetCaretIndex(GetCount(), false);
        break;
    case VK_HOME:
        SelectRange(-1, 0);
        SetCaretIndex(0, false);
        break;
    case 'A':
        selectionAnchor = 0;
        selectionEnd = GetCount();
        SelectRange(0, -1);
        break;
    case 'B':
        ToggleStyle(&RichElement::bold);
        break;
    case 'C':
        Copy();
        break;
    case 'I':
        ToggleStyle(&RichElement::italic);
        break;
    case 'T':
        ToggleStyle(&RichElement::strikeout);
        break;
    case 'U':
        ToggleStyle(&RichElement::underline);
        break;
    case 'V':
        if (!readOnly)
            Paste();
        break;
    case 'X':
        Copy();
        // Read-only text is copied, never cut; a password is neither.
        if (readOnly || MaskChar())
            break;
        if (HasSelection())
            DeleteSelection();
        else
            SetCaretIndex(0, false);
        NotifyChanged();
        break;
    case 'Y':
        if (!readOnly)
            Redo();
        break;
    case 'Z':
        if (!readOnly)
            Undo();
        break;
    default:
        break;
    }
}

void CRichDraw::ScrollAndReport(int horizontal, int vertical)
{
    ScrollTo(horizontal, vertical);
    ReportScroll();
    UpdateScrollPosition();
}

void CRichDraw::OnLButtonDown(WPARAM flags, POINT point)
{
    if (!window)
        return;
    if (!interactive) {
        Notify(&IRichListener::OnClickedWhileInactive);
        return;
    }
    mouseDown = true;
    mousePoint = point;
    if (readOnly && dragScroll) {
        scrollTarget = verticalOffset;
        return;
    }
    bool extend = (flags & MK_SHIFT) != 0;
    if (extend && !HasSelection())
        selectionAnchor = caretIndex;
    if (::PtInRect(&rect, point))
        HitTest(point.x, point.y);
    if (extend) {
        ExtendSelectionTo(caretIndex);
        return;
    }
    SelectRange(-1, 0);
    selectionAnchor = selectionEnd = caretIndex;
    dragging = true;
    ::SetTimer(window, DragTimer, DragMilliseconds, nullptr);
}

void CRichDraw::EndDrag()
{
    if (!dragging)
        return;
    dragging = false;
    ::KillTimer(window, DragTimer);
}

void CRichDraw::OnMouseMove(WPARAM flags, POINT point)
{
    if (!Active())
        return;
    POINT previous = mousePoint;
    mousePoint = point;
    if (readOnly && dragScroll) {
        if (flags == MK_LBUTTON && mouseDown)
            DragScrollBy(point.y - previous.y);
        else
            SpringBack();
        return;
    }
    if (flags != MK_LBUTTON) {
        EndDrag();
        return;
    }
    if (!dragging)
        return;
    HitTest(point.x, point.y);
    ExtendSelectionTo(caretIndex);
}

void CRichDraw::OnLButtonUp(POINT point)
{
    if (!Active())
        return;
    mouseDown = false;
    mousePoint = point;
    EndDrag();
    if (readOnly && dragScroll)
        SpringBack();
}

void CRichDraw::OnRButtonUp()
{
    if (Active())
        EndDrag();
}

void CRichDraw::OnLButtonDblClk()
{
    if (Editable())
        SelectElementAtCaret();
}

void CRichDraw::OnMouseWheel(WPARAM wParam)
{
    if (!Active() || (layoutFlags & LayoutSingleLine))
        return;
    int step = GET_WHEEL_DELTA_WPARAM(wParam) > 0 ? defaultLineHeight : -defaultLineHeight;
    ScrollAndReport(horizontalOffset, verticalOffset + step);
}

bool CRichDraw::OnSetCursor()
{
    if (!Active())
        return false;
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(window, &cursor);
    if (!::PtInRect(&rect, cursor))
        return false;
    if (readOnly && dragScroll) {
        if (!dragCursor || contentHeight <= rect.bottom - rect.top)
            return false;
        ::SetCursor(dragCursor);
        return true;
    }
    ::SetCursor(::LoadCursorW(nullptr, IDC_IBEAM));
    return true;
}

void CRichDraw::OnVScroll(int code)
{
    if (!Active() || !(::GetWindowLongW(window, GWL_STYLE) & WS_VSCROLL))
        return;
    SCROLLINFO info{sizeof info};
    info.fMask = SIF_ALL;
    ::GetScrollInfo(window, SB_VERT, &info);
    int lowest = info.nMax - static_cast<int>(info.nPage) + 1;
    int position = info.nPos;
    switch (code) {
    case SB_LINEUP:
        position = std::max(0, position - defaultLineHeight);
        break;
    case SB_LINEDOWN:
        position = std::min(lowest, position + defaultLineHeight);
        break;
    case SB_PAGEUP:
        position = std::max(0, position - static_cast<int>(info.nPage));
        break;
    case SB_PAGEDOWN:
        position = std::min(lowest, position + static_cast<int>(info.nPage));
        break;
    case SB_THUMBTRACK:
        position = info.nTrackPos;
        break;
    default:
        break;
    }
    SCROLLINFO update{sizeof update};
    update.fMask = SIF_POS;
    update.nPos = position;
    ::SetScrollInfo(window, SB_VERT, &update, TRUE);
    ScrollTo(0, -position);
}

void CRichDraw::OnDragTimer()
{
    BYTE keys[256] = {};
    if (!window || !::GetKeyboardState(keys) || !(keys[VK_LBUTTON] & 0x80)) {
        EndDrag();
        return;
    }
    POINT cursor{};
    ::GetCursorPos(&cursor);
    ::ScreenToClient(window, &cursor);
    if (::PtInRect(&rect, cursor))
        return;
    if (layoutFlags & LayoutSingleLine) {
        int distance = cursor.x < rect.left ? rect.left - cursor.x
                       : cursor.x >= rect.right ? cursor.x - rect.right + 1 : 0;
        int step = (distance / 5 + 1) * widestCharacter;
        if (cursor.x < rect.left)
            ScrollTo(horizontalOffset + step, verticalOffset);
        else if (cursor.x >= rect.right)
            ScrollTo(horizontalOffset - step, verticalOffset);
    } else {
        int distance = cursor.y < rect.top ? rect.top - cursor.y
                       : cursor.y >= rect.bottom ? cursor.y - rect.bottom + 1 : 0;
        int step = (distance / 5 + 1) * defaultLineHeight;
        if (cursor.y < rect.top)
            ScrollTo(horizontalOffset, verticalOffset + step);
        else if (cursor.y >= rect.bottom)
            ScrollTo(horizontalOffset, verticalOffset - step);
    }
    HitTest(cursor.x, cursor.y);
    ExtendSelectionTo(caretIndex);
}

void CRichDraw::DragScrollBy(int dy)
{
    double height = rect.bottom - rect.top;
    scrollTarget += 1.5 * dy;
    scrollTarget = std::min(scrollTarget, 0.3 * height);
    scrollTarget = std::max(scrollTarget, 0.7 * height - contentHeight);
    if (contentHeight > height)
        StartSmoothScroll();
}

void CRichDraw::SpringBack()
{
    double lowest = std::min(0, static_cast<int>(rect.bottom - rect.top) - contentHeight);
    double clamped = std::clamp(scrollTarget, lowest, 0.0);
    if (clamped == scrollTarget && verticalOffset == static_cast<int>(scrollTarget))
        return;
    scrollTarget = clamped;
    StartSmoothScroll();
}

void CRichDraw::StartSmoothScroll()
{
    ::SetTimer(window, SmoothScrollTimer, SmoothScrollMilliseconds, nullptr);
}

void CRichDraw::OnSmoothScrollTimer()
{
    if (!window || !readOnly) {
        ::KillTimer(window, SmoothScrollTimer);
        return;
    }
    double distance = scrollTarget - verticalOffset;
    int step = static_cast<int>(distance * 0.2);
    // Whole pixels: the last few are taken one at a time so the target is reached.
    if (step == 0 && static_cast<int>(distance) != 0)
        step = distance > 0 ? 1 : -1;
    if (step == 0) {
        ::KillTimer(window, SmoothScrollTimer);
        ::PostMessageW(window, ScrollSettledMessage, 0, 0);
        return;
    }
    verticalOffset += step;
    InvalidateView(false);
}
