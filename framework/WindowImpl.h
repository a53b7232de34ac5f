#pragma once
#include <windows.h>

#include "AppModule.h"

// Non-template root of every framework window and dialog. Each level of a class tree
// overrides HandleMessage, calls its base first and stops once the base handled the
// message; whatever nobody handles goes to the default processing.
class CWindowImplRoot {
public:
    HWND window = nullptr;

    CWindowImplRoot() = default;
    CWindowImplRoot(const CWindowImplRoot&) = delete;
    CWindowImplRoot& operator=(const CWindowImplRoot&) = delete;

    virtual bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam,
                               LRESULT& result, DWORD mapId);
    virtual ~CWindowImplRoot();
    virtual WNDPROC GetMessageProc();
    // Called after the window's last message (WM_NCDESTROY); `window` is already null.
    virtual void OnWindowGone(HWND gone);

    // The message being dispatched, for handlers that need its time or position.
    const MSG* CurrentMessage() const { return currentMessage; }

    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

protected:
    // Where the window keeps the pointer to its object (DWLP_USER for dialogs).
    int objectSlot = GWLP_USERDATA;

    // Routes one message through HandleMessage; false when nobody handled it.
    bool Dispatch(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result);
    void Detach(HWND gone);

private:
    friend INT_PTR CALLBACK FrameworkDialogProc(HWND, UINT, WPARAM, LPARAM);
    const MSG* currentMessage = nullptr;
};

// Registers a window class once per process, under a lock, named "ATL:%p" after the
// address of its registration record.
struct WindowClassRecord {
    ATOM atom = 0;
    wchar_t name[32] = {};
};
ATOM RegisterFrameworkClass(WindowClassRecord& record, WNDPROC proc);

// Window-implementation base, one window class per final class T.
template <class T>
class CWindowImpl : public CWindowImplRoot {
public:
    HWND Create(HWND parent, const RECT& rect, const wchar_t* name, DWORD style,
                DWORD exStyle = 0, UINT_PTR id = 0)
    {
        ATOM atom = RegisterFrameworkClass(ClassRecord(), GetMessageProc());
        if (!atom)
            return nullptr;
        return ::CreateWindowExW(exStyle, MAKEINTATOM(atom), name, style, rect.left, rect.top,
                                 rect.right - rect.left, rect.bottom - rect.top, parent,
                                 reinterpret_cast<HMENU>(id), AppModule.Instance(), this);
    }

    static WindowClassRecord& ClassRecord()
    {
        static WindowClassRecord record;
        return record;
    }
};
