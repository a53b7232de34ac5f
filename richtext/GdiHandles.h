#pragma once
#include <windows.h>
#include <memory>

// Owners of GDI handles, freed with DeleteObject / DeleteDC.
struct GdiObjectDeleter {
    void operator()(void* handle) const
    {
        if (handle)
            ::DeleteObject(static_cast<HGDIOBJ>(handle));
    }
};
struct MemoryDcDeleter {
    void operator()(HDC dc) const
    {
        if (dc)
            ::DeleteDC(dc);
    }
};

using UniqueFont = std::unique_ptr<std::remove_pointer_t<HFONT>, GdiObjectDeleter>;
using UniqueBrush = std::unique_ptr<std::remove_pointer_t<HBRUSH>, GdiObjectDeleter>;
using UniquePen = std::unique_ptr<std::remove_pointer_t<HPEN>, GdiObjectDeleter>;
using UniqueMemoryDc = std::unique_ptr<std::remove_pointer_t<HDC>, MemoryDcDeleter>;

// The screen's device context for as long as the object lives.
class ScreenDc {
public:
    ScreenDc() : dc(::GetDC(nullptr)) {}
    ~ScreenDc() { ::ReleaseDC(nullptr, dc); }
    ScreenDc(const ScreenDc&) = delete;
    ScreenDc& operator=(const ScreenDc&) = delete;
    HDC Get() const { return dc; }

private:
    HDC dc;
};

// Selects an object into a device context and puts the previous one back.
class ScopedSelect {
public:
    ScopedSelect(HDC dc, HGDIOBJ object) : dc(dc), previous(::SelectObject(dc, object)) {}
    ~ScopedSelect() { ::SelectObject(dc, previous); }
    ScopedSelect(const ScopedSelect&) = delete;
    ScopedSelect& operator=(const ScopedSelect&) = delete;

private:
    HDC dc;
    HGDIOBJ previous;
};
