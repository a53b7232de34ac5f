#pragma once
#include <optional>
#include <string>

// `path` made whole by the system (GetFullPathNameW); `path` itself when it cannot be.
std::wstring FullPathName(const std::wstring& path);

// The install folder as Windows will hold it: `entered` (from the path field or /D=)
// made whole by the system (GetFullPathNameW: "\.\", "\..\", doubled and forward
// slashes), with its trailing backslash, if it passes the install path rule. Nothing for
// a path that does not start with a drive root, or that breaks the rule once normalised.
std::optional<std::wstring> NormalisedInstallPath(const std::wstring& entered);
