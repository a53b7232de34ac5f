#pragma once
#include <windows.h>

#include <mutex>
#include <string>
#include <utility>

#include "FileHandle.h"
#include "LogFile.h"

// The install log asked for with /log=<file>: one line per event (FormatLogLine), each
// handed to the system as it is written, so that a crash leaves every line before it. A
// log that cannot be opened or written is skipped without a word: it never stops an
// installation. Lines may come from the window thread and the install worker.
class InstallLog {
public:
    // The installer's logs unless told otherwise; each program replaces only its own.
    explicit InstallLog(LogOwner owner = {L"Tessamo Setup", L"TessamoSetup.log"}) : owner(std::move(owner)) {}
    // Opens the log as OpenLogFile says, `programFolder` being the program's (with
    // trailing backslash); false when no log can be written, and then nothing is.
    bool Open(const std::wstring& path, const std::wstring& programFolder);
    bool IsOpen() const { return file.IsOpen(); }
    // The line with the local time in front.
    void Write(const std::wstring& line);

private:
    const LogOwner owner;
    FileHandle file;
    std::mutex writing;
};
