#pragma once
#include <optional>
#include <string>

#include "InstallLog.h"

// An installation for unattended deployment: no window and no message box at all. The
// folder is `requestedDir` (from /D=) or the one the setup window would propose; every
// question takes the safe answer: no data migration, and a running Tessamo is neither
// closed nor waited for, it fails the installation. The application is not started.
// Returns the process exit code: the value of the InstallResult.
int RunQuietInstall(const std::optional<std::wstring>& requestedDir, InstallLog& log);
