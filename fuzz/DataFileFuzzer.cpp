// An older "data.dat", plain or scrambled, and the "timer.dat" made from its reminders.
// The first byte chooses the form: odd scrambles the rest first, so that the fuzzer's
// plain text also reaches the reader through the unscrambling.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <tinyxml.h>

#include "Encoding.h"
#include "FuzzCheck.h"
#include "ReminderTestData.h"

using namespace reminder_test_data;

namespace {

bool IsPlainXml(const std::string& bytes)
{
    return bytes.compare(0, 5, "<?xml") == 0;
}

std::string AllText(const TiXmlElement& element)
{
    std::string text;
    for (const TiXmlNode* part = element.FirstChild(); part; part = part->NextSibling()) {
        if (part->ToText())
            text += part->Value();
    }
    return text;
}

// The reminders of a "timer.dat" text, read the way the notes application reads it.
std::vector<Reminder> ReadTimerText(const std::string& text)
{
    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
    Require(!document.Error(), "timer.dat is well-formed");
    const TiXmlElement* root = document.RootElement();
    Require(root && std::strcmp(root->Value(), "config") == 0, "timer.dat has its root");
    std::vector<Reminder> reminders;
    for (const TiXmlElement* remind = root->FirstChildElement(); remind;
         remind = remind->NextSiblingElement()) {
        Require(std::strcmp(remind->Value(), "remind") == 0, "timer.dat holds reminders only");
        const char* time = remind->Attribute("time");
        const char* type = remind->Attribute("type");
        const char* info = remind->Attribute("info");
        Require(time && type && info, "every reminder has its three attributes");
        reminders.push_back({time, type, info, AllText(*remind)});
    }
    return reminders;
}

void CheckTimerFile(std::vector<Reminder> reminders)
{
    const std::string text = FormatTimerText(reminders);
    Require(Unscrambled(EncodeTimerFile(reminders)) == text + std::string(1, '\0'),
            "timer.dat is its text and a NUL, scrambled");
    const std::string unsetMessage = EncodeThreadAnsi(L"未设置提示内容");
    for (Reminder& reminder : reminders) {
        Require(!reminder.time.empty() && reminder.time != "0" && !reminder.type.empty(),
                "only reminders with a time and a type are converted");
        if (reminder.message.empty())
            reminder.message = unsetMessage;
    }
    Require(ReadTimerText(text) == reminders, "timer.dat reads back to the converted reminders");
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    if (size == 0)
        return 0;
    const std::string plain(reinterpret_cast<const char*>(bytes) + 1, size - 1);
    const std::string scrambled = Scrambled(plain);
    Require(Unscrambled(scrambled) == plain, "unscrambling undoes scrambling");

    const std::optional<std::vector<Reminder>> reminders =
        ReadReminders(bytes[0] % 2 ? scrambled : plain);
    if (IsPlainXml(plain) && !IsPlainXml(scrambled))
        Require(ReadReminders(bytes[0] % 2 ? plain : scrambled) == reminders,
                "a data file reads the same plain and scrambled");
    if (reminders)
        CheckTimerFile(*reminders);
    return 0;
}
