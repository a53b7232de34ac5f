#pragma once
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "Encoding.h"
#include "Reminders.h"
#include "Scramble.h"

// Data files and reminders shared by the tests of the reminder conversion.

// Found by argument-dependent lookup, so beside Reminder.
inline bool operator==(const Reminder& a, const Reminder& b)
{
    return a.time == b.time && a.type == b.type && a.info == b.info && a.message == b.message;
}

inline void PrintTo(const Reminder& r, std::ostream* out)
{
    *out << "{" << r.time << ", " << r.type << ", " << r.info << ", " << r.message << "}";
}

namespace reminder_test_data {

// Test data in the notes application's 8-bit encoding (GBK: the tests run with code
// page 936).
inline std::string Ansi(const std::wstring& text)
{
    return EncodeThreadAnsi(text);
}

inline std::string Scrambled(std::string bytes)
{
    ScrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

inline std::string Unscrambled(std::string bytes)
{
    UnscrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}

inline std::string DataFile(const std::wstring& rootAttributes, const std::wstring& notes)
{
    return Ansi(L"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<data" + rootAttributes +
                L">\r\n<notes>\r\n" + notes + L"</notes>\r\n</data>\r\n");
}

inline Reminder Remind(const std::wstring& time, const std::wstring& type,
                       const std::wstring& info, const std::wstring& message)
{
    return {Ansi(time), Ansi(type), Ansi(info), Ansi(message)};
}

inline const std::wstring OneReminder =
    L"<note id=\"1\"><text><![CDATA[便签]]></text>"
    L"<remind time=\"1588300800\" type=\"1\" info=\"7\"><![CDATA[开会]]></remind></note>\r\n";

} // namespace reminder_test_data
