#pragma once
#include <string>

// Deletes the folder `path` (no trailing backslash) with everything in it, innermost
// folders first. Failures on the way are skipped; the result says whether `path`
// itself was removed.
bool DeleteDirectoryTree(const std::wstring& path);
