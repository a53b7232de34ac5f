#include "Shortcuts.h"

#include <windows.h>
#include <objidl.h>
#include <shlobj.h>
#include <wrl/client.h>

using Microsoft::WRL::ComPtr;

bool CreateShortcut(const std::wstring& target, const std::wstring& linkPath, bool setIcon)
{
    ComPtr<IShellLinkW> link;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                  &link)))
        return false;
    link->SetPath(target.c_str());
    if (setIcon)
        link->SetIconLocation(target.c_str(), 0);
    link->SetDescription(L"Tessamo");
    std::size_t lastBackslash = target.rfind(L'\\');
    std::wstring workingDirectory =
        lastBackslash == std::wstring::npos ? std::wstring() : target.substr(0, lastBackslash + 1);
    link->SetWorkingDirectory(workingDirectory.c_str());

    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, &file)))
        return false;
    return SUCCEEDED(file->Save(linkPath.c_str(), TRUE));
}
