#pragma once
#include <windows.h>

// Scoped owners for the GDI handles the toolkit creates while drawing.

// Any object freed with DeleteObject (bitmaps, fonts, regions, brushes).
template <typename Handle>
class ScopedGdiObject {
public:
    explicit ScopedGdiObject(Handle owned = nullptr) : handle(owned) {}
    ~ScopedGdiObject() { Reset(); }
    ScopedGdiObject(const ScopedGdiObject&) = delete;
    ScopedGdiObject& operator=(const ScopedGdiObject&) = delete;

    Handle Get() const { return handle; }
    explicit operator bool() const { return handle != nullptr; }
    void Reset(Handle owned = nullptr)
    {
        if (handle)
            ::DeleteObject(handle);
        handle = owned;
    }
    Handle Release()
    {
        Handle out = handle;
        handle = nullptr;
        return out;
    }

private:
    Handle handle;
};

// A memory DC compatible with another DC, deleted at the end of the scope.
class ScopedMemoryDC {
public:
    explicit ScopedMemoryDC(HDC compatibleWith) : dc(::CreateCompatibleDC(compatibleWith)) {}
    ~ScopedMemoryDC()
    {
        if (dc)
            ::DeleteDC(dc);
    }
    ScopedMemoryDC(const ScopedMemoryDC&) = delete;
    ScopedMemoryDC& operator=(const ScopedMemoryDC&) = delete;
    HDC Get() const { return dc; }

private:
    HDC dc;
};

// The DC of a window (or of the screen for a null window), released at the end.
class ScopedWindowDC {
public:
    explicit ScopedWindowDC(HWND owner) : window(owner), dc(::GetDC(owner)) {}
    ~ScopedWindowDC()
    {
        if (dc)
            ::ReleaseDC(window, dc);
    }
    ScopedWindowDC(const ScopedWindowDC&) = delete;
    ScopedWindowDC& operator=(const ScopedWindowDC&) = delete;
    HDC Get() const { return dc; }

private:
    HWND window;
    HDC dc;
};

// Selects an object into a DC and puts the previous one back at the end.
class ScopedSelection {
public:
    ScopedSelection(HDC target, HGDIOBJ object) : dc(target), previous(::SelectObject(target, object)) {}
    ~ScopedSelection()
    {
        if (previous && previous != HGDI_ERROR)
            ::SelectObject(dc, previous);
    }
    ScopedSelection(const ScopedSelection&) = delete;
    ScopedSelection& operator=(const ScopedSelection&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};
