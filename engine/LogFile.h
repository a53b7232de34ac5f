#pragma once
#include <windows.h>

#include <string>

#include "FileHandle.h"

// The log files of our programs: UTF-8 with a byte-order mark, one line per event. The
// rules for opening one, in one place for every program that writes a log.

// One line as stored: "hh:mm:ss.mmm", two spaces, the text in UTF-8, CR LF. Control
// characters in the text (a pasted line break in a path, say) are shown as "[0D]", so
// that a line of the log is always one event.
std::string FormatLogLine(const SYSTEMTIME& time, const std::wstring& text);

// Who writes a log: every first line of its logs starts with `title`, and a log that
// cannot go where it was asked goes to `fallbackName` in the user's temporary folder.
struct LogOwner {
    std::wstring title;
    std::wstring fallbackName;
};

struct OpenedLog {
    FileHandle file;           // open for writing after the byte-order mark; closed when no log can be written
    std::wstring path;         // the file written
    std::wstring whyElsewhere; // why the file asked for is not the one written; empty when it is
};

// Opens the log asked for as `requested`; a relative path is taken from `programFolder`
// (with trailing backslash), not from the caller's current folder. Missing folders are
// created. A file that is not a log of `owner` (whose first line does not start with its
// title) is never replaced, and an empty one counts as no file. When the file cannot be
// written, the log goes to the fallback file instead, and its first line says why.
OpenedLog OpenLogFile(const std::wstring& requested, const std::wstring& programFolder, const LogOwner& owner);
