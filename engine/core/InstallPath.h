#pragma once
#include <string>

// A directory carries a trailing backslash.
std::wstring WithTrailingBackslash(const std::wstring& path);

// An install path must name at least one folder below the root of a drive-letter
// style path: "D:\a\" passes, "D:\", "D:", "Apps\", "\\server\share\" and ":\x\" do
// not. `path` is taken with its trailing backslash already appended.
bool IsAcceptedInstallPath(const std::wstring& path);

// The prefix up to and including the last backslash; empty without one.
std::wstring DirectoryPart(const std::wstring& path);
