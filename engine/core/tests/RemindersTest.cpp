#include <gtest/gtest.h>

#include <tinyxml.h>

#include "ReminderTestData.h"
#include "Reminders.h"

using namespace reminder_test_data;

namespace {

struct ReadCase {
    const char* name;
    std::string data;
    std::optional<std::vector<Reminder>> expected;
};

void PrintTo(const ReadCase& c, std::ostream* out)
{
    *out << c.name;
}

class ReadRemindersCases : public testing::TestWithParam<ReadCase> {};

TEST_P(ReadRemindersCases, GiveTheConvertibleReminders)
{
    const ReadCase& c = GetParam();
    EXPECT_EQ(ReadReminders(c.data), c.expected);
}

std::vector<ReadCase> ReadCases()
{
    const std::vector<Reminder> meeting{Remind(L"1588300800", L"1", L"7", L"开会")};
    return {
        {"PlainVersion15", DataFile(L" ver=\"1.5\"", OneReminder), meeting},
        {"ScrambledVersion15", Scrambled(DataFile(L" ver=\"1.5\"", OneReminder)), meeting},
        {"MissingVersionCountsAs15", DataFile(L"", OneReminder), meeting},
        {"Version159IsOlder", DataFile(L" ver=\"1.59\"", OneReminder), meeting},
        {"Version16IsCurrent", DataFile(L" ver=\"1.6\"", OneReminder), std::nullopt},
        {"Version20IsCurrent", DataFile(L" ver=\"2.0\"", OneReminder), std::nullopt},
        {"NotXml", "not xml at all", std::nullopt},
        {"BrokenXml", DataFile(L"", L"<note><remind time=\"1\" type=\"1\"></note>"), std::nullopt},
        {"CharacterCutShortByTheEnd", "<?xml>\n<i v=\"\xE6", std::nullopt},
        {"RootWithoutNotes", Ansi(L"<?xml version=\"1.0\"?><data ver=\"1.5\"><other/></data>"),
         std::vector<Reminder>{}},
        {"NotesWithoutReminders", DataFile(L"", L"<note><text>x</text></note><note/>"),
         std::vector<Reminder>{}},
        {"TimeZeroIsSkipped",
         DataFile(L"", L"<note><remind time=\"0\" type=\"1\">a</remind></note>"),
         std::vector<Reminder>{}},
        {"MissingTypeIsSkipped", DataFile(L"", L"<note><remind time=\"5\">a</remind></note>"),
         std::vector<Reminder>{}},
        {"EmptyTypeIsSkipped",
         DataFile(L"", L"<note><remind time=\"5\" type=\"\">a</remind></note>"),
         std::vector<Reminder>{}},
        {"MissingInfoIsEmpty", DataFile(L"", L"<note><remind time=\"5\" type=\"2\">a</remind></note>"),
         std::vector<Reminder>{Remind(L"5", L"2", L"", L"a")}},
        {"EmptyCdataMessageIsEmpty",
         DataFile(L"", L"<note><remind time=\"5\" type=\"2\"><![CDATA[]]></remind></note>"),
         std::vector<Reminder>{Remind(L"5", L"2", L"", L"")}},
        {"NothingCarriesOverFromAnEarlierReminder",
         DataFile(L"",
                  L"<n><remind time=\"5\" type=\"2\" info=\"i\">a</remind></n>"
                  L"<n><remind time=\"6\" type=\"3\">b</remind></n>"
                  L"<n><remind type=\"4\" info=\"j\">c</remind></n>"
                  L"<n><remind time=\"7\" info=\"k\">d</remind></n>"),
         std::vector<Reminder>{Remind(L"5", L"2", L"i", L"a"), Remind(L"6", L"3", L"", L"b")}},
        {"OnlyTheFirstRemindOfANoteCounts",
         DataFile(L"", L"<n><text/><remind time=\"5\" type=\"2\">a</remind>"
                       L"<remind time=\"6\" type=\"2\">b</remind></n>"),
         std::vector<Reminder>{Remind(L"5", L"2", L"", L"a")}},
        {"EntitiesAreResolved",
         DataFile(L"", L"<n><remind time=\"a&amp;b\" type=\"&lt;&quot;\" info=\"&gt;\">x]]&gt;y</remind></n>"),
         std::vector<Reminder>{Remind(L"a&b", L"<\"", L">", L"x]]>y")}},
    };
}

INSTANTIATE_TEST_SUITE_P(Reminders, ReadRemindersCases, testing::ValuesIn(ReadCases()),
                         [](const testing::TestParamInfo<ReadCase>& info) {
                             return std::string(info.param.name);
                         });

TEST(Reminders, TimerTextIsTheHeaderOneLinePerReminderAndTheFooter)
{
    std::string text = FormatTimerText({Remind(L"1588300800", L"1", L"7", L"开会"),
                                        Remind(L"5", L"2", L"", L"")});
    EXPECT_EQ(text, Ansi(L"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n<config ver=\"1.6\">\r\n"
                         L"\t\t<remind time=\"1588300800\" type=\"1\" info=\"7\"><![CDATA[开会]]></remind>\r\n"
                         L"\t\t<remind time=\"5\" type=\"2\" info=\"\"><![CDATA[未设置提示内容]]></remind>\r\n"
                         L"</config>\r\n"));
}

TEST(Reminders, TimerHeaderIs61Bytes)
{
    EXPECT_EQ(FormatTimerText({}).size(), 61u + std::string("</config>\r\n").size());
}

TEST(Reminders, TimerFileIsTheScrambledTextWithItsNul)
{
    std::vector<Reminder> reminders{Remind(L"5", L"2", L"", L"提醒")};
    std::string text = FormatTimerText(reminders);
    std::string file = EncodeTimerFile(reminders);
    ASSERT_EQ(file.size(), text.size() + 1);
    EXPECT_EQ(Unscrambled(file), text + std::string(1, '\0'));
}

TEST(Reminders, MarkupInValuesIsEscapedSoTheTimerFileStaysWellFormed)
{
    std::vector<Reminder> reminders{
        Remind(L"a&b", L"<1>", L"say \"hi\"", L"x]]>y]]>]]>"),
        Remind(L"5", L"2", L"", L"]]"),
    };
    std::string text = FormatTimerText(reminders);
    EXPECT_NE(text.find(Ansi(L"<remind time=\"a&amp;b\" type=\"&lt;1>\" info=\"say &quot;hi&quot;\">"
                             L"<![CDATA[x]]]]><![CDATA[>y]]]]><![CDATA[>]]]]><![CDATA[>]]></remind>")),
              std::string::npos)
        << text;

    TiXmlDocument document;
    document.Parse(text.c_str(), nullptr, TIXML_ENCODING_UNKNOWN);
    ASSERT_FALSE(document.Error()) << document.ErrorDesc();
    std::vector<Reminder> read;
    for (const TiXmlElement* remind = document.RootElement()->FirstChildElement("remind"); remind;
         remind = remind->NextSiblingElement("remind")) {
        std::string message;
        for (const TiXmlNode* part = remind->FirstChild(); part; part = part->NextSibling())
            message += part->Value();
        read.push_back({remind->Attribute("time"), remind->Attribute("type"),
                        remind->Attribute("info"), message});
    }
    EXPECT_EQ(read, reminders);
}

} // namespace
