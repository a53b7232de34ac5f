#pragma once
#include "WindowImpl.h"

// Dialog procedure shared by every framework dialog.
INT_PTR CALLBACK FrameworkDialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

// Dialog-implementation base: a modeless dialog created from the template T::IDD.
template <class T>
class CDialogImpl : public CWindowImplRoot {
public:
    CDialogImpl() { objectSlot = DWLP_USER; }

    HWND Create(HWND parent)
    {
        HINSTANCE instance = AppModule.Instance() ? AppModule.Instance() : ::GetModuleHandleW(nullptr);
        return ::CreateDialogParamW(instance, MAKEINTRESOURCEW(T::IDD), parent,
                                    &FrameworkDialogProc, reinterpret_cast<LPARAM>(this));
    }

    WNDPROC GetMessageProc() override
    {
        return reinterpret_cast<WNDPROC>(reinterpret_cast<void*>(&FrameworkDialogProc));
    }
};
