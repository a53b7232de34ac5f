#include "MessageTextLayout.h"

void MessageTextLayout::SetText(const std::wstring& text)
{
    cells.clear();
    lines.clear();
    for (wchar_t ch : text)
        cells.push_back(Cell{ch, 0, 0, 0, 0});
    cachedTextHeight = 0;
    cachedAverageWidth = 0;
}

void MessageTextLayout::SetBounds(const RECT& box)
{
    bounds = box;
    cachedTextHeight = 0;
    cachedAverageWidth = 0;
}

bool MessageTextLayout::Update(const CharMeasure& measure)
{
    const int textHeight = measure.TextHeight();
    const int averageWidth = measure.AverageCharWidth();
    if (textHeight == cachedTextHeight && averageWidth == cachedAverageWidth)
        return false;
    cachedTextHeight = textHeight;
    cachedAverageWidth = averageWidth;
    for (Cell& cell : cells) {
        const SIZE extent = measure.CharExtent(cell.ch);
        cell.width = extent.cx + charSpacing;
        cell.height = extent.cy;
    }
    const SIZE ellipsisExtent = measure.CharExtent(Ellipsis);
    ellipsis.width = ellipsisExtent.cx + charSpacing;
    ellipsis.height = ellipsisExtent.cy;
    Layout(textHeight);
    return true;
}

bool MessageTextLayout::EndsLine(size_t index) const
{
    const wchar_t ch = cells[index].ch;
    if (ch == L'\n')
        return true;
    // A CR before an LF, or a final CR, is an ordinary zero-width cell.
    return ch == L'\r' && index + 1 < cells.size() && cells[index + 1].ch != L'\n';
}

void MessageTextLayout::AddLine(int top, int height, size_t first, size_t last, int x)
{
    lines.push_back(Line{top, top + height + lineGap, first, last, x - bounds.left});
}

void MessageTextLayout::Layout(int textHeight)
{
    lines.clear();
    int x = bounds.left;
    int y = bounds.top;
    int h = 0;
    size_t start = 0;
    for (size_t i = 0; i < cells.size(); ++i) {
        Cell& cell = cells[i];
        if (cell.ch == L'\r' || cell.ch == L'\n')
            cell.width = 0;
        if (EndsLine(i)) {
            if (h == 0)
                h = textHeight;
            cell.x = x;
            cell.y = y + h - cell.height;
            AddLine(y, h, start, i, x);
            y += h + lineGap;
            h = textHeight;
            start = i + 1;
            x = bounds.left;
            continue;
        }
        if (x + cell.width >= bounds.right) {
            if (h == 0)
                h = textHeight;
            AddLine(y, h, start, start == i ? i : i - 1, x);
            y += h + lineGap;
            h = 0;
            start = i;
            x = bounds.left;
        }
        if (cell.height > h) {
            h = cell.height;
            for (size_t j = start; j < i; ++j)
                cells[j].y = y + h - cells[j].height;
        }
        cell.x = x;
        cell.y = y + h - cell.height;
        x += cell.width;
    }
    if (!cells.empty() && start < cells.size())
        AddLine(y, h, start, cells.size() - 1, x);

    verticalOffset = 0;
    if (flags & CenterVertically) {
        const int offset = (bounds.bottom - (y + h)) / 2;
        verticalOffset = offset > 0 ? offset : 0;
    }
    FitIntoBounds();
}

void MessageTextLayout::FitIntoBounds()
{
    size_t fitting = 0;
    while (fitting < lines.size() &&
           lines[fitting].top + LineHeight(lines[fitting]) + verticalOffset <= bounds.bottom)
        ++fitting;
    drawnCells = fitting == 0 ? 0 : lines[fitting - 1].last + 1;
    ellipsisShown = fitting > 0 && fitting < lines.size();
    if (!ellipsisShown)
        return;

    // Cells leave the last fitting line until the ellipsis fits before the right edge.
    const Line& line = lines[fitting - 1];
    auto endOfKept = [&] {
        return drawnCells > line.first ? cells[drawnCells - 1].x + cells[drawnCells - 1].width
                                       : bounds.left;
    };
    while (drawnCells > line.first && endOfKept() + ellipsis.width >= bounds.right)
        --drawnCells;
    ellipsis.x = endOfKept();
    ellipsis.y = line.top + LineHeight(line) - ellipsis.height;
}
