#pragma once
#include "WindowImpl.h"

// The setup window: for now a plain 500 x 400 window centred on the primary screen
// showing the product's title. Closing it ends the program with exit code 0.
class CMainDlg : public CWindowImpl<CMainDlg> {
public:
    CMainDlg();
    ~CMainDlg() override;

    // Brings an existing window to the front, otherwise creates it; false when the
    // window cannot be created.
    bool Show();
    void CloseSetupWindow(int exitCode);

    bool HandleMessage(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result,
                       DWORD mapId) override;

private:
    void Paint();

    HFONT font = nullptr;
};
