#pragma once
#include <string>

// Deletes the folder `path` (no trailing backslash) with everything in it, innermost
// folders first. A link (junction or symbolic link), `path` itself included, is removed
// as a link: what it points to is never touched. Failures on the way are skipped; the
// result says whether `path` itself was removed.
bool DeleteDirectoryTree(const std::wstring& path);

// Whether `path`, or a folder on the way to it from `root` (`root` included), is a link
// of any kind: what is written or deleted through it lands elsewhere.
bool HasLinkOnTheWay(const std::wstring& root, const std::wstring& path);
