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

} // namespace

std::wstring WithTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\')
        return path;
    return path + L'\\';
}

bool IsAcceptedInstallPath(const std::wstring& path)
{
    const bool forbidden = std::any_of(path.begin(), path.end(), [](wchar_t c) {
        return c < 0x20 || std::wcschr(L"<>\"|?*", c) != nullptr;
    });
    if (forbidden)
        return false;
    const size_t root = path.find(L":\\");
    if (root == std::wstring::npos || root == 0)
        return false;
    return path.find(L'\\', root + 2) != std::wstring::npos;
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
