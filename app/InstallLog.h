#pragma once
#include <windows.h>

#include <mutex>
#include <string>

#include "FileHandle.h"

// The install log asked for with /log=<file>: UTF-8 with a byte-order mark, one line per
// event, each handed to the system as it is written, so that a crash leaves every line
// before it. A log that cannot be opened or written is skipped without a word: it never
// stops an installation. Lines may come from the window thread and the install worker.
class InstallLog {
public:
    // Creates or replaces `path`; false when it cannot, and then nothing is written.
    bool Open(const std::wstring& path);
    bool IsOpen() const { return file.IsOpen(); }
    // The line with the local time in front.
    void Write(const std::wstring& line);

private:
    FileHandle file;
    std::mutex writing;
};

// One line as stored: "hh:mm:ss.mmm", two spaces, the text in UTF-8, CR LF. Control
// characters in the text (a pasted line break in a path, say) are shown as "[0D]", so
// that a line of the log is always one event.
std::string FormatLogLine(const SYSTEMTIME& time, const std::wstring& text);
