#pragma once
#include <string>

#include "DataFile.h"

// Moves the reminders of installDir + "data.dat" (installDir ends with a backslash) into
// installDir + "timer.dat". False when "data.dat" cannot be read, is shorter than 4 bytes,
// is not XML, or is already in format 1.6 or later. An existing "timer.dat" is replaced
// only when at least one reminder was converted, with `replace`.
bool ConvertReminders(const std::wstring& installDir, const FileReplacer& replace = ReplaceFileBytes);
