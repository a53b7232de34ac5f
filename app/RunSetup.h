#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "InstallLog.h"

// Runs the main thread's message loop around the one setup window and returns the
// exit code carried by the quit message. `requestedDir` (from /D=) is the proposed
// directory; `log` receives what the window and the installation do. `passive` (from
// /passive) installs at once, asks nothing and closes the window with the result.
int RunSetup(const std::optional<std::wstring>& requestedDir, InstallLog& log, bool passive);
