#include "ToolkitTestSupport.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "AlphaSurface.h"
#include "GdiObjects.h"
#include "TestSupport.h"

std::vector<uint32_t> BitmapPixels(HBITMAP bitmap)
{
    BITMAP info{};
    ::GetObjectW(bitmap, sizeof info, &info);
    std::vector<uint32_t> pixels(static_cast<size_t>(info.bmWidth) * info.bmHeight);
    BITMAPINFO header{};
    header.bmiHeader.biSize = sizeof header.bmiHeader;
    header.bmiHeader.biWidth = info.bmWidth;
    header.bmiHeader.biHeight = -info.bmHeight;
    header.bmiHeader.biPlanes = 1;
    header.bmiHeader.biBitCount = 32;
    header.bmiHeader.biCompression = BI_RGB;
    HDC screen = ::GetDC(nullptr);
    ::GetDIBits(screen, bitmap, 0, info.bmHeight, pixels.data(), &header, DIB_RGB_COLORS);
    ::ReleaseDC(nullptr, screen);
    return pixels;
}

std::vector<uint32_t> ScreenPixels(const RECT& area)
{
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    ScopedWindowDC screen(nullptr);
    ScopedMemoryDC memory(screen.Get());
    ScopedGdiObject<HBITMAP> bitmap(::CreateCompatibleBitmap(screen.Get(), width, height));
    {
        ScopedSelection selection(memory.Get(), bitmap.Get());
        ::BitBlt(memory.Get(), 0, 0, width, height, screen.Get(), area.left, area.top, SRCCOPY);
    }
    return BitmapPixels(bitmap.Get());
}

std::wstring SaveBackBuffer(const CAlphaSurface& surface, const std::wstring& name)
{
    wchar_t folder[MAX_PATH] = L"C:\\screenshots";
    ::GetEnvironmentVariableW(L"TESSAMO_SCREENSHOT_DIR", folder, MAX_PATH);
    ::CreateDirectoryW(folder, nullptr);
    const std::wstring path = std::wstring(folder) + L"\\" + name + L".bmp";

    const SIZE size = surface.BufferSize();
    std::string bytes;
    BITMAPFILEHEADER file{};
    BITMAPINFOHEADER info{};
    const DWORD pixelBytes = static_cast<DWORD>(size.cx) * size.cy * 4;
    file.bfType = 0x4D42;
    file.bfOffBits = sizeof file + sizeof info;
    file.bfSize = file.bfOffBits + pixelBytes;
    info.biSize = sizeof info;
    info.biWidth = size.cx;
    info.biHeight = size.cy;
    info.biPlanes = 1;
    info.biBitCount = 32;
    info.biCompression = BI_RGB;
    bytes.append(reinterpret_cast<const char*>(&file), sizeof file);
    bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
    bytes.append(reinterpret_cast<const char*>(surface.backBits), pixelBytes);
    WriteBytesFile(path, bytes);
    return path;
}

namespace {

void SendMouse(DWORD flags, int x = 0, int y = 0)
{
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = flags;
    if (flags & MOUSEEVENTF_ABSOLUTE) {
        input.mi.dx = ::MulDiv(x, 65535, ::GetSystemMetrics(SM_CXSCREEN) - 1);
        input.mi.dy = ::MulDiv(y, 65535, ::GetSystemMetrics(SM_CYSCREEN) - 1);
    }
    ::SendInput(1, &input, sizeof input);
}

} // namespace

void MoveMouseTo(int x, int y)
{
    SendMouse(MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE, x, y);
}

void PressMouse()
{
    SendMouse(MOUSEEVENTF_LEFTDOWN);
}

void ReleaseMouse()
{
    SendMouse(MOUSEEVENTF_LEFTUP);
}

void ClickAt(int x, int y)
{
    MoveMouseTo(x, y);
    PressMouse();
    ReleaseMouse();
}

