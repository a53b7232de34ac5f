#include "InstallPath.h"

std::wstring WithTrailingBackslash(const std::wstring& path)
{
    if (!path.empty() && path.back() == L'\\')
        return path;
    return path + L'\\';
}

bool IsAcceptedInstallPath(const std::wstring& path)
{
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
