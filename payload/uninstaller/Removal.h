#pragma once
#include <string>
#include <vector>

// What an installation consists of, as paths below the install directory.

// The program's own files but the uninstaller: the installer put them there and writes
// them again on every installation. "res\" and "sound\" are removed once they hold
// nothing else.
std::vector<std::wstring> ProgramFiles();
std::vector<std::wstring> ProgramFolders();

// The user's data: removed only when the user asks for it. Folders go with their contents.
std::vector<std::wstring> UserDataFiles();
std::vector<std::wstring> UserDataFolders();

// Whether `path` (double quotes ignored) lies inside `directory` (with trailing
// backslash), letter case ignored.
bool PointsInto(const std::wstring& path, const std::wstring& directory);
