#pragma once
#include <string>

// The full path of the running program, however long.
std::wstring ProgramPath();
