#include "ReminderConversion.h"

#include "DataFile.h"
#include "Reminders.h"

bool ConvertReminders(const std::wstring& installDir, const FileReplacer& replace)
{
    std::optional<std::string> data = ReadFileBytes(installDir + L"data.dat");
    if (!data || data->size() < 4)
        return false;
    std::optional<std::vector<Reminder>> reminders = ReadReminders(*data);
    if (!reminders)
        return false;
    if (!reminders->empty())
        replace(installDir + L"timer.dat", EncodeTimerFile(*reminders));
    return true;
}
