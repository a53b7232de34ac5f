#pragma once
#include <optional>
#include <string>

// Every code-page conversion of the engine goes through here, so each call names the
// code page it means.
//
// The thread's ANSI code page (CP_THREAD_ACP) is the one the notes application uses
// for its 8-bit files: 936 (GBK) on the target systems.
std::wstring DecodeThreadAnsi(const std::string& bytes);
std::string EncodeThreadAnsi(const std::wstring& text);

// UTF-8, for the template lists. Invalid sequences decode to U+FFFD.
std::wstring DecodeUtf8(const std::string& bytes);
std::string EncodeUtf8(const std::wstring& text);

// Code page 936 whatever the system's code page, for names that are stored in GBK.
// Nothing for bytes that are not valid GBK.
std::optional<std::wstring> DecodeGbkStrict(const std::string& bytes);
