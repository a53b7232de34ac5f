#include "WindowImpl.h"

#include <cwchar>
#include <mutex>

namespace {

std::mutex classRegistrationLock;

CWindowImplRoot* ObjectOf(HWND hwnd)
{
    return reinterpret_cast<CWindowImplRoot*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
}

} // namespace

CWindowImplRoot::~CWindowImplRoot()
{
    if (window && ::IsWindow(window)) {
        HWND doomed = window;
        ::SetWindowLongPtrW(doomed, objectSlot, 0);
        window = nullptr;
        ::DestroyWindow(doomed);
    }
}

bool CWindowImplRoot::HandleMessage(HWND, UINT, WPARAM, LPARAM, LRESULT&, DWORD)
{
    return false;
}

WNDPROC CWindowImplRoot::GetMessageProc()
{
    return &CWindowImplRoot::WindowProc;
}

void CWindowImplRoot::OnWindowGone(HWND) {}

bool CWindowImplRoot::Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result)
{
    MSG msg{hwnd, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const MSG* outer = currentMessage;
    currentMessage = &msg;
    result = 0;
    bool handled = HandleMessage(hwnd, message, wParam, lParam, result, 0);
    currentMessage = outer;
    return handled;
}

void CWindowImplRoot::Detach(HWND gone)
{
    window = nullptr;
    OnWindowGone(gone);
}

LRESULT CALLBACK CWindowImplRoot::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        auto* object = static_cast<CWindowImplRoot*>(create->lpCreateParams);
        if (object) {
            object->window = hwnd;
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(object));
        }
    }
    CWindowImplRoot* object = ObjectOf(hwnd);
    if (!object)
        return ::DefWindowProcW(hwnd, message, wParam, lParam);

    LRESULT result = 0;
    bool handled = object->Dispatch(hwnd, message, wParam, lParam, result);
    if (!handled)
        result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        object->Detach(hwnd);
    }
    return result;
}

ATOM RegisterFrameworkClass(WindowClassRecord& record, WNDPROC proc)
{
    std::lock_guard<std::mutex> guard(classRegistrationLock);
    if (record.atom)
        return record.atom;
    std::swprintf(record.name, sizeof record.name / sizeof record.name[0], L"ATL:%p",
                  static_cast<void*>(&record));
    WNDCLASSEXW wc{};
    wc.cbSize = sizeof wc;
    wc.style = CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
    wc.lpfnWndProc = proc;
    wc.hInstance = AppModule.Instance() ? AppModule.Instance() : ::GetModuleHandleW(nullptr);
    wc.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = record.name;
    record.atom = ::RegisterClassExW(&wc);
    return record.atom;
}
