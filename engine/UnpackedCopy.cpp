#include "UnpackedCopy.h"

#include <windows.h>

#include <algorithm>

#include "Crc32.h"
#include "DirectoryTree.h"

namespace {

constexpr uint64_t PieceSize = 1 << 20;

// Reads the file from its start, one piece into `buffer` at a time, and hands the length of
// each to `use`. False when a read fails or `use` does.
template <typename Use>
bool ForEachPiece(HANDLE file, std::vector<uint8_t>& buffer, Use use)
{
    LARGE_INTEGER start{};
    if (!::SetFilePointerEx(file, start, nullptr, FILE_BEGIN))
        return false;
    for (;;) {
        DWORD read = 0;
        if (!::ReadFile(file, buffer.data(), static_cast<DWORD>(buffer.size()), &read, nullptr))
            return false;
        if (read == 0)
            return true;
        if (!use(read))
            return false;
    }
}

// A short write means the disk filled: the next write of the rest says so.
bool WriteAll(HANDLE to, const uint8_t* bytes, DWORD size)
{
    DWORD written = 0;
    for (DWORD done = 0; done < size; done += written) {
        if (!::WriteFile(to, bytes + done, size - done, &written, nullptr))
            return false;
        if (written == 0) {
            ::SetLastError(ERROR_DISK_FULL);
            return false;
        }
    }
    return true;
}

} // namespace

HeldUnpackedFile::HeldUnpackedFile(const ExtractionRecord& record, const std::wstring& path)
{
    const std::optional<uint32_t> expected = record.CrcOf(path);
    changed = !expected || HasLinkOnTheWay(record.Folder(), path);
    if (changed)
        return;
    // Shared for reading only: while it is open no one can write, rename or delete it.
    file = FileHandle(::CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    LARGE_INTEGER size{};
    if (!file.IsOpen() || !::GetFileSizeEx(file.Get(), &size))
        return;
    // Sized to the file: a whole piece for each file of a folder of small ones would cost
    // more than their copies.
    buffer.resize(static_cast<size_t>(std::clamp<uint64_t>(size.QuadPart, 1, PieceSize)));
    uint32_t crc = 0;
    size_t pieces = 0, lastPiece = 0;
    const bool read = ForEachPiece(file.Get(), buffer, [&](DWORD length) {
        crc = Crc32(buffer.data(), length, crc);
        ++pieces;
        lastPiece = length;
        return true;
    });
    wholeInBuffer = pieces <= 1;
    if (wholeInBuffer)
        buffer.resize(lastPiece);
    intact = read && crc == *expected;
    changed = read && !intact;
}

bool HeldUnpackedFile::WriteContentTo(HANDLE to) const
{
    if (wholeInBuffer)
        return WriteAll(to, buffer.data(), static_cast<DWORD>(buffer.size()));
    std::vector<uint8_t> piece(PieceSize);
    return ForEachPiece(file.Get(), piece, [&](DWORD length) { return WriteAll(to, piece.data(), length); });
}

bool HeldUnpackedFile::CopyTo(const std::wstring& to, bool overwrite) const
{
    if (!intact)
        return false;
    bool copied = false;
    {
        FileHandle target(::CreateFileW(to.c_str(), GENERIC_WRITE, 0, nullptr, overwrite ? CREATE_ALWAYS : CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!target.IsOpen())
            return false;
        FILETIME created, accessed, written;
        copied = WriteContentTo(target.Get()) &&
                 ::GetFileTime(file.Get(), &created, &accessed, &written) &&
                 ::SetFileTime(target.Get(), &created, &accessed, &written) && target.Close();
    }
    if (!copied) {
        // The caller reads why the copy failed, a full disk say, after the clean-up.
        const DWORD error = ::GetLastError();
        ::DeleteFileW(to.c_str());
        ::SetLastError(error);
    }
    return copied;
}

UnpackedCopy CopyUnpackedFile(const ExtractionRecord& record, const std::wstring& from, const std::wstring& to,
                              bool overwrite)
{
    const HeldUnpackedFile held(record, from);
    if (held.Changed())
        return UnpackedCopy::Changed;
    return held.CopyTo(to, overwrite) ? UnpackedCopy::Copied : UnpackedCopy::NotCopied;
}
