#pragma once
#include <optional>
#include <string>

#include "InstallLog.h"
#include "RunState.h"

// An installation for unattended deployment: no window and no message box at all. The
// folder is the one /D= asks for or the one the setup window would propose; every
// question takes the safe answer: no data migration, and a running Tessamo is neither
// closed nor waited for, it fails the installation. The application is not started.
// Returns the process exit code: the value of the InstallResult.
// A /D= that is not last, or a folder that breaks the path rule, ends it with
// InvalidFolder before anything is written.
int RunQuietInstall(const RunSwitches& switches, InstallLog& log);
