#pragma once
#include <optional>
#include <string>
#include <vector>

// One reminder as the notes application stores it. The values are the bytes of
// "data.dat" as the parser returns them (entities resolved), in the file's own 8-bit
// encoding; they are written back without re-encoding.
struct Reminder {
    std::string time;
    std::string type;
    std::string info;
    std::string message;
};

// The reminders of an older "data.dat", plain or scrambled, that can be converted: those
// with a time other than "" and "0" and a non-empty type. Nothing when the bytes are not
// XML or the data is already in format 1.6 or later (its reminders live in "timer.dat").
std::optional<std::vector<Reminder>> ReadReminders(const std::string& dataFileBytes);

// The plain text of "timer.dat" in format 1.6, without the trailing NUL.
std::string FormatTimerText(const std::vector<Reminder>& reminders);

// The bytes of "timer.dat" as stored: the text plus one NUL, all scrambled.
std::string EncodeTimerFile(const std::vector<Reminder>& reminders);
