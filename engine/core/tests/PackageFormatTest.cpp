#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <utility>

#include "PackageBytes.h"
#include "PackageFormat.h"

namespace {

std::optional<std::vector<PackageEntry>> Parse(const std::string& package)
{
    return ParsePackage(Bytes(package), package.size());
}

std::string Header(const std::string& name, const std::string& lengthText)
{
    return "<#_this_is_tag_#>name:" + name + " length:" + lengthText + "</#_this_is_tag_#>";
}

TEST(PackageFormat, ReadsTheHeaderOfTheStoredPackagesFirstEntry)
{
    const std::string header = "<#_this_is_tag_#>name:\\data.dat length:11757</#_this_is_tag_#>";
    ASSERT_EQ(header.size(), 62u);
    const std::string package = header + std::string(11757, 'x');

    const std::optional<PackageEntry> entry = ParseEntryHeader(Bytes(package), package.size(), 0);
    ASSERT_TRUE(entry);
    EXPECT_EQ(entry->name, "\\data.dat");
    EXPECT_EQ(entry->payloadOffset, 62u);
    EXPECT_EQ(entry->payloadLength, 11757u);
}

TEST(PackageFormat, FindsEveryEntryInOrderUpToThePackagesLastByte)
{
    const std::string package = PackageEntryBytes("\\data.dat", "abc") +
                                PackageEntryBytes("\\res\\empty.png", "") +
                                PackageEntryBytes("\\\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7.txt", "manual");
    const auto entries = Parse(package);
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 3u);
    EXPECT_EQ((*entries)[0].name, "\\data.dat");
    EXPECT_EQ(package.substr((*entries)[0].payloadOffset, (*entries)[0].payloadLength), "abc");
    EXPECT_EQ((*entries)[1].payloadLength, 0u);
    EXPECT_EQ((*entries)[2].name, "\\\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7.txt");
    EXPECT_EQ((*entries)[2].payloadOffset + (*entries)[2].payloadLength, package.size());
}

TEST(PackageFormat, AcceptsAHeaderThatFillsTheWindowExactly)
{
    const std::string name = "\\" + std::string(258, 'n');
    const std::string fixed = Header(name, "");
    const std::string lengthText = std::string(EntryHeaderWindow - fixed.size() - 1, '0') + "1";
    const std::string package = Header(name, lengthText) + "x";
    ASSERT_EQ(package.size(), EntryHeaderWindow + 1);

    const auto entries = Parse(package);
    ASSERT_TRUE(entries);
    EXPECT_EQ((*entries)[0].name, name);
    EXPECT_EQ((*entries)[0].payloadLength, 1u);
}

struct MalformedCase {
    const char* what;
    std::string package;
};

std::vector<MalformedCase> MalformedPackages()
{
    const std::string good = PackageEntryBytes("\\data.dat", "abc");
    const std::string longName = "\\" + std::string(259, 'n');
    const std::string fullName = "\\" + std::string(258, 'n');
    const std::string windowFiller(EntryHeaderWindow - Header(fullName, "").size(), '0');
    return {
        {"empty package", ""},
        {"no tag at the start", "garbage"},
        {"bytes before the tag", "x" + good},
        {"bytes after the last payload", good + "x"},
        {"tag without name keyword", "<#_this_is_tag_#>nome:\\a length:1</#_this_is_tag_#>x"},
        {"header cut short", good.substr(0, 30)},
        {"closing tag cut short", Header("\\a", "1").substr(0, 40)},
        {"no separator before length", "<#_this_is_tag_#>name:\\alength:1</#_this_is_tag_#>x"},
        {"empty name", Header("", "1") + "x"},
        {"name of 260 bytes", Header(longName, "1") + "x"},
        {"length text of 260 bytes", Header("\\a", std::string(259, '0') + "1") + "x"},
        {"header one byte past the window", Header(fullName, windowFiller + "1") + "x"},
        {"negative length", Header("\\a", "-1") + "x"},
        {"signed length", Header("\\a", "+1") + "x"},
        {"length with leading space", Header("\\a", " 1") + "x"},
        {"non-numeric length", Header("\\a", "abc") + "x"},
        {"digits followed by text", Header("\\a", "1x") + "x"},
        {"empty length", Header("\\a", "") + "x"},
        {"length beyond any size", Header("\\a", "99999999999999999999999") + "x"},
        {"payload past the end", Header("\\a", "5") + "abcd"},
        {"good entry then a broken one", good + Header("\\b", "9") + "short"},
    };
}

