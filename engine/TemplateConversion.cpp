#include "TemplateConversion.h"

#include <windows.h>
#include <shlobj.h>

#include "DataFile.h"
#include "Encoding.h"

namespace {

bool PathExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const std::wstring& folder)
{
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

} // namespace

std::wstring UserDataFolderPath()
{
    wchar_t localAppData[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, localAppData, CSIDL_LOCAL_APPDATA, TRUE))
        return {};
    return std::wstring(localAppData) + L"\\Tessamo\\";
}

std::wstring GetUserDataFolder()
{
    const std::wstring folder = UserDataFolderPath();
    if (folder.empty() || !EnsureFolder(folder.substr(0, folder.size() - 1)))
        return {};
    return folder;
}

std::wstring FindDataFile(const std::wstring& dir, const std::wstring& name)
{
    return FindDataFile(GetUserDataFolder(), dir, name);
}

std::wstring FindDataFile(const std::wstring& userDataFolder, const std::wstring& dir,
                          const std::wstring& name)
{
    if (!userDataFolder.empty() && PathExists(userDataFolder + name))
        return userDataFolder + name;
    if (PathExists(dir + name))
        return dir + name;
    return {};
}

std::optional<std::vector<TemplateRecord>> LoadTemplateFile(const std::wstring& path)
{
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    return ReadTemplateList(*bytes);
}

bool ConvertTemplates(const std::wstring& packageTemplatePath, const std::wstring& installDir)
{
    return ConvertTemplates(packageTemplatePath, installDir, GetUserDataFolder());
}

bool ConvertTemplates(const std::wstring& packageTemplatePath, const std::wstring& installDir,
                      const std::wstring& userDataFolder, const FileReplacer& replace)
{
    const std::wstring listName = L"template-utf8.xml";
    std::wstring existing = FindDataFile(userDataFolder, installDir, listName);
    if (existing.empty())
        existing = FindDataFile(userDataFolder, installDir, L"template.xml");

    std::vector<TemplateRecord> list;
    if (!existing.empty()) {
        std::optional<std::vector<TemplateRecord>> user = LoadTemplateFile(existing);
        if (!user)
            return false;
        list = std::move(*user);
    }
    if (std::optional<std::vector<TemplateRecord>> package = LoadTemplateFile(packageTemplatePath))
        list = MergeTemplates(std::move(list), *package);

    std::wstring text = FormatTemplateList(list);
    const std::string bytes = EncodeUtf8(text);
    bool userCopyWritten = !userDataFolder.empty() && replace(userDataFolder + listName, bytes);
    replace(installDir + listName, bytes);
    return userCopyWritten;
}
