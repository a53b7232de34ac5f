#pragma once
#include <windows.h>

#include <optional>
#include <string>

#include "InstallJournal.h"

// An open registry key, closed when the object goes.
class RegistryKey {
public:
    RegistryKey() = default;
    ~RegistryKey();
    RegistryKey(RegistryKey&& other) noexcept;
    RegistryKey& operator=(RegistryKey&& other) noexcept;
    RegistryKey(const RegistryKey&) = delete;
    RegistryKey& operator=(const RegistryKey&) = delete;

    // An existing key; not open when it is missing or access is refused.
    static RegistryKey Open(HKEY root, const std::wstring& subKey, REGSAM access);
    // The key, created when missing.
    static RegistryKey Create(HKEY root, const std::wstring& subKey, REGSAM access);

    bool IsOpen() const { return key != nullptr; }

    // A REG_SZ value, stored with its terminating NUL counted in its size.
    bool SetString(const std::wstring& name, const std::wstring& text);
    bool SetDword(const std::wstring& name, DWORD number);
    bool DeleteValue(const std::wstring& name);
    // The text of a REG_SZ or REG_EXPAND_SZ value (not expanded) of at most
    // `maxBytes` bytes, NUL included. Nothing when the value is missing, of another type,
    // or larger: a value is never read past the buffer nor returned cut short.
    std::optional<std::wstring> ReadString(const std::wstring& name, DWORD maxBytes) const;
    // A value of any type as stored, to be put back later with SetRaw; nothing when missing.
    std::optional<RegistryData> ReadRaw(const std::wstring& name) const;
    bool SetRaw(const std::wstring& name, const RegistryData& data);

private:
    explicit RegistryKey(HKEY key) : key(key) {}
    HKEY key = nullptr;
};
