#include "RunSetup.h"

#include <memory>

#include "AppModule.h"
#include "MainDlg.h"
#include "MessageLoop.h"

namespace {

// The window could not be created: nothing would ever post the quit message.
constexpr int ExitNoWindow = 1;

} // namespace

int RunSetup(const std::optional<std::wstring>& requestedDir, InstallLog& log, bool passive)
{
    CMessageLoop loop;
    AppModule.AddMessageLoop(&loop);

    auto dialog = std::make_unique<CMainDlg>(log, requestedDir, passive);
    int exitCode = dialog->Show() ? loop.Run() : ExitNoWindow;

    AppModule.RemoveMessageLoop();
    dialog.reset();
    return exitCode;
}
