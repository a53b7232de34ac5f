#include "Registry.h"

#include <utility>
#include <vector>

RegistryKey::~RegistryKey()
{
    if (key)
        ::RegCloseKey(key);
}

RegistryKey::RegistryKey(RegistryKey&& other) noexcept : key(std::exchange(other.key, nullptr)) {}

RegistryKey& RegistryKey::operator=(RegistryKey&& other) noexcept
{
    if (this != &other) {
        if (key)
            ::RegCloseKey(key);
        key = std::exchange(other.key, nullptr);
    }
    return *this;
}

RegistryKey RegistryKey::Open(HKEY root, const std::wstring& subKey, REGSAM access)
{
    HKEY opened = nullptr;
    if (::RegOpenKeyExW(root, subKey.c_str(), 0, access, &opened) != ERROR_SUCCESS)
        return {};
    return RegistryKey(opened);
}

RegistryKey RegistryKey::Create(HKEY root, const std::wstring& subKey, REGSAM access)
{
    HKEY created = nullptr;
    if (::RegCreateKeyExW(root, subKey.c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE, access,
                          nullptr, &created, nullptr) != ERROR_SUCCESS)
        return {};
    return RegistryKey(created);
}

bool RegistryKey::SetString(const std::wstring& name, const std::wstring& text)
{
    DWORD size = static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t));
    return key && ::RegSetValueExW(key, name.c_str(), 0, REG_SZ,
                                   reinterpret_cast<const BYTE*>(text.c_str()), size) == ERROR_SUCCESS;
}

bool RegistryKey::SetDword(const std::wstring& name, DWORD number)
{
    return key && ::RegSetValueExW(key, name.c_str(), 0, REG_DWORD, reinterpret_cast<const BYTE*>(&number),
                                   sizeof number) == ERROR_SUCCESS;
}

bool RegistryKey::DeleteValue(const std::wstring& name)
{
    return key && ::RegDeleteValueW(key, name.c_str()) == ERROR_SUCCESS;
}

std::optional<std::wstring> RegistryKey::ReadString(const std::wstring& name, DWORD maxBytes) const
{
    if (!key)
        return std::nullopt;
    std::vector<wchar_t> buffer(maxBytes / sizeof(wchar_t), L'\0');
    DWORD type = REG_NONE;
    DWORD size = static_cast<DWORD>(buffer.size() * sizeof(wchar_t));
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(buffer.data()),
                           &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    // The stored text need not end with a NUL: take what was read, up to the first NUL.
    std::wstring text(buffer.data(), size / sizeof(wchar_t));
    return text.substr(0, text.find(L'\0'));
}

std::optional<RegistryData> RegistryKey::ReadRaw(const std::wstring& name) const
{
    DWORD type = REG_NONE;
    DWORD size = 0;
    if (!key || ::RegQueryValueExW(key, name.c_str(), nullptr, &type, nullptr, &size) != ERROR_SUCCESS)
        return std::nullopt;
    std::string bytes(size, '\0');
    if (::RegQueryValueExW(key, name.c_str(), nullptr, &type, reinterpret_cast<BYTE*>(bytes.data()), &size) !=
        ERROR_SUCCESS)
        return std::nullopt;
    bytes.resize(size);
    return RegistryData{type, bytes};
}

bool RegistryKey::SetRaw(const std::wstring& name, const RegistryData& data)
{
    return key && ::RegSetValueExW(key, name.c_str(), 0, data.type, reinterpret_cast<const BYTE*>(data.bytes.data()),
                                   static_cast<DWORD>(data.bytes.size())) == ERROR_SUCCESS;
}