TEST(PackageFormat, RefusesEveryMalformedPackage)
{
    for (const MalformedCase& c : MalformedPackages())
        EXPECT_FALSE(Parse(c.package)) << c.what;
}

TEST(PackageFormat, RandomDamageNeverReadsOutsideThePackage)
{
    const std::string good = PackageEntryBytes("\\data.dat", "abcdef") +
                             PackageEntryBytes("\\res\\a.png", std::string(40, 'p')) +
                             PackageEntryBytes("\\sound\\b.mid", "");
    std::mt19937 random(214);
    for (int round = 0; round < 20000; ++round) {
        std::string damaged = good;
        const int changes = 1 + random() % 4;
        for (int i = 0; i < changes; ++i) {
            switch (random() % 3) {
            case 0:
                damaged[random() % damaged.size()] = static_cast<char>(random());
                break;
            case 1:
                damaged.erase(random() % damaged.size(), 1 + random() % 8);
                break;
            default:
                damaged.resize(random() % (damaged.size() + 1));
                break;
            }
            if (damaged.empty())
                break;
        }
        // A heap copy of exactly the package's size, so a read past it would be caught
        // by the bounds checks below rather than land in spare capacity.
        std::vector<uint8_t> copy(damaged.begin(), damaged.end());
        const auto entries = ParsePackage(copy.data(), copy.size());
        if (!entries)
            continue;
        size_t end = 0;
        for (const PackageEntry& entry : *entries) {
            ASSERT_GT(entry.payloadOffset, end);
            ASSERT_LE(entry.payloadOffset + entry.payloadLength, copy.size());
            end = entry.payloadOffset + entry.payloadLength;
        }
        ASSERT_EQ(end, copy.size());
    }
}

