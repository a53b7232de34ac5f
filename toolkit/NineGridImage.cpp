#include "NineGridImage.h"

#include "GdiObjects.h"
#include "ImageResources.h"

#include <algorithm>

bool NineGridPiece::operator==(const NineGridPiece& o) const
{
    return srcX == o.srcX && srcY == o.srcY && srcWidth == o.srcWidth && srcHeight == o.srcHeight &&
           dstX == o.dstX && dstY == o.dstY && dstWidth == o.dstWidth && dstHeight == o.dstHeight;
}

namespace {

// One stretch of a single axis: source start and length, destination start and length.
struct Span {
    enum Kind { Edge, Stretch, Middle } kind;
    int src, srcLength, dst, dstLength;
};

// Near edge, stretched gap(s) with the untouched middle between them, far edge.
std::vector<Span> AxisSpans(int size, int nearSplit, int farSplit, int dstStart, int dstEnd)
{
    std::vector<Span> spans;
    nearSplit = std::clamp(nearSplit, 0, size);
    farSplit = std::clamp(farSplit, 0, size);
    if (farSplit < nearSplit)
        std::swap(nearSplit, farSplit);
    const int extra = (dstEnd - dstStart) - size;
    const int farEdge = size - farSplit;
    const int middle = farSplit - nearSplit;
    spans.push_back({Span::Edge, 0, nearSplit, dstStart, nearSplit});
    if (middle <= 0) {
        if (extra > 0)
            spans.push_back({Span::Stretch, nearSplit, 1, dstStart + nearSplit, extra});
    } else if (extra >= 0) {
        const int before = extra / 2;
        const int after = extra - before;
        const int middleStart = dstStart + nearSplit + before;
        if (before > 0)
            spans.push_back({Span::Stretch, nearSplit, 1, dstStart + nearSplit, before});
        spans.push_back({Span::Middle, nearSplit, middle, middleStart, middle});
        if (after > 0)
            spans.push_back({Span::Stretch, farSplit - 1, 1, middleStart + middle, after});
    }
    spans.push_back({Span::Edge, farSplit, farEdge, dstEnd - farEdge, farEdge});
    return spans;
}

NineGridPiece PieceOf(const Span& column, const Span& row)
{
    return {column.src, row.src, column.srcLength, row.srcLength,
            column.dst, row.dst, column.dstLength, row.dstLength};
}

// A block stretched from one pixel in both directions is drawn as four quadrants
// of half the size, rounded up; for odd sizes the two halves overlap by one line.
void AddQuadrants(std::vector<NineGridPiece>& pieces, const Span& column, const Span& row)
{
    const int quarterWidth = (column.dstLength + 1) / 2;
    const int quarterHeight = (row.dstLength + 1) / 2;
    for (int dy : {0, row.dstLength / 2}) {
        for (int dx : {0, column.dstLength / 2}) {
            pieces.push_back({column.src, row.src, 1, 1, column.dst + dx, row.dst + dy,
                              quarterWidth, quarterHeight});
        }
    }
}

} // namespace

std::vector<NineGridPiece> NineGridPieces(int width, int height, int splitLeft, int splitRight,
                                          int splitTop, int splitBottom, const RECT& dest)
{
    std::vector<NineGridPiece> pieces;
    if (width <= 0 || height <= 0)
        return pieces;
    const std::vector<Span> columns = AxisSpans(width, splitLeft, splitRight, dest.left, dest.right);
    const std::vector<Span> rows = AxisSpans(height, splitTop, splitBottom, dest.top, dest.bottom);
    const Span& leftEdge = columns.front();
    const Span& rightEdge = columns.back();
    const Span& topEdge = rows.front();
    const Span& bottomEdge = rows.back();
    const auto inner = [](const std::vector<Span>& spans) {
        return std::vector<Span>(spans.begin() + 1, spans.end() - 1);
    };

    // Top and bottom bands, left and right bands, the centre, then the corners.
    for (const Span* edgeRow : {&topEdge, &bottomEdge}) {
        for (const Span& column : inner(columns))
            pieces.push_back(PieceOf(column, *edgeRow));
    }
    for (const Span* edgeColumn : {&leftEdge, &rightEdge}) {
        for (const Span& row : inner(rows))
            pieces.push_back(PieceOf(*edgeColumn, row));
    }
    for (const Span& row : inner(rows)) {
        for (const Span& column : inner(columns)) {
            if (row.kind == Span::Stretch && column.kind == Span::Stretch)
                AddQuadrants(pieces, column, row);
            else
                pieces.push_back(PieceOf(column, row));
        }
    }
    pieces.push_back(PieceOf(leftEdge, topEdge));
    pieces.push_back(PieceOf(rightEdge, topEdge));
    pieces.push_back(PieceOf(leftEdge, bottomEdge));
    pieces.push_back(PieceOf(rightEdge, bottomEdge));

    std::vector<NineGridPiece> drawn;
    for (const NineGridPiece& piece : pieces) {
        if (piece.srcWidth > 0 && piece.srcHeight > 0 && piece.dstWidth > 0 && piece.dstHeight > 0)
            drawn.push_back(piece);
    }
    return drawn;
}

NineGridImage::~NineGridImage()
{
    Release();
}

void NineGridImage::Reset()
{
    Release();
    splitLeft = splitRight = splitTop = splitBottom = -1;
    blend = BLENDFUNCTION{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};
}

void NineGridImage::SetSplits(int left, int right, int top, int bottom)
{
    splitLeft = left == -1 ? right : left;
    splitRight = right == -1 ? left : right;
    splitTop = top == -1 ? bottom : top;
    splitBottom = bottom == -1 ? top : bottom;
}

void NineGridImage::Attach(HBITMAP picture, bool takeOwnership)
{
    Release();
    bitmap = picture;
    owned = takeOwnership;
    SIZE size = BitmapSize(picture);
    width = size.cx;
    height = size.cy;
}

void NineGridImage::SetConstantAlpha(BYTE alpha)
{
    blend.SourceConstantAlpha = alpha;
}

void NineGridImage::Draw(HDC dest, HDC scratch, int left, int top, int right, int bottom)
{
    if (!bitmap || width <= 0 || height <= 0)
        return;
    if (splitLeft == -1 && splitRight == -1)
        splitLeft = splitRight = width / 2;
    if (splitTop == -1 && splitBottom == -1)
        splitTop = splitBottom = height / 2;

    ScopedSelection picture(scratch, bitmap);
    for (const NineGridPiece& p : NineGridPieces(width, height, splitLeft, splitRight, splitTop,
                                                 splitBottom, RECT{left, top, right, bottom})) {
        ::AlphaBlend(dest, p.dstX, p.dstY, p.dstWidth, p.dstHeight, scratch, p.srcX, p.srcY,
                     p.srcWidth, p.srcHeight, blend);
    }
}

void NineGridImage::Release()
{
    if (bitmap && owned)
        ::DeleteObject(bitmap);
    bitmap = nullptr;
    owned = false;
    width = height = 0;
}
