#pragma once
#include <windows.h>

#include <utility>

// Owns a handle from CreateFileW; INVALID_HANDLE_VALUE when the open failed.
class FileHandle {
public:
    explicit FileHandle(HANDLE handle = INVALID_HANDLE_VALUE) : handle(handle) {}
    ~FileHandle() { Close(); }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    FileHandle(FileHandle&& other) noexcept : handle(std::exchange(other.handle, INVALID_HANDLE_VALUE)) {}
    FileHandle& operator=(FileHandle&& other) noexcept
    {
        if (this != &other) {
            Close();
            handle = std::exchange(other.handle, INVALID_HANDLE_VALUE);
        }
        return *this;
    }

    bool IsOpen() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }
    // False when the system reports that closing failed, which for a written file can
    // mean its data did not reach the disk.
    bool Close()
    {
        if (!IsOpen())
            return true;
        const BOOL closed = ::CloseHandle(handle);
        handle = INVALID_HANDLE_VALUE;
        return closed != FALSE;
    }

private:
    HANDLE handle;
};
