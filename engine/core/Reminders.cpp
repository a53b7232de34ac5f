#include "Reminders.h"

#include <cstring>
#include <tinyxml.h>

#include "Encoding.h"
#include "Scramble.h"

namespace {

const double CurrentDataVersion = 1.6;
// A root without "ver" is the format before reminders moved out.
const float UnversionedDataVersion = 1.5f;
const char TimerHeader[] = "<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<config ver=\"1.6\">\r\n";
const char TimerFooter[] = "</config>\r\n";
// TinyXML steps over a whole multi-byte character of up to four bytes even when the text
// ends inside it, and reads on from there: it must find zeros, not the heap beyond.
const size_t ParserOverrun = 3;

bool IsPlainXml(const std::string& bytes)
{
    return bytes.compare(0, 5, "<?xml") == 0;
}

// All text and CDATA directly inside the element, in order.
std::optional<std::string> TextContent(const TiXmlElement& element)
{
    std::optional<std::string> text;
    for (const TiXmlNode* child = element.FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlText* part = child->ToText())
            text = text.value_or(std::string()) + part->Value();
    }
    return text;
}

// Each value counts only for its own reminder: a missing attribute is absent here, not
// the value of an earlier reminder.
Reminder ReadRemind(const TiXmlElement& remind)
{
    Reminder reminder;
    for (const TiXmlAttribute* attribute = remind.FirstAttribute(); attribute;
         attribute = attribute->Next()) {
        if (std::strcmp(attribute->Name(), "time") == 0)
            reminder.time = attribute->Value();
        else if (std::strcmp(attribute->Name(), "type") == 0)
            reminder.type = attribute->Value();
        else if (std::strcmp(attribute->Name(), "info") == 0)
            reminder.info = attribute->Value();
    }
    reminder.message = TextContent(remind).value_or(std::string());
    return reminder;
}

bool IsConvertible(const Reminder& reminder)
{
    return !reminder.time.empty() && reminder.time != "0" && !reminder.type.empty();
}

// Escapes what would end the attribute value or start mark-up. The 8-bit encodings used
// here never have these bytes inside a multi-byte character.
std::string EscapeAttribute(const std::string& value)
{
    std::string escaped;
    for (char c : value) {
        switch (c) {
        case '&': escaped += "&amp;"; break;
        case '<': escaped += "&lt;"; break;
        case '"': escaped += "&quot;"; break;
        default: escaped += c; break;
        }
    }
    return escaped;
}

// "]]>" cannot stand inside one CDATA section: close the section after "]]" and open a new
// one for the ">".
std::string SplitCdataEnd(const std::string& text)
{
    std::string result;
    std::size_t start = 0;
    for (std::size_t end; (end = text.find("]]>", start)) != std::string::npos; start = end + 2)
        result += text.substr(start, end + 2 - start) + "]]><![CDATA[";
    return result + text.substr(start);
}

} // namespace

std::optional<std::vector<Reminder>> ReadReminders(const std::string& dataFileBytes)
{
    std::string text = dataFileBytes;
    if (!IsPlainXml(text))
        UnscrambleBytes(reinterpret_cast<unsigned char*>(text.data()), text.size());
    text.append(ParserOverrun, '\0');

    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
    if (document.Error())
        return std::nullopt;

    std::vector<Reminder> reminders;
    const TiXmlElement* root = document.RootElement();
    if (!root)
        return reminders;
    float version = UnversionedDataVersion;
    root->QueryFloatAttribute("ver", &version);
    if (version >= CurrentDataVersion)
        return std::nullopt;

    const TiXmlElement* notes = root->FirstChildElement("notes");
    if (!notes)
        return reminders;
    for (const TiXmlElement* note = notes->FirstChildElement(); note;
         note = note->NextSiblingElement()) {
        const TiXmlElement* remind = note->FirstChildElement("remind");
        if (!remind)
            continue;
        Reminder reminder = ReadRemind(*remind);
        if (IsConvertible(reminder))
            reminders.push_back(reminder);
    }
    return reminders;
}

std::string FormatTimerText(const std::vector<Reminder>& reminders)
{
    const std::string unsetMessage = EncodeThreadAnsi(L"未设置提示内容");
    std::string text = TimerHeader;
    for (const Reminder& reminder : reminders) {
        text += "\t\t<remind time=\"" + EscapeAttribute(reminder.time) + "\" type=\"" +
                EscapeAttribute(reminder.type) + "\" info=\"" + EscapeAttribute(reminder.info) +
                "\"><![CDATA[" +
                SplitCdataEnd(reminder.message.empty() ? unsetMessage : reminder.message) +
                "]]></remind>\r\n";
    }
    return text + TimerFooter;
}

std::string EncodeTimerFile(const std::vector<Reminder>& reminders)
{
    std::string bytes = FormatTimerText(reminders);
    bytes.push_back('\0');
    ScrambleBytes(reinterpret_cast<unsigned char*>(bytes.data()), bytes.size());
    return bytes;
}