POINT CentreOf(HWND hwnd)
{
    RECT rect{};
    ::GetWindowRect(hwnd, &rect);
    return POINT{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
}

uint32_t Alpha(uint32_t pixel)
{
    return pixel >> 24;
}

uint32_t Rgb(uint32_t pixel)
{
    return pixel & 0xFFFFFF;
}

uint32_t OpaquePixel(COLORREF color)
{
    return 0xFF000000u | GetRValue(color) << 16 | GetGValue(color) << 8 | GetBValue(color);
}

uint32_t Over(uint32_t picture, uint32_t background)
{
    const uint32_t alpha = Alpha(picture);
    uint32_t out = 0xFF000000;
    for (int shift : {0, 8, 16}) {
        const uint32_t channel =
            ((picture >> shift) & 0xFF) + ((background >> shift) & 0xFF) * (255 - alpha) / 255;
        out |= std::min<uint32_t>(channel, 255) << shift;
    }
    return out;
}

bool NearPixel(uint32_t a, uint32_t b)
{
    for (int shift : {0, 8, 16, 24}) {
        if (std::abs(static_cast<int>((a >> shift) & 0xFF) - static_cast<int>((b >> shift) & 0xFF)) > 2)
            return false;
    }
    return true;
}

void SendKey(WORD key, bool up)
{
    INPUT input{};
    input.type = INPUT_KEYBOARD;
    input.ki.wVk = key;
    input.ki.dwFlags = up ? KEYEVENTF_KEYUP : 0;
    ::SendInput(1, &input, sizeof input);
}

namespace {

// Calls `get` for one text of an element; empty when it fails or has none.
template <typename Get>
std::wstring TextOf(Get get)
{
    BSTR text = nullptr;
    std::wstring out;
    if (SUCCEEDED(get(&text)) && text)
        out.assign(text, ::SysStringLen(text));
    ::SysFreeString(text);
    return out;
}

template <typename Get>
long NumberOf(Get get)
{
    VARIANT value{};
    return SUCCEEDED(get(&value)) && value.vt == VT_I4 ? value.lVal : -1;
}

AccessibleElement Describe(IAccessible* object, long child)
{
    VARIANT id{};
    id.vt = VT_I4;
    id.lVal = child;
    AccessibleElement element;
    element.name = TextOf([&](BSTR* text) { return object->get_accName(id, text); });
    element.value = TextOf([&](BSTR* text) { return object->get_accValue(id, text); });
    element.description = TextOf([&](BSTR* text) { return object->get_accDescription(id, text); });
    element.defaultAction = TextOf([&](BSTR* text) { return object->get_accDefaultAction(id, text); });
    element.role = NumberOf([&](VARIANT* value) { return object->get_accRole(id, value); });
    element.state = NumberOf([&](VARIANT* value) { return object->get_accState(id, value); });
    return element;
}

IAccessible* ClientObject(HWND window)
{
    IAccessible* object = nullptr;
    ::AccessibleObjectFromWindow(window, OBJID_CLIENT, __uuidof(IAccessible), reinterpret_cast<void**>(&object));
    return object;
}

// The system's own function, for every other question while the slot is patched.
BOOL(WINAPI* systemParameters)(UINT, UINT, void*, UINT) = nullptr;

BOOL WINAPI ReportHighContrastOn(UINT action, UINT param, void* data, UINT flags)
{
    if (action == SPI_GETHIGHCONTRAST && data) {
        static_cast<HIGHCONTRASTW*>(data)->dwFlags = HCF_HIGHCONTRASTON | HCF_AVAILABLE;
        static_cast<HIGHCONTRASTW*>(data)->lpszDefaultScheme = nullptr;
        return TRUE;
    }
    return systemParameters(action, param, data, flags);
}

// The import address table slot through which this program calls `function` of user32.
void** UserImportSlot(const char* function)
{
    auto* base = reinterpret_cast<BYTE*>(::GetModuleHandleW(nullptr));
    const auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_DATA_DIRECTORY& imports = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
    for (auto* module = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + imports.VirtualAddress); module->Name;
         ++module) {
        if (_stricmp(reinterpret_cast<char*>(base + module->Name), "user32.dll") != 0)
            continue;
        auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->OriginalFirstThunk);
        auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + module->FirstThunk);
        for (; names->u1.AddressOfData; ++names, ++slots) {
            if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal))
                continue;
            const auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
            if (std::strcmp(reinterpret_cast<const char*>(byName->Name), function) == 0)
                return reinterpret_cast<void**>(&slots->u1.Function);
        }
    }
    return nullptr;
}

void SetImportSlot(void** slot, void* target)
{
    DWORD protection = 0;
    ::VirtualProtect(slot, sizeof *slot, PAGE_READWRITE, &protection);
    *slot = target;
    ::VirtualProtect(slot, sizeof *slot, protection, &protection);
}

} // namespace

void SendKeyPress(WORD key, WORD modifier)
{
    if (modifier)
        SendKey(modifier, false);
    SendKey(key, false);
    SendKey(key, true);
    if (modifier)
        SendKey(modifier, true);
}

AccessibleElement AccessibleElementOf(HWND window, long child)
{
    IAccessible* object = ClientObject(window);
    if (!object)
        return AccessibleElement{};
    AccessibleElement element = Describe(object, child);
    object->Release();
    return element;
}

std::vector<AccessibleElement> AccessibleChildrenOf(HWND window)
{
    std::vector<AccessibleElement> elements;
    IAccessible* object = ClientObject(window);
    if (!object)
        return elements;
    long count = 0;
    object->get_accChildCount(&count);
    std::vector<VARIANT> children(static_cast<size_t>(std::max(count, 0L)));
    long obtained = 0;
    ::AccessibleChildren(object, 0, count, children.data(), &obtained);
    for (long i = 0; i < obtained; ++i) {
        VARIANT& child = children[i];
        IAccessible* own = nullptr;
        if (child.vt == VT_DISPATCH && child.pdispVal &&
            SUCCEEDED(child.pdispVal->QueryInterface(__uuidof(IAccessible), reinterpret_cast<void**>(&own)))) {
            elements.push_back(Describe(own, CHILDID_SELF));
            own->Release();
        } else if (child.vt == VT_I4) {
            elements.push_back(Describe(object, child.lVal));
        }
        ::VariantClear(&child);
    }
    object->Release();
    return elements;
}

ScopedHighContrast::ScopedHighContrast(std::vector<int> systemElements, std::vector<COLORREF> colours)
    : elements(std::move(systemElements))
{
    for (int element : elements)
        previous.push_back(::GetSysColor(element));
    ::SetSysColors(static_cast<int>(elements.size()), elements.data(), colours.data());
    if (void** slot = UserImportSlot("SystemParametersInfoW")) {
        systemParameters = reinterpret_cast<decltype(systemParameters)>(*slot);
        SetImportSlot(slot, reinterpret_cast<void*>(&ReportHighContrastOn));
    }
}

ScopedHighContrast::~ScopedHighContrast()
{
    if (void** slot = UserImportSlot("SystemParametersInfoW"); slot && systemParameters)
        SetImportSlot(slot, reinterpret_cast<void*>(systemParameters));
    ::SetSysColors(static_cast<int>(elements.size()), elements.data(), previous.data());
}
