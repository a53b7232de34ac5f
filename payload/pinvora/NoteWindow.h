#pragma once
#include "WindowImpl.h"

// The one note the stand-in application shows: a coloured sheet with a title band and
// the welcome text. Closing it ends the program.
class CNoteWindow : public CWindowImpl<CNoteWindow> {
public:
    bool Show();
    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;

private:
    void Paint();
};
