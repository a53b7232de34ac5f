#pragma once
#include <windows.h>

#include <vector>

// One copy of a nine-grid drawing: a source rectangle of the picture scaled into a
// destination rectangle (nearest neighbour, no smoothing).
struct NineGridPiece {
    int srcX, srcY, srcWidth, srcHeight;
    int dstX, dstY, dstWidth, dstHeight;
    bool operator==(const NineGridPiece& other) const;
};

// Where the pieces of a `width` x `height` picture with the given split lines go to
// fill `dest`, in drawing order. Columns left of `splitLeft` and from `splitRight` on
// keep their size, likewise rows for top and bottom; the corners come last. When a
// pair of split lines differs, the part between them stays at its size, centred, and
// the gaps beside it are stretched from its first and last column (or row). Split
// lines must already be resolved (no -1).
std::vector<NineGridPiece> NineGridPieces(int width, int height, int splitLeft, int splitRight,
                                          int splitTop, int splitBottom, const RECT& dest);

// A picture drawn stretched to any rectangle while its corners keep their size: the
// window drop shadow and the stretched button pictures.
class NineGridImage {
public:
    // -1 means automatic: half the picture's size, resolved at the first drawing.
    int splitLeft = -1;
    int splitRight = -1;
    int splitTop = -1;
    int splitBottom = -1;
    HBITMAP bitmap = nullptr;
    int width = 0;
    int height = 0;
    bool owned = false;
    BLENDFUNCTION blend{AC_SRC_OVER, 0, 255, AC_SRC_ALPHA};

    NineGridImage() = default;
    ~NineGridImage();
    NineGridImage(const NineGridImage&) = delete;
    NineGridImage& operator=(const NineGridImage&) = delete;

    // Releases the picture and returns to the state after construction.
    void Reset();
    // When exactly one line of a pair is -1 it takes the other's value.
    void SetSplits(int left, int right, int top, int bottom);
    // Takes the picture (deleted on release when `takeOwnership`) and reads its size.
    void Attach(HBITMAP picture, bool takeOwnership);
    void SetConstantAlpha(BYTE alpha);
    // Draws into `dest` through `scratch`, a memory DC the picture is selected into.
    void Draw(HDC dest, HDC scratch, int left, int top, int right, int bottom);
    // Deletes the picture if owned; the handle is forgotten either way.
    void Release();
};
