#pragma once
#include <memory>
#include <string>

// An immutable UTF-16 string shared by reference count. Links are told apart by the
// identity of their shared string, not by their text.
using SharedString = std::shared_ptr<const std::wstring>;

inline SharedString MakeSharedString(const std::wstring& text)
{
    if (text.empty())
        return nullptr;
    return std::make_shared<const std::wstring>(text);
}

inline bool SameText(const SharedString& a, const SharedString& b)
{
    if (a == b)
        return true;
    if (!a || !b)
        return false;
    return *a == *b;
}
