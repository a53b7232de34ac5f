#include "InstallPath.h"

#include <algorithm>
#include <cwchar>
#include <string_view>

namespace {

bool StartsWith(const std::wstring& text, std::wstring_view prefix)
{
    return text.compare(0, prefix.size(), prefix) == 0;
}

// Just past the backslash that ends "server\share\", the server starting at `server`.
size_t ShareRootEnd(const std::wstring& path, size_t server)
{
    const size_t share = path.find(L'\\', server);
    if (share == std::wstring::npos)
        return path.size();
    const size_t end = path.find(L'\\', share + 1);
    return end == std::wstring::npos ? path.size() : end + 1;
}

// The length of the part of `path` that names no folder one could create: "C:\",
// "\\server\share\", "\\?\C:\" or "\\?\UNC\server\share\".
size_t RootLength(const std::wstring& path)
{
    const std::wstring_view longUnc = L"\\\\?\\UNC\\";
    const std::wstring_view longForm = L"\\\\?\\";
    const std::wstring_view unc = L"\\\\";
    if (StartsWith(path, longUnc))
        return ShareRootEnd(path, longUnc.size());
    if (StartsWith(path, longForm))
        return longForm.size() + 3;
    if (StartsWith(path, unc))
        return ShareRootEnd(path, unc.size());
    return 3;
}

// CON, PRN, AUX, NUL, COM1-COM9 and LPT1-LPT9 (also with the superscript digits one to
// three), in any case: Windows opens the device whatever extension follows, and also
// with spaces before the extension.
bool IsDeviceName(const std::wstring& name)
{
    std::wstring base = name.substr(0, name.find(L'.'));
    base.erase(base.find_last_not_of(L' ') + 1);
    for (wchar_t& c : base)
        c = (c >= L'a' && c <= L'z') ? static_cast<wchar_t>(c - L'a' + L'A') : c;
    if (base == L"CON" || base == L"PRN" || base == L"AUX" || base == L"NUL")
        return true;
    if (base.size() != 4 || (base.compare(0, 3, L"COM") != 0 && base.compare(0, 3, L"LPT") != 0))
        return false;
    return std::wcschr(L"123456789\u00b9\u00b2\u00b3", base[3]) != nullptr;
}

} // namespace

std::wstring WithTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\')
        return path;
    return path + L'\\';
}

bool IsCreatableName(const std::wstring& name)
{
    if (name.empty() || name == L"." || name == L"..")
        return false;
    if (name.back() == L'.' || name.back() == L' ' || IsDeviceName(name))
        return false;
    return std::none_of(name.begin(), name.end(),
                        [](wchar_t c) { return c < 0x20 || std::wcschr(L"\\/:<>\"|?*", c) != nullptr; });
}

bool AreCreatableNames(const std::wstring& names)
{
    for (size_t start = 0;;) {
        const size_t end = std::min(names.find(L'\\', start), names.size());
        if (!IsCreatableName(names.substr(start, end - start)))
            return false;
        if (end == names.size())
            return true;
        start = end + 1;
    }
}

bool StartsWithDriveRoot(const std::wstring& path)
{
    const auto isLetter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
    return path.size() >= 3 && isLetter(path[0]) && path[1] == L':' && (path[2] == L'\\' || path[2] == L'/');
}

bool IsAcceptedInstallPath(const std::wstring& path)
{
    if (!StartsWithDriveRoot(path) || path[2] != L'\\' || path.back() != L'\\' || path.size() >= WindowsPathLimit)
        return false;
    return path.size() > 4 && AreCreatableNames(path.substr(3, path.size() - 4));
}

std::wstring DirectoryPart(const std::wstring& path)
{
    const size_t last = path.rfind(L'\\');
    return last == std::wstring::npos ? std::wstring() : path.substr(0, last + 1);
}

std::vector<std::wstring> FolderChain(const std::wstring& folder)
{
    std::vector<std::wstring> chain;
    for (size_t split = folder.find(L'\\', RootLength(folder)); split != std::wstring::npos;
         split = folder.find(L'\\', split + 1))
        chain.push_back(folder.substr(0, split));
    chain.push_back(folder);
    return chain;
}
