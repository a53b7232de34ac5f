#include "QuietInstall.h"

#include "InstallDirectory.h"
#include "InstallFolder.h"
#include "InstallPath.h"
#include "InstallReport.h"
#include "Installation.h"
#include "Package.h"
#include "RunState.h"
#include "RunningApplication.h"

namespace {

// Nothing is shown and nobody is waited for: a question takes its second button ("否",
// "取消"), a message its only one. The log records both.
class QuietObserver : public InstallObserver {
public:
    void Progress(int) override {}
    int ShowMessage(const std::wstring&, HWND, const std::wstring&, const std::wstring&,
                    const std::wstring& secondButton) override
    {
        return UnattendedAnswer(secondButton);
    }
    bool StopRequested() override { return false; }
};

} // namespace

int RunQuietInstall(const RunSwitches& switches, InstallLog& log)
{
    const std::optional<std::wstring>& requestedDir = switches.installDir;
    PreviousInstallFound = 1;
    const ProposedInstallDir proposal = FindDefaultInstallDir();
    LogProposedFolder(log, proposal, requestedDir);

    QuietObserver quiet;
    LoggedObserver observer(quiet, log);
    InstallResult result = InstallResult::Installed;
    InstallInputs inputs;
    inputs.installPath = requestedDir.value_or(proposal.directory);
    inputs.previousInstallFound = PreviousInstallFound != 0;
    inputs.previousInstallDir = PreviousInstallDir;
    LogChosenFolder(log, inputs.installPath, inputs.autostart);
    const std::optional<std::wstring> folder = NormalisedInstallPath(inputs.installPath);
    if (switches.misplacedSwitch) {
        result = InstallResult::InvalidFolder;
    } else if (IsApplicationRunning()) {
        observer.ShowMessage(ApplicationRunningText, nullptr, ApplicationRunningTitle, L"重试", L"取消");
        result = InstallResult::ApplicationRunning;
    } else if (!folder) {
        observer.ShowMessage(InvalidInstallPathText, nullptr, L"", L"确定", L"");
        result = InstallResult::InvalidFolder;
    } else {
        inputs.installPath = *folder;
        std::wstring installDir;
        result = RunInstallation(SetupPackageId, ExtractionDirectory(), inputs, observer, installDir);
    }
    LogResult(log, result);
    return static_cast<int>(result);
}
