#include "ProgramDriver.h"

#include "TestSupport.h"

StartedProgram::StartedProgram(const std::wstring& path, const std::wstring& workingDir)
{
    std::wstring commandLine = L"\"" + path + L"\"";
    STARTUPINFOW startup{sizeof startup};
    PROCESS_INFORMATION info{};
    if (::CreateProcessW(path.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         workingDir.c_str(), &startup, &info)) {
        ::CloseHandle(info.hThread);
        process = info.hProcess;
    }
}

StartedProgram::~StartedProgram()
{
    if (process)
        ::CloseHandle(process);
}

bool StartedProgram::WaitForExit(DWORD milliseconds, DWORD& exitCode) const
{
    if (!process || ::WaitForSingleObject(process, milliseconds) != WAIT_OBJECT_0)
        return false;
    return ::GetExitCodeProcess(process, &exitCode) != FALSE;
}

HWND WaitForWindow(const wchar_t* className, const wchar_t* title, DWORD milliseconds)
{
    HWND found = nullptr;
    PumpUntil([&] { return (found = ::FindWindowW(className, title)) != nullptr; }, milliseconds);
    return found;
}

std::wstring MessageBoxText(HWND box)
{
    std::wstring text;
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        wchar_t className[32] = {};
        ::GetClassNameW(child, className, 32);
        if (lstrcmpiW(className, L"Static") != 0)
            continue;
        wchar_t part[1024] = {};
        ::GetWindowTextW(child, part, 1024);
        text += part;
    }
    return text;
}

bool AnswerMessageBox(const wchar_t* title, int buttonId, std::wstring& text)
{
    HWND box = WaitForWindow(L"#32770", title, 20000);
    if (!box)
        return false;
    // The box fills in its text while it is being shown.
    PumpMessages(200);
    text = MessageBoxText(box);
    HWND button = ::GetDlgItem(box, buttonId);
    if (!button)
        return false;
    ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(buttonId, BN_CLICKED), reinterpret_cast<LPARAM>(button));
    return PumpUntil([&] { return !::IsWindow(box); }, 10000);
}
