#pragma once
#include <functional>
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

// Creates or replaces `path` with `bytes` and flushes them to the disk. False with the
// system's reason in GetLastError() when that failed; the file may then be incomplete.
bool WriteFlushedFile(const std::wstring& path, const std::string& bytes);

// How a conversion writes its result; ReplaceFileBytes unless an installation keeps what
// it replaces.
using FileReplacer = std::function<bool(const std::wstring& path, const std::string& bytes)>;
