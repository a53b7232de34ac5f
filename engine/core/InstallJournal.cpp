#include "InstallJournal.h"

#include <algorithm>

#include "Crc32.h"
#include "Encoding.h"

namespace {

const char Separator = '\t';
const char* const HexDigits = "0123456789ABCDEF";
const size_t CrcDigits = 8;

void AppendHexByte(std::string& out, unsigned char byte)
{
    out += HexDigits[byte >> 4];
    out += HexDigits[byte & 0x0F];
}

int HexValue(char digit)
{
    const char* found = std::find(HexDigits, HexDigits + 16, digit);
    return found == HexDigits + 16 ? -1 : static_cast<int>(found - HexDigits);
}

std::optional<std::string> FromHex(const std::string& text)
{
    if (text.size() % 2)
        return std::nullopt;
    std::string bytes;
    for (size_t i = 0; i < text.size(); i += 2) {
        const int high = HexValue(text[i]), low = HexValue(text[i + 1]);
        if (high < 0 || low < 0)
            return std::nullopt;
        bytes += static_cast<char>(high * 16 + low);
    }
    return bytes;
}

std::string ToHex(const std::string& bytes)
{
    std::string text;
    for (unsigned char byte : bytes)
        AppendHexByte(text, byte);
    return text;
}

// Control characters and '%' as %XX, so that a field never holds a separator or a line end.
std::string Escaped(const std::wstring& text)
{
    std::string out;
    for (unsigned char byte : EncodeUtf8(text)) {
        if (byte < 0x20 || byte == '%') {
            out += '%';
            AppendHexByte(out, byte);
        } else {
            out += static_cast<char>(byte);
        }
    }
    return out;
}

std::optional<std::wstring> Unescaped(const std::string& field)
{
    std::string bytes;
    for (size_t i = 0; i < field.size(); ++i) {
        if (field[i] != '%') {
            bytes += field[i];
            continue;
        }
        const std::optional<std::string> byte = FromHex(field.substr(i + 1, 2));
        if (!byte || byte->size() != 1)
            return std::nullopt;
        bytes += *byte;
        i += 2;
    }
    return DecodeUtf8(bytes);
}

std::string EncodeEarlier(const std::optional<RegistryData>& earlier)
{
    if (!earlier)
        return "-";
    std::string type;
    for (int shift = 24; shift >= 0; shift -= 8)
        AppendHexByte(type, static_cast<unsigned char>(earlier->type >> shift));
    return type + ":" + ToHex(earlier->bytes);
}

// Nothing inside when the value was absent; nothing outside when the field is damaged.
std::optional<std::optional<RegistryData>> DecodeEarlier(const std::string& field)
{
    if (field == "-")
        return std::optional<RegistryData>();
    const std::optional<std::string> type = FromHex(field.substr(0, 8));
    const std::optional<std::string> bytes = FromHex(field.size() > 9 ? field.substr(9) : "");
    if (field.size() < 9 || field[8] != ':' || !type || type->size() != 4 || !bytes)
        return std::nullopt;
    uint32_t value = 0;
    for (unsigned char byte : *type)
        value = (value << 8) | byte;
    return std::optional<RegistryData>(RegistryData{value, *bytes});
}

bool IsKnownStep(char step)
{
    const std::string steps = "DFASKRC";
    return steps.find(step) != std::string::npos;
}

std::string CrcText(const std::string& bytes)
{
    const uint32_t crc = Crc32(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size());
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8)
        AppendHexByte(text, static_cast<unsigned char>(crc >> shift));
    return text;
}

std::vector<std::string> Split(const std::string& line)
{
    std::vector<std::string> fields(1);
    for (char c : line) {
        if (c == Separator)
            fields.emplace_back();
        else
            fields.back() += c;
    }
    return fields;
}

std::optional<JournalRecord> ParseLine(const std::string& line)
{
    if (line.size() < CrcDigits + 1 || line[line.size() - CrcDigits - 1] != Separator)
        return std::nullopt;
    const std::string body = line.substr(0, line.size() - CrcDigits - 1);
    if (CrcText(body) != line.substr(line.size() - CrcDigits))
        return std::nullopt;
    const std::vector<std::string> fields = Split(body);
    if (fields.size() != 4 || fields[0].size() != 1 || !IsKnownStep(fields[0][0]))
        return std::nullopt;
    const std::optional<std::wstring> path = Unescaped(fields[1]);
    const std::optional<std::wstring> other = Unescaped(fields[2]);
    const std::optional<std::optional<RegistryData>> earlier = DecodeEarlier(fields[3]);
    if (!path || !other || !earlier)
        return std::nullopt;
    return JournalRecord{static_cast<JournalStep>(fields[0][0]), *path, *other, *earlier};
}

JournalAction UndoOf(JournalStep step)
{
    switch (step) {
    case JournalStep::FolderCreated:
        return JournalAction::RemoveFolderTree;
    case JournalStep::FileCreated:
        return JournalAction::DeleteFile;
    case JournalStep::FileKeptAside:
        return JournalAction::PutBack;
    case JournalStep::AsideFolderCreated:
        return JournalAction::RemoveEmptyFolder;
    case JournalStep::RegistryKeyCreated:
        return JournalAction::RemoveKey;
    case JournalStep::RegistryValue:
    case JournalStep::Committed:
        break;
    }
    return JournalAction::RestoreValue;
}

} // namespace

std::string EncodeJournalRecord(const JournalRecord& record)
{
    std::string body(1, static_cast<char>(record.step));
    body += Separator + Escaped(record.path) + Separator + Escaped(record.other) + Separator +
            EncodeEarlier(record.earlier);
    return body + Separator + CrcText(body) + "\n";
}

std::vector<JournalRecord> ParseJournal(const std::string& bytes)
{
    std::vector<JournalRecord> records;
    size_t start = 0;
    for (size_t end = bytes.find('\n'); end != std::string::npos; end = bytes.find('\n', start)) {
        const std::optional<JournalRecord> record = ParseLine(bytes.substr(start, end - start));
        if (!record)
            break;
        records.push_back(*record);
        start = end + 1;
    }
    return records;
}

std::vector<JournalTask> PlanJournalEnd(const std::vector<JournalRecord>& records)
{
    const bool committed = std::any_of(records.begin(), records.end(), [](const JournalRecord& record) {
        return record.step == JournalStep::Committed;
    });
    std::vector<JournalTask> tasks;
    for (auto record = records.rbegin(); record != records.rend(); ++record) {
        if (record->step == JournalStep::Committed)
            continue;
        if (!committed)
            tasks.push_back({UndoOf(record->step), *record});
        else if (record->step == JournalStep::FileKeptAside)
            tasks.push_back({JournalAction::DeleteAside, *record});
        else if (record->step == JournalStep::AsideFolderCreated)
            tasks.push_back({JournalAction::RemoveEmptyFolder, *record});
    }
    return tasks;
}
