#pragma once
#include <windows.h>
#include <objidl.h>

#include <memory>

namespace Gdiplus {
class GpBitmap;
}

// ARGB value the image library uses for backgrounds; callers pass opaque black.
constexpr DWORD OpaqueBlackArgb = 0xFF000000;

// One picture decoded by the image library (GDI+), with the status of the last
// operation on it (0 = success). The stream the picture was decoded from lives as
// long as the picture, because the library may read from it late.
class CGdiImage {
public:
    CGdiImage() = default;
    ~CGdiImage();
    CGdiImage(const CGdiImage&) = delete;
    CGdiImage& operator=(const CGdiImage&) = delete;

    // Decodes a picture from `source`; keeps a reference to the stream.
    int DecodeFrom(IStream* source);
    // Takes over a copy of a bitmap (no palette).
    int CopyFrom(HBITMAP bitmap);

    unsigned Width();
    unsigned Height();
    // A new 32-bit bitmap with premultiplied alpha, or null (status says why).
    HBITMAP ToBitmap(DWORD backgroundArgb);
    // Non-premultiplied ARGB of one pixel, for checks against the converted bitmap.
    DWORD PixelArgb(unsigned x, unsigned y);

    int Status() const { return status; }
    bool Decoded() const { return bitmap != nullptr; }

private:
    int Record(int result);
    void Dispose();

    Gdiplus::GpBitmap* bitmap = nullptr;
    IStream* stream = nullptr;
    int status = 0;
};

// Decodes the "PNG" resource `id` of the program's own module. Null when the resource
// is missing; a picture that does not decode comes back with a failed status.
std::unique_ptr<CGdiImage> LoadPngResource(int id);

// The image library's conversion to a 32-bit premultiplied bitmap; null on failure.
HBITMAP ToPremultipliedBitmap(CGdiImage* image, DWORD backgroundArgb = OpaqueBlackArgb);

// LoadPngResource and ToPremultipliedBitmap in one step; null when either fails.
HBITMAP LoadPngBitmap(int id, DWORD backgroundArgb = OpaqueBlackArgb);

// Picture `id` for a window at `dpi`, at its 100 % size scaled by dpi / 96. Each picture
// is drawn for 100, 150 and 200 %: the drawing for the scale itself is used as it is,
// otherwise the next larger one is scaled down (ScalePixels). Beyond 200 % the 200 %
// drawing is the largest there is and is scaled up.
HBITMAP LoadPngBitmapAt(int id, UINT dpi, DWORD backgroundArgb = OpaqueBlackArgb);

// The percentage of the drawing LoadPngBitmapAt starts from at `dpi`: 100, 150 or 200.
int DrawnPercentFor(UINT dpi);

// A new 32-bit premultiplied bitmap with the same picture; null on failure. 32-bit
// bitmaps keep their alpha; others go through the image library.
HBITMAP CopyBitmap(HBITMAP bitmap);

// A 32-bit DIB section with rows stored bottom-up; `bits` receives its pixels.
HBITMAP CreateDib32(int width, int height, void** bits);

// Width and height of a bitmap; 0 x 0 for a null handle.
SIZE BitmapSize(HBITMAP bitmap);

// A 32-bit premultiplied bitmap resampled to `size`: every target pixel is the average
// of the source area it covers, weighted by how much of each source pixel lies in it
// (an area filter: no ringing, and alpha edges stay clean). Null on failure.
HBITMAP ScalePixels(HBITMAP source, SIZE size);
