#pragma once
#include <string>
#include <vector>

// What the user is told about a path that breaks the rule below.
constexpr wchar_t InvalidInstallPathText[] = L"无效的安装路径，请输入正确的安装路径！";

// A directory carries a trailing backslash.
std::wstring WithTrailingBackslash(const std::wstring& path);

// An install path must name at least one folder below the root of a drive-letter
// style path: "D:\a\" passes, "D:\", "D:", "Apps\", "\\server\share\" and ":\x\" do
// not. Control characters (a pasted line break, say) and < > " | ? * are refused too.
// `path` is taken with its trailing backslash already appended.
bool IsAcceptedInstallPath(const std::wstring& path);

// The prefix up to and including the last backslash; empty without one.
std::wstring DirectoryPart(const std::wstring& path);

// The folders to create, outermost first, so that `folder` exists: each prefix ending
// before a backslash past the root, and `folder` itself. The root is "C:\",
// "\\server\share\", or either behind "\\?\"; none of it can be created.
std::vector<std::wstring> FolderChain(const std::wstring& folder);