TEST(PackageFormat, EntryNamesMustStayInsideTheExtractionFolder)
{
    const struct {
        const wchar_t* name;
        bool safe;
    } cases[] = {
        {L"\\data.dat", true},
        {L"\\res\\2020414132329879.png", true},
        {L"\\使用说明.txt", true},
        {L"\\a..b\\.hidden", true},
        {L"", false},
        {L"data.dat", false},
        {L"\\", false},
        {L"\\..", false},
        {L"\\..\\outside.txt", false},
        {L"\\res\\..\\..\\outside.txt", false},
        {L"\\.\\x", false},
        {L"\\...\\x", false},
        {L"\\x.", false},
        {L"\\x ", false},
        {L"\\\\server\\share\\x", false},
        {L"\\res\\\\x", false},
        {L"\\res\\", false},
        {L"\\C:\\Windows\\x.dll", false},
        {L"\\a:stream", false},
        {L"\\a/../../b", false},
        {L"\\a\x01" L"b", false},
        // Device names, in any segment, any case, with or without an extension.
        {L"\\CON", false},
        {L"\\con.txt", false},
        {L"\\res\\Nul.png", false},
        {L"\\aux\\x.wav", false},
        {L"\\PRN.tar.gz", false},
        {L"\\CON .txt", false},
        {L"\\COM1", false},
        {L"\\sound\\com9.mid", false},
        {L"\\LPT1.log", false},
        {L"\\lpt9", false},
        {L"\\COM\u00b9.txt", false},
        {L"\\console.txt", true},
        {L"\\CONX", true},
        {L"\\COM10", true},
        {L"\\res\\xnul.png", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsSafeEntryName(c.name), c.safe) << testing::PrintToString(std::wstring(c.name));
}

TEST(PackageFormat, ExtractableEntriesCarryTheirDecodedNames)
{
    const std::string package = PackageEntryBytes("\\data.dat", "abc") +
                                PackageEntryBytes("\\\xca\xb9\xd3\xc3\xcb\xb5\xc3\xf7.txt", "manual");
    const auto entries = ReadExtractableEntries(Bytes(package), package.size());
    ASSERT_TRUE(entries);
    ASSERT_EQ(entries->size(), 2u);
    EXPECT_EQ((*entries)[0].name, L"\\data.dat");
    EXPECT_EQ((*entries)[1].name, L"\\使用说明.txt");
    EXPECT_EQ((*entries)[1].payloadOffset, package.size() - 6);
    EXPECT_EQ((*entries)[1].payloadLength, 6u);
}

TEST(PackageFormat, OneBadNameRefusesTheWholePackage)
{
    const std::string good = PackageEntryBytes("\\data.dat", "d");
    for (const std::string& bad :
         {PackageEntryBytes("\\..\\x", "x"), PackageEntryBytes("\\\x81\x20", "x"),
          PackageEntryBytes(std::string("\\a\0b", 4), "x")}) {
        const std::string package = good + bad;
        EXPECT_FALSE(ReadExtractableEntries(Bytes(package), package.size()))
            << testing::PrintToString(bad);
    }
}

// Serves reads from `package`, records the reads it was asked for, and fails from the
// read at `failingFrom` on.
class RecordingReader {
public:
    explicit RecordingReader(const std::string& package, size_t failingFrom = SIZE_MAX)
        : package(package), failingFrom(failingFrom)
    {
    }
    PackageReader Reader()
    {
        return [this](size_t offset, size_t length, uint8_t* out) {
            if (reads.size() >= failingFrom)
                return false;
            reads.push_back({offset, length});
            package.copy(reinterpret_cast<char*>(out), length, offset);
            return true;
        };
    }
    std::vector<std::pair<size_t, size_t>> reads;

private:
    const std::string& package;
    size_t failingFrom;
};

TEST(PackageFormat, ReadingThroughAReaderTouchesOnlyTheHeaders)
{
    const std::string large(100000, 'p');
    const std::string package = PackageEntryBytes("\\big.bin", large) + PackageEntryBytes("\\small.txt", "s");
    RecordingReader reader(package);

    const auto entries = ReadExtractableEntries(package.size(), reader.Reader());
    ASSERT_TRUE(entries);
    EXPECT_EQ(entries->size(), 2u);
    const auto fromBytes = ReadExtractableEntries(Bytes(package), package.size());
    ASSERT_TRUE(fromBytes);
    EXPECT_EQ((*entries)[1].payloadOffset, (*fromBytes)[1].payloadOffset);
    EXPECT_EQ((*entries)[1].payloadLength, (*fromBytes)[1].payloadLength);
    // One window per header, the last one cut at the package's end.
    const size_t secondHeader = (*entries)[0].payloadOffset + large.size();
    const std::vector<std::pair<size_t, size_t>> expected = {
        {0, EntryHeaderWindow}, {secondHeader, package.size() - secondHeader}};
    EXPECT_EQ(reader.reads, expected);
}

TEST(PackageFormat, AFailedReadRefusesThePackage)
{
    const std::string package = PackageEntryBytes("\\a.txt", "a") + PackageEntryBytes("\\b.txt", "b");
    RecordingReader whole(package);
    ASSERT_TRUE(ReadExtractableEntries(package.size(), whole.Reader()));
    EXPECT_FALSE(ReadExtractableEntries(0, whole.Reader()));
    for (size_t failingFrom : {0u, 1u}) {
        RecordingReader reader(package, failingFrom);
        EXPECT_FALSE(ReadExtractableEntries(package.size(), reader.Reader())) << failingFrom;
    }
}

} // namespace
