// The engine core's code-page conversions without Win32, for the native build of the
// cores. Wide strings hold what wchar_t holds on Linux: whole code points.
//
// UTF-8 follows the Windows conversions: an invalid sequence decodes to U+FFFD, a lone
// surrogate encodes as U+FFFD. Code page 936 goes through iconv under that name, not as
// "GBK", which some iconv implementations read without 936's additions (0x80 is the euro
// sign in 936); bytes that are not 936 decode to '?' here (Windows has its own
// replacements), and characters outside it encode as '?' as on Windows. The thread's ANSI
// code page is 936, as on the target systems.
#include "Encoding.h"

#include <cerrno>
#include <iconv.h>

namespace {

constexpr char32_t ReplacementCharacter = 0xFFFD;

bool IsSurrogate(char32_t c)
{
    return c >= 0xD800 && c <= 0xDFFF;
}

int SequenceLength(unsigned char lead)
{
    if (lead < 0x80)
        return 1;
    if (lead >= 0xC2 && lead <= 0xDF)
        return 2;
    if (lead >= 0xE0 && lead <= 0xEF)
        return 3;
    if (lead >= 0xF0 && lead <= 0xF4)
        return 4;
    return 0;
}

struct ByteRange {
    unsigned char low;
    unsigned char high;
};

// Where the second byte of a sequence must lie (Unicode's table of well-formed
// sequences): this rules out overlong forms, surrogates and values past U+10FFFF.
ByteRange SecondByteRange(unsigned char lead)
{
    switch (lead) {
    case 0xE0: return {0xA0, 0xBF};
    case 0xED: return {0x80, 0x9F};
    case 0xF0: return {0x90, 0xBF};
    case 0xF4: return {0x80, 0x8F};
    default: return {0x80, 0xBF};
    }
}

// Decodes the sequence at `at` and moves past it. An invalid sequence gives U+FFFD and
// moves past its longest well-formed beginning, at least one byte.
char32_t DecodeOne(const std::string& bytes, size_t& at)
{
    const auto lead = static_cast<unsigned char>(bytes[at++]);
    const int length = SequenceLength(lead);
    if (length <= 1)
        return length == 1 ? lead : ReplacementCharacter;
    char32_t value = lead & (0x7F >> length);
    for (int i = 1; i < length; ++i, ++at) {
        const ByteRange allowed = i == 1 ? SecondByteRange(lead) : ByteRange{0x80, 0xBF};
        if (at >= bytes.size())
            return ReplacementCharacter;
        const auto byte = static_cast<unsigned char>(bytes[at]);
        if (byte < allowed.low || byte > allowed.high)
            return ReplacementCharacter;
        value = (value << 6) | (byte & 0x3F);
    }
    return value;
}

void AppendUtf8(char32_t c, std::string& out)
{
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

// The code point at `at`: a UTF-16 surrogate pair counts as one, a lone surrogate or a
// value past U+10FFFF as U+FFFD.
char32_t CodePointAt(const std::wstring& text, size_t& at)
{
    const auto c = static_cast<char32_t>(text[at++]);
    if (c >= 0xD800 && c <= 0xDBFF && at < text.size()) {
        const auto low = static_cast<char32_t>(text[at]);
        if (low >= 0xDC00 && low <= 0xDFFF) {
            ++at;
            return 0x10000 + ((c - 0xD800) << 10) + (low - 0xDC00);
        }
    }
    return IsSurrogate(c) || c > 0x10FFFF ? ReplacementCharacter : c;
}

class Converter {
public:
    Converter(const char* to, const char* from) : handle(::iconv_open(to, from)) {}
    ~Converter()
    {
        if (Usable())
            ::iconv_close(handle);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;

    bool Usable() const { return handle != reinterpret_cast<iconv_t>(-1); }

    // Converts as much of [input, input + length) as it can into `out`; the count of
    // bytes taken. Stops at an invalid or incomplete sequence.
    size_t Convert(const char* input, size_t length, std::string& out)
    {
        char* in = const_cast<char*>(input);
        size_t left = length;
        char buffer[256];
        while (left > 0) {
            char* target = buffer;
            size_t room = sizeof buffer;
            const size_t result = ::iconv(handle, &in, &left, &target, &room);
            out.append(buffer, static_cast<size_t>(target - buffer));
            if (result == static_cast<size_t>(-1) && errno != E2BIG)
                break;
        }
        return length - left;
    }

private:
    iconv_t handle;
};

std::wstring FromWideBytes(const std::string& wide)
{
    std::wstring text(wide.size() / sizeof(wchar_t), L'\0');
    wide.copy(reinterpret_cast<char*>(text.data()), text.size() * sizeof(wchar_t));
    return text;
}

// Code page 936 bytes as text; nothing when `strict` and a byte sequence is not 936, '?'
// for it otherwise.
std::optional<std::wstring> DecodeGbk(const std::string& bytes, bool strict)
{
    Converter converter("WCHAR_T", "CP936");
    if (!converter.Usable())
        return std::nullopt;
    std::string wide;
    for (size_t at = 0; at < bytes.size();) {
        at += converter.Convert(bytes.data() + at, bytes.size() - at, wide);
        if (at < bytes.size()) {
            if (strict)
                return std::nullopt;
            const wchar_t unknown = L'?';
            wide.append(reinterpret_cast<const char*>(&unknown), sizeof unknown);
            ++at;
        }
    }
    return FromWideBytes(wide);
}

} // namespace

std::wstring DecodeUtf8(const std::string& bytes)
{
    std::wstring text;
    for (size_t at = 0; at < bytes.size();)
        text += static_cast<wchar_t>(DecodeOne(bytes, at));
    return text;
}

std::string EncodeUtf8(const std::wstring& text)
{
    std::string bytes;
    for (size_t at = 0; at < text.size();)
        AppendUtf8(CodePointAt(text, at), bytes);
    return bytes;
}

std::wstring DecodeThreadAnsi(const std::string& bytes)
{
    return DecodeGbk(bytes, false).value_or(std::wstring());
}

std::string EncodeThreadAnsi(const std::wstring& text)
{
    Converter converter("CP936", "WCHAR_T");
    std::string bytes;
    if (!converter.Usable())
        return bytes;
    for (size_t at = 0; at < text.size();) {
        const wchar_t c = static_cast<wchar_t>(CodePointAt(text, at));
        if (converter.Convert(reinterpret_cast<const char*>(&c), sizeof c, bytes) != sizeof c)
            bytes += '?';
    }
    return bytes;
}

std::optional<std::wstring> DecodeGbkStrict(const std::string& bytes)
{
    return DecodeGbk(bytes, true);
}
