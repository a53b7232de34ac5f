#include "Package.h"

#include "Crc32.h"
#include "InstallPath.h"
#include "PackageFormat.h"

namespace {

class FileHandle {
public:
    explicit FileHandle(HANDLE handle) : handle(handle) {}
    ~FileHandle()
    {
        if (handle != INVALID_HANDLE_VALUE)
            ::CloseHandle(handle);
    }
    FileHandle(const FileHandle&) = delete;
    FileHandle& operator=(const FileHandle&) = delete;
    bool Valid() const { return handle != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return handle; }

private:
    HANDLE handle;
};

bool IsFolder(const std::wstring& path)
{
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Creates every missing folder of `folder`, outermost first.
bool CreateFolderChain(const std::wstring& folder, ExtractionRecord& record)
{
    if (IsFolder(folder))
        return true;
    for (const std::wstring& prefix : FolderChain(folder)) {
        if (IsFolder(prefix))
            continue;
        if (!::CreateDirectoryW(prefix.c_str(), nullptr))
            return false;
        record.AddFolder(prefix);
    }
    return true;
}

// Replaces `path` with `length` bytes; false when it cannot. A file that cannot be opened
// is left as it is; one that cannot be written whole is removed rather than left truncated.
bool WritePayload(const std::wstring& path, const uint8_t* payload, size_t length,
                  ExtractionRecord& record)
{
    bool whole = false;
    {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.Valid())
            return false;
        DWORD written = 0;
        whole = length == 0 || (::WriteFile(file.Get(), payload, static_cast<DWORD>(length),
                                            &written, nullptr) &&
                                written == length);
    }
    if (!whole) {
        ::DeleteFileW(path.c_str());
        return false;
    }
    record.AddFile(path);
    return true;
}

} // namespace

std::optional<ResourceBytes> FindResourceBytes(int id, const wchar_t* type, HMODULE module)
{
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    HRSRC found = ::FindResourceW(module, MAKEINTRESOURCEW(id), type);
    if (!found)
        return std::nullopt;
    HGLOBAL loaded = ::LoadResource(module, found);
    const auto* data = loaded ? static_cast<const uint8_t*>(::LockResource(loaded)) : nullptr;
    if (!data)
        return std::nullopt;
    return ResourceBytes{data, ::SizeofResource(module, found)};
}

PackageCheck CheckPackage(ResourceBytes package, int id, HMODULE module)
{
    PackageCheck check;
    check.computed = Crc32(package.data, package.size);
    if (const auto record = FindResourceBytes(id, SetupPackageCrcType, module))
        check.recorded = ReadLittleEndian32(record->data, record->size);
    return check;
}

bool UnpackEntries(const uint8_t* bytes, size_t size, const std::wstring& targetDir,
                   ExtractionRecord& record)
{
    const std::optional<std::vector<ExtractableEntry>> entries = ReadExtractableEntries(bytes, size);
    if (!entries)
        return false;
    for (const ExtractableEntry& entry : *entries) {
        const std::wstring path = targetDir + entry.name;
        if (!CreateFolderChain(path.substr(0, path.rfind(L'\\')), record))
            return false;
        // Whatever stands in the way (an old file still open, say) would otherwise be
        // installed in the package's place.
        if (!WritePayload(path, bytes + entry.payloadOffset, entry.payloadLength, record))
            return false;
    }
    return true;
}

std::wstring ProgramPath()
{
    std::wstring module(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(nullptr, module.data(), static_cast<DWORD>(module.size()));
        if (length < module.size()) {
            module.resize(length);
            return module;
        }
        module.resize(module.size() * 2);
    }
}

std::wstring ExtractionDirectory()
{
    const std::wstring program = ProgramPath();
    return program.substr(0, program.rfind(L'\\')) + L"\\temp";
}
