#pragma once
#include <windows.h>

// Runs the main thread's message loop around the one setup window and returns the
// exit code carried by the quit message.
int RunSetup(const wchar_t* commandTail, int showCommand);
