#include "Removal.h"

#include <windows.h>

std::vector<std::wstring> ProgramFiles()
{
    return {
        L"Pinvora.exe",
        L"使用说明.txt",
        L"res\\2020414132329879.png",
        L"res\\2020419423246.png",
        L"res\\20204194327671.png",
        L"res\\2020420195131818.png",
        L"res\\2020421192729143.png",
        L"res\\2020422135529632.png",
        L"res\\2020422174846835.png",
        L"res\\202042217722349.png",
        L"sound\\sound1.wav",
        L"sound\\sound2.mid",
        L"sound\\sound3.mid",
        L"sound\\sound4.mid",
        L"sound\\sound5.mid",
        L"sound\\sound6.mid",
    };
}

std::vector<std::wstring> ProgramFolders()
{
    return {L"res", L"sound"};
}

std::vector<std::wstring> UserDataFiles()
{
    return {L"data.dat", L"timer.dat", L"config.xml", L"template-utf8.xml", L"template.xml"};
}

std::vector<std::wstring> UserDataFolders()
{
    return {L"backup", L"image", L"res"};
}

bool PointsInto(const std::wstring& path, const std::wstring& directory)
{
    std::wstring unquoted;
    for (wchar_t c : path) {
        if (c != L'"')
            unquoted.push_back(c);
    }
    if (directory.empty() || unquoted.size() < directory.size())
        return false;
    return ::CompareStringOrdinal(unquoted.c_str(), static_cast<int>(directory.size()), directory.c_str(),
                                  static_cast<int>(directory.size()), TRUE) == CSTR_EQUAL;
}
