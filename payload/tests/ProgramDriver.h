#pragma once
#include <windows.h>

#include <string>

// Starting the build's programs from another process and answering their message boxes,
// as a user would.

// A started program; the handles close with it.
class StartedProgram {
public:
    StartedProgram(const std::wstring& path, const std::wstring& workingDir);
    ~StartedProgram();
    StartedProgram(const StartedProgram&) = delete;
    StartedProgram& operator=(const StartedProgram&) = delete;

    bool Started() const { return process != nullptr; }
    // The exit code once the program ended within `milliseconds`; nothing otherwise.
    bool WaitForExit(DWORD milliseconds, DWORD& exitCode) const;

private:
    HANDLE process = nullptr;
};

// Polls for a top-level window with this title (and class, when given).
HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD milliseconds);

// The text of a message box: the text of its static controls, joined.
std::wstring MessageBoxText(HWND box);

// Waits for the message box titled `title`, returns its text in `text`, presses the
// button `buttonId` (IDYES, IDNO, IDOK) and waits for the box to go.
bool AnswerMessageBox(const wchar_t* title, int buttonId, std::wstring& text);
