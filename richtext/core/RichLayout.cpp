#include "RichLayout.h"

#include <algorithm>

#include "RichElement.h"

namespace {

class LineBuilder {
public:
    LineBuilder(const std::vector<RichElement*>& elements, const LayoutParams& params)
        : elements(elements), params(params), x(params.rect.left), top(params.rect.top)
    {
    }

    void CloseLine(int first, int last, int width)
    {
        int height = lineHeight ? lineHeight : params.defaultLineHeight;
        lines.push_back({top, top + height + params.lineSpacing, first, last, width});
        top += height + params.lineSpacing;
        x = params.rect.left;
        lineHeight = 0;
    }

    // Bottom alignment: a taller element lowers everything already on the line.
    void Place(int index)
    {
        RichElement& element = *elements[index];
        if (element.height > lineHeight) {
            lineHeight = element.height;
            for (int i = lineStart; i < index; ++i)
                elements[i]->y = top + lineHeight - elements[i]->height;
        }
        element.lineTop = top;
        element.x = x;
        element.y = top + lineHeight - element.height;
        x += element.width;
    }

    bool IsHardBreak(int index) const
    {
        const RichElement& element = *elements[index];
        if (element.Is(L'\n'))
            return true;
        int last = static_cast<int>(elements.size()) - 1;
        return element.Is(L'\r') && index != last && !elements[index + 1]->Is(L'\n');
    }

    void LayOutSingleLine()
    {
        for (int i = 0; i < static_cast<int>(elements.size()); ++i)
            Place(i);
        if (!elements.empty())
            CloseLine(0, static_cast<int>(elements.size()) - 1, x - params.rect.left);
        contentWidth = lines.empty() ? 0 : lines.back().width;
    }

    void LayOutLines()
    {
        const int count = static_cast<int>(elements.size());
        for (int i = 0; i < count; ++i) {
            RichElement& element = *elements[i];
            if (IsHardBreak(i)) {
                // The break's own height does not raise the line.
                int height = lineHeight ? lineHeight : params.defaultLineHeight;
                element.lineTop = top;
                element.x = x;
                element.y = top + height - element.height;
                breakRise = std::max(breakRise, element.height - height);
                CloseLine(lineStart, i, x + element.width - params.rect.left);
                lineStart = i + 1;
                continue;
            }
            if (x + element.width >= params.rect.right) {
                if (i == lineStart) {
                    // Too wide for any line: an empty line of default height stays above it.
                    CloseLine(i, i, 0);
                } else {
                    CloseLine(lineStart, i - 1, x - params.rect.left);
                    lineStart = i;
                }
            }
            Place(i);
        }
        if (lineStart < count)
            CloseLine(lineStart, count - 1, x - params.rect.left);
    }

    void CentreLines()
    {
        int rectWidth = params.rect.right - params.rect.left;
        for (const LineRecord& line : lines) {
            int shift = (rectWidth - line.width) / 2;
            if (shift < 0)
                continue;
            for (int i = line.first; i <= line.last; ++i)
                elements[i]->x += shift;
        }
    }

    LayoutResult Finish()
    {
        LayoutResult result;
        int lastTop = params.rect.top;
        int lastHeight = params.defaultLineHeight;
        if (!lines.empty()) {
            lastTop = lines.back().top;
            lastHeight = lines.back().nextTop - lines.back().top - params.lineSpacing;
        }
        if (params.flags & LayoutCentreVertically) {
            int spare = static_cast<int>(params.rect.bottom) - lastHeight - lastTop;
            result.verticalCentring = std::max(0, spare / 2);
        }
        result.contentHeight = lastTop + lastHeight - static_cast<int>(params.rect.top);
        result.contentWidth = contentWidth;
        result.breakRise = breakRise;
        result.lines = std::move(lines);
        return result;
    }

private:
    const std::vector<RichElement*>& elements;
    const LayoutParams& params;
    std::vector<LineRecord> lines;
    int x;
    int top;
    int lineHeight = 0;
    int lineStart = 0;
    int contentWidth = 0;
    int breakRise = 0;
};

int NearestCharacterHeight(const std::vector<RichElement*>& elements, int from, int step,
                           const RichElement** found)
{
    for (int i = from; i >= 0 && i < static_cast<int>(elements.size()); i += step) {
        if (elements[i]->IsCharacter()) {
            *found = elements[i];
            return elements[i]->height;
        }
    }
    *found = nullptr;
    return 0;
}

}  // namespace

