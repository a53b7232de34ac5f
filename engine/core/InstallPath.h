#pragma once
#include <string>
#include <vector>

// What the user is told about a path that breaks the rule below.
constexpr wchar_t InvalidInstallPathText[] = L"无效的安装路径，请输入正确的安装路径！";

// A directory carries a trailing backslash.
std::wstring WithTrailingBackslash(const std::wstring& path);

// The longest path Windows' ordinary functions take, with its terminating NUL.
constexpr size_t WindowsPathLimit = 260;

// Whether Windows can create a file or folder of this name: not empty, "." or "..", no
// control character, none of \ / : < > " | ? *, no dot or space at the end (Windows
// would strip them, and "..." would become a parent reference), and no device name
// such as CON, NUL, COM1 or LPT1, with or without an extension.
bool IsCreatableName(const std::wstring& name);
// The same for each of the names that backslashes separate in `names`.
bool AreCreatableNames(const std::wstring& names);

// Whether `path` starts with a drive letter, a colon and a slash of either kind.
bool StartsWithDriveRoot(const std::wstring& path);

// An install path, already normalised and with its trailing backslash, must name at
// least one folder below a drive root, in names Windows can create, and stay shorter than
// WindowsPathLimit: "D:\a\" passes; "D:\", "Apps\", "\\server\share\", "1:\x\",
// "C:\a:b\", "C:\CON\" and "C:\a.\" do not.
bool IsAcceptedInstallPath(const std::wstring& path);

// The prefix up to and including the last backslash; empty without one.
std::wstring DirectoryPart(const std::wstring& path);

// The folders to create, outermost first, so that `folder` exists: each prefix ending
// before a backslash past the root, and `folder` itself. The root is "C:\",
// "\\server\share\", or either behind "\\?\"; none of it can be created.
std::vector<std::wstring> FolderChain(const std::wstring& folder);
