// A small stand-in for the notes application: it shows one note and keeps every point
// of contact the installer relies on (window title, liveness event, shared path,
// "Location" value, version resource).
#include <windows.h>

#include <string>

#include "AppModule.h"
#include "ContactPoints.h"
#include "MessageLoop.h"
#include "NoteWindow.h"
#include "ProgramPath.h"

namespace {

// A second start brings the running copy's note to the front instead.
void ActivateRunningCopy()
{
    if (HWND running = ::FindWindowW(nullptr, MainWindowTitle))
        ::SetForegroundWindow(running);
}

} // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int)
{
    const std::wstring program = ProgramPath();
    CRunningPresence presence;
    if (!presence.Claim(program)) {
        ActivateRunningCopy();
        return 0;
    }
    PublishLocation(program.substr(0, program.rfind(L'\\') + 1));

    AppModule.Init(instance);
    CMessageLoop loop;
    AppModule.AddMessageLoop(&loop);
    int exitCode = 1;
    {
        CNoteWindow note;
        if (note.Show())
            exitCode = loop.Run();
    }
    AppModule.RemoveMessageLoop();
    AppModule.Term();
    return exitCode;
}