LayoutResult LayoutElements(const std::vector<RichElement*>& elements, const LayoutParams& params)
{
    for (RichElement* element : elements) {
        if (element->IsLineBreak())
            element->width = 0;
    }
    LineBuilder builder(elements, params);
    if (params.flags & LayoutSingleLine)
        builder.LayOutSingleLine();
    else
        builder.LayOutLines();
    if (params.flags & LayoutCentreLines)
        builder.CentreLines();
    return builder.Finish();
}

CaretSpot PlaceCaret(const std::vector<RichElement*>& elements, int index, int previousIndex,
                     const LayoutParams& params)
{
    const int count = static_cast<int>(elements.size());
    CaretSpot caret;
    caret.index = std::clamp(index, 0, count);
    caret.x = params.rect.left;
    caret.y = params.rect.top;
    caret.height = params.defaultLineHeight;

    int& i = caret.index;
    if (i > 0 && i < count && elements[i]->Is(L'\n') && elements[i - 1]->Is(L'\r'))
        i = i < previousIndex ? i - 1 : i + 1;

    if (i < count) {
        const RichElement& current = *elements[i];
        const RichElement* previous = i > 0 ? elements[i - 1] : nullptr;
        if (previous && previous->IsCharacter() && previous->width > 0) {
            caret.x = current.x;
            if (previous->lineTop == current.lineTop && previous->x < current.x) {
                // Stands on the line's bottom with the height of the character before it.
                caret.height = previous->height;
                caret.y = current.y + current.height - caret.height;
            } else {
                caret.height = current.height;
                caret.y = current.y;
            }
        } else if (current.IsCharacter()) {
            caret.height = current.height;
            caret.x = current.x;
            caret.y = current.y;
        } else {
            caret.x = current.x;
            const RichElement* next = nullptr;
            int height = NearestCharacterHeight(elements, i + 1, 1, &next);
            if (next) {
                caret.height = height;
                caret.y = next->y;
            } else {
                const RichElement& last = *elements[count - 1];
                caret.y = last.y + last.height - params.defaultLineHeight;
            }
        }
    } else if (count > 0) {
        const RichElement& last = *elements[count - 1];
        if (last.Is(L'\n')) {
            caret.y = last.y + last.height + params.lineSpacing;
        } else {
            caret.x = last.x + last.width;
            caret.y = last.y;
            caret.height = last.height;
            if (last.IsImage()) {
                const RichElement* before = nullptr;
                int height = NearestCharacterHeight(elements, count - 2, -1, &before);
                if (before) {
                    caret.height = height;
                    caret.y = last.y + last.height - height;
                }
            }
        }
    }
    return caret;
}

ElementSpan ElementsInRows(const std::vector<LineRecord>& lines, int top, int bottom,
                           int lineSpacing, int breakRise)
{
    // An element ends at its line's bottom (the next top without the spacing) and
    // starts at its line's top, or up to breakRise above it for a line break.
    auto firstShown = std::partition_point(lines.begin(), lines.end(), [&](const LineRecord& line) {
        return line.nextTop - lineSpacing < top;
    });
    auto pastShown = std::partition_point(firstShown, lines.end(), [&](const LineRecord& line) {
        return line.top - breakRise <= bottom;
    });
    if (firstShown == pastShown)
        return {};
    return {firstShown->first, (pastShown - 1)->last + 1};
}

SIZE FitImageSize(SIZE source, int largestSide)
{
    if (source.cx <= largestSide && source.cy <= largestSide)
        return source;
    if (source.cx >= source.cy)
        return {largestSide, static_cast<LONG>(static_cast<long long>(source.cy) * largestSide / source.cx)};
    return {static_cast<LONG>(static_cast<long long>(source.cx) * largestSide / source.cy), largestSide};
}

int LargestImageSideForWidth(int width)
{
    return std::clamp(width * 80 / 100, 40, 150);
}
