#include "Package.h"

#include <algorithm>
#include <cstring>

#include "Crc32.h"
#include "DirectoryTree.h"
#include "FileHandle.h"
#include "ImageSections.h"
#include "InstallPath.h"
#include "PackageFormat.h"

namespace {

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

// Package bytes are read and written this many at a time.
constexpr size_t PieceSize = 1 << 20;

// Copies `length` bytes of `package` from `offset` to `file`, a piece at a time through
// `buffer`, and adds them to `crc`.
bool CopyPayload(const PackageSource& package, size_t offset, size_t length, HANDLE file,
                 std::vector<uint8_t>& buffer, uint32_t& crc)
{
    for (size_t done = 0; done < length;) {
        const size_t piece = std::min(PieceSize, length - done);
        DWORD written = 0;
        if (!package.Read(offset + done, piece, buffer.data()) ||
            !::WriteFile(file, buffer.data(), static_cast<DWORD>(piece), &written, nullptr) || written != piece)
            return false;
        crc = Crc32(buffer.data(), piece, crc);
        done += piece;
    }
    return true;
}

// Replaces `path` with the payload of `entry`; false when it cannot. A file that cannot
// be opened is left as it is; one that cannot be written whole is removed rather than
// left truncated.
bool WritePayload(const std::wstring& path, const PackageSource& package, const ExtractableEntry& entry,
                  std::vector<uint8_t>& buffer, ExtractionRecord& record)
{
    bool whole = false;
    uint32_t crc = 0;
    {
        FileHandle file(::CreateFileW(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file.IsOpen())
            return false;
        whole = CopyPayload(package, entry.payloadOffset, entry.payloadLength, file.Get(), buffer, crc);
    }
    if (!whole) {
        ::DeleteFileW(path.c_str());
        return false;
    }
    record.AddFile(path, crc);
    return true;
}

std::wstring ModulePath(HMODULE module)
{
    std::wstring path(MAX_PATH, L'\0');
    while (true) {
        const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
        if (length < path.size()) {
            path.resize(length);
            return path;
        }
        path.resize(path.size() * 2);
    }
}

// The section table of a module the loader mapped as a program.
std::vector<ImageSection> ImageSectionsOf(HMODULE module)
{
    const auto* base = reinterpret_cast<const uint8_t*>(module);
    const auto* dos = reinterpret_cast<const IMAGE_DOS_HEADER*>(base);
    const auto* nt = reinterpret_cast<const IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
    const IMAGE_SECTION_HEADER* section = IMAGE_FIRST_SECTION(nt);
    std::vector<ImageSection> sections;
    for (WORD i = 0; i < nt->FileHeader.NumberOfSections; ++i, ++section)
        sections.push_back(
            {section->VirtualAddress, section->PointerToRawData, section->SizeOfRawData, section->Misc.VirtualSize});
    return sections;
}

// A module loaded as a data file is a flat copy of its file, not a mapped program; the
// loader marks its handle in the low bits.
bool IsMappedProgram(HMODULE module)
{
    return (reinterpret_cast<ULONG_PTR>(module) & 3) == 0;
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

PackageSource::PackageSource(ResourceBytes view) : view(view) {}

PackageSource::PackageSource(ResourceBytes view, FileHandle file, uint64_t fileOffset)
    : view(view), file(std::move(file)), fileOffset(fileOffset)
{
}

PackageSource PackageSource::Locate(ResourceBytes resource, HMODULE module)
{
    if (!module)
        module = ::GetModuleHandleW(nullptr);
    if (!resource.data || !IsMappedProgram(module))
        return PackageSource(resource);
    const auto rva = static_cast<uint64_t>(resource.data - reinterpret_cast<const uint8_t*>(module));
    const std::optional<uint64_t> offset = FileOffsetOf(ImageSectionsOf(module), rva, resource.size);
    if (!offset)
        return PackageSource(resource);
    FileHandle file(::CreateFileW(ModulePath(module).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE,
                                  nullptr, OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file.IsOpen())
        return PackageSource(resource);
    PackageSource fromFile(resource, std::move(file), *offset);
    if (!fromFile.FileMatchesView())
        return PackageSource(resource);
    return fromFile;
}

bool PackageSource::Read(size_t offset, size_t length, uint8_t* out) const
{
    if (!view.data || offset > view.size || length > view.size - offset)
        return false;
    if (file.IsOpen())
        return ReadFromFile(fileOffset + offset, length, out);
    std::memcpy(out, view.data + offset, length);
    return true;
}

PackageReader PackageSource::Reader() const
{
    return [this](size_t offset, size_t length, uint8_t* out) { return Read(offset, length, out); };
}

bool PackageSource::ReadFromFile(uint64_t at, size_t length, uint8_t* out) const
{
    while (length > 0) {
        const auto piece = static_cast<DWORD>(std::min<size_t>(length, PieceSize));
        OVERLAPPED position = {};
        position.Offset = static_cast<DWORD>(at);
        position.OffsetHigh = static_cast<DWORD>(at >> 32);
        DWORD read = 0;
        if (!::ReadFile(file.Get(), out, piece, &read, &position) || read != piece)
            return false;
        at += piece;
        out += piece;
        length -= piece;
    }
    return true;
}

// Whether the file holds, byte for byte, what the loader mapped. A running program's file
// can be renamed and another put at its path, made to pass the CRC-32 check: only the
// bytes that were started, and elevated, may be installed. Once open, the file cannot be
// written, so what is compared here is what is read later.
bool PackageSource::FileMatchesView() const
{
    std::vector<uint8_t> piece(std::min(PieceSize, view.size));
    for (size_t done = 0; done < view.size; done += piece.size()) {
        const size_t length = std::min(piece.size(), view.size - done);
        if (!ReadFromFile(fileOffset + done, length, piece.data()) ||
            !std::equal(piece.begin(), piece.begin() + length, view.data + done))
            return false;
    }
    return true;
}

PackageCheck CheckPackage(const PackageSource& package, int id, HMODULE module)
{
    PackageCheck check;
    std::vector<uint8_t> buffer(std::min(PieceSize, package.Size()));
    uint32_t crc = 0;
    for (size_t done = 0; done < package.Size(); done += buffer.size()) {
        const size_t piece = std::min(buffer.size(), package.Size() - done);
        if (!package.Read(done, piece, buffer.data()))
            return check;
        crc = Crc32(buffer.data(), piece, crc);
    }
    check.computed = crc;
    if (const auto record = FindResourceBytes(id, SetupPackageCrcType, module))
        check.recorded = ReadLittleEndian32(record->data, record->size);
    return check;
}

bool UnpackEntries(const PackageSource& package, const std::wstring& targetDir, ExtractionRecord& record)
{
    const std::optional<std::vector<ExtractableEntry>> entries = ReadExtractableEntries(package.Size(), package.Reader());
    if (!entries)
        return false;
    std::vector<uint8_t> buffer(PieceSize);
    record.SetFolder(targetDir);
    for (const ExtractableEntry& entry : *entries) {
        const std::wstring path = targetDir + entry.name;
        // The installer runs elevated: a link planted here would take its writes elsewhere.
        if (HasLinkOnTheWay(targetDir, path) || !CreateFolderChain(path.substr(0, path.rfind(L'\\')), record))
            return false;
        // Whatever stands in the way (an old file still open, say) would otherwise be
        // installed in the package's place.
        if (!WritePayload(path, package, entry, buffer, record))
            return false;
    }
    return true;
}

bool UnpackEntries(const uint8_t* bytes, size_t size, const std::wstring& targetDir, ExtractionRecord& record)
{
    return UnpackEntries(PackageSource(ResourceBytes{bytes, size}), targetDir, record);
}

std::wstring ProgramPath()
{
    return ModulePath(nullptr);
}

std::wstring ExtractionDirectory()
{
    const std::wstring program = ProgramPath();
    return program.substr(0, program.rfind(L'\\')) + L"\\temp";
}
