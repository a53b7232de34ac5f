#pragma once
#include <cstdint>
#include <string>

// One package entry, byte for byte as the package builder writes it. `name` is in
// code page 936.
inline std::string PackageEntryBytes(const std::string& name, const std::string& payload)
{
    return "<#_this_is_tag_#>name:" + name + " length:" + std::to_string(payload.size()) +
           "</#_this_is_tag_#>" + payload;
}

inline const uint8_t* Bytes(const std::string& package)
{
    return reinterpret_cast<const uint8_t*>(package.data());
}
