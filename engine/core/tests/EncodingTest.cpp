#include <gtest/gtest.h>

#include <string>

#include "Encoding.h"

// The conversions behind these functions are the platform's on Windows and portable ones
// in the native build: both must give these results.
namespace {

const std::string ManualGbk = "\xCA\xB9\xD3\xC3\xCB\xB5\xC3\xF7";  // 使用说明

struct GbkCase {
    const char* name;
    std::string bytes;
    std::optional<std::wstring> strict;
};

void PrintTo(const GbkCase& c, std::ostream* out)
{
    *out << c.name;
}

class StrictGbkCases : public testing::TestWithParam<GbkCase> {};

TEST_P(StrictGbkCases, DecodeOnlyWholeGbk)
{
    EXPECT_EQ(DecodeGbkStrict(GetParam().bytes), GetParam().strict);
}

INSTANTIATE_TEST_SUITE_P(
    Encoding, StrictGbkCases,
    testing::Values(GbkCase{"Empty", "", std::wstring()},
                    GbkCase{"Ascii", "\\res\\a.png", std::wstring(L"\\res\\a.png")},
                    GbkCase{"Chinese", "\\" + ManualGbk + ".txt", std::wstring(L"\\使用说明.txt")},
                    GbkCase{"LeadByteWithoutTrail", "\\\xCA", std::nullopt},
                    GbkCase{"LeadByteBeforeSpace", "\\\x81\x20.txt", std::nullopt}),
    [](const testing::TestParamInfo<GbkCase>& info) { return std::string(info.param.name); });

TEST(Encoding, ThreadAnsiIsGbk)
{
    EXPECT_EQ(DecodeThreadAnsi(ManualGbk), L"使用说明");
    EXPECT_EQ(EncodeThreadAnsi(L"未设置提示内容"),
              "\xCE\xB4\xC9\xE8\xD6\xC3\xCC\xE1\xCA\xBE\xC4\xDA\xC8\xDD");
    EXPECT_EQ(EncodeThreadAnsi(L"a<b>"), "a<b>");
    EXPECT_EQ(EncodeThreadAnsi(L""), "");
}

TEST(Encoding, ThreadAnsiHasCodePage936sEuroSign)
{
    EXPECT_EQ(DecodeThreadAnsi("\x80"), L"\u20AC");
    EXPECT_EQ(EncodeThreadAnsi(L"\u20AC"), "\x80");
    EXPECT_EQ(DecodeGbkStrict("\\\x80.txt"), std::wstring(L"\\\u20AC.txt"));
}

TEST(Encoding, Utf8RoundTripsEveryPlane)
{
    const std::wstring text = L"a蓝色é😀\x7F\x80\xFFFD";
    const std::string bytes = "a\xE8\x93\x9D\xE8\x89\xB2\xC3\xA9\xF0\x9F\x98\x80\x7F\xC2\x80\xEF\xBF\xBD";
    EXPECT_EQ(EncodeUtf8(text), bytes);
    EXPECT_EQ(DecodeUtf8(bytes), text);
    EXPECT_EQ(DecodeUtf8(""), L"");
}

TEST(Encoding, BrokenUtf8DecodesToReplacementCharacters)
{
    EXPECT_EQ(DecodeUtf8("a\xFF" "b"), L"a\xFFFD" L"b");
    EXPECT_EQ(DecodeUtf8("a\xE8\x93"), L"a\xFFFD");
    EXPECT_EQ(DecodeUtf8("\xC3" "a"), L"\xFFFD" L"a");
}

TEST(Encoding, LoneSurrogateEncodesAsReplacementCharacter)
{
    EXPECT_EQ(EncodeUtf8(std::wstring(1, static_cast<wchar_t>(0xD800)) + L"a"), "\xEF\xBF\xBD" "a");
}

} // namespace
