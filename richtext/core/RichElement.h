#pragma once
#include <memory>
#include <string>

#include "RichTypes.h"
#include "SharedString.h"

// A picture handle owned by the element that holds it. The drawing layer creates it
// with a deleter that frees the bitmap; the model only carries it.
using BitmapRef = std::shared_ptr<void>;

constexpr int ElementImage = 0;
constexpr int ElementCharacter = 1;

const wchar_t* const ImageLoadingText = L"加载中...";
const wchar_t* const DefaultFaceName = L"宋体";

// The default face, shared by every element that keeps it.
const SharedString& DefaultFace();

// One character (carriage return and line feed included) or one picture.
struct RichElement {
    int lineTop = 0;  // content coordinates
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
    wchar_t character = 0;
    wchar_t maskCharacter = 0;
    BitmapRef displayBitmap;
    BitmapRef sourceBitmap;
    std::wstring imagePath;
    SharedString link;
    int kind = ElementImage;
    int transparentBackground = 1;
    COLORREF backgroundColour = 0x00FF0000;
    COLORREF textColour = 0;
    int selected = 0;
    int bold = 0;
    int strikeout = 0;
    int italic = 0;
    int underline = 0;
    int size = 90;  // tenths of a point
    const wchar_t* statusText = ImageLoadingText;
    SharedString face = DefaultFace();

    bool IsCharacter() const { return kind == ElementCharacter; }
    bool IsImage() const { return kind == ElementImage; }
    bool Is(wchar_t c) const { return kind == ElementCharacter && character == c; }
    bool IsLineBreak() const { return Is(L'\r') || Is(L'\n'); }
};
