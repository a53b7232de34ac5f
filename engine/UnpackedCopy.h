#pragma once
#include <cstdint>
#include <string>
#include <vector>

#include "ExtractionRecord.h"
#include "FileHandle.h"

// Files are unpacked beside the installer, in a folder any program of the user can
// write, and later copied by an installer that runs elevated. What it copies must be
// exactly what it unpacked.

// An unpacked file, held open so that no one can change, rename or delete it while it is
// held, and checked against the CRC-32 recorded when it was written.
class HeldUnpackedFile {
public:
    HeldUnpackedFile(const ExtractionRecord& record, const std::wstring& path);
    // Open and holding the bytes that were unpacked.
    bool Intact() const { return intact; }
    // Not what was unpacked: other bytes, reached through a link, or not unpacked at all.
    bool Changed() const { return changed; }
    // Writes the held bytes to `to` (replacing a file there when `overwrite`), with the
    // held file's times; a file written in part is removed.
    bool CopyTo(const std::wstring& to, bool overwrite) const;

private:
    bool WriteContentTo(HANDLE to) const;

    FileHandle file;
    // The last piece read by the check: the whole file when it came in one piece, so that
    // a small file is read once.
    std::vector<uint8_t> buffer;
    bool wholeInBuffer = false;
    bool intact = false;
    bool changed = false;
};

enum class UnpackedCopy {
    Copied,
    Changed,  // not what was unpacked, or not unpacked at all: nothing copied
    NotCopied // the file could not be read or the copy not written
};

// Copies the unpacked file `from` to `to` if it is intact.
UnpackedCopy CopyUnpackedFile(const ExtractionRecord& record, const std::wstring& from, const std::wstring& to,
                              bool overwrite = true);
