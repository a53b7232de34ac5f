#include "Encoding.h"

#include <windows.h>

namespace {

std::wstring Decode(UINT codePage, const std::string& bytes, DWORD flags = 0)
{
    if (bytes.empty())
        return {};
    int length = ::MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()),
                                       nullptr, 0);
    std::wstring text(length, L'\0');
    ::MultiByteToWideChar(codePage, flags, bytes.data(), static_cast<int>(bytes.size()), text.data(),
                          length);
    return text;
}

std::string Encode(UINT codePage, const std::wstring& text)
{
    if (text.empty())
        return {};
    int size = ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()),
                                     nullptr, 0, nullptr, nullptr);
    std::string bytes(size, '\0');
    ::WideCharToMultiByte(codePage, 0, text.data(), static_cast<int>(text.size()), bytes.data(),
                          size, nullptr, nullptr);
    return bytes;
}

} // namespace

std::wstring DecodeThreadAnsi(const std::string& bytes)
{
    return Decode(CP_THREAD_ACP, bytes);
}

std::string EncodeThreadAnsi(const std::wstring& text)
{
    return Encode(CP_THREAD_ACP, text);
}

std::wstring DecodeUtf8(const std::string& bytes)
{
    return Decode(CP_UTF8, bytes);
}

std::string EncodeUtf8(const std::wstring& text)
{
    return Encode(CP_UTF8, text);
}

std::optional<std::wstring> DecodeGbkStrict(const std::string& bytes)
{
    constexpr UINT Gbk = 936;
    std::wstring text = Decode(Gbk, bytes, MB_ERR_INVALID_CHARS);
    if (text.empty() && !bytes.empty())
        return std::nullopt;
    return text;
}
