#pragma once
#include <optional>
#include <string>

// Whole-file reads and writes of the data files the user keeps.

// The file's bytes, read with read and write sharing (the notes application may have it
// open); nothing when it cannot be opened or read.
std::optional<std::string> ReadFileBytes(const std::wstring& path);

// Replaces `path` with `bytes` atomically: the bytes go to a temporary file beside the
// target, which is then moved over it. A crash or a full disk leaves either the old file
// or the new one, never a truncated one. False when nothing was replaced.
bool ReplaceFileBytes(const std::wstring& path, const std::string& bytes);
