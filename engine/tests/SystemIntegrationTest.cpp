#include <gtest/gtest.h>

#include <algorithm>

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

#include "SystemIntegration.h"
#include "TestSupport.h"

namespace {

const wchar_t RunKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
const wchar_t UninstallKey[] = L"SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Uninstall\\Kelbrin";

struct StoredValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data;

    // The stored bytes as UTF-16 text, NUL included when it was stored.
    std::wstring Raw() const
    {
        return std::wstring(reinterpret_cast<const wchar_t*>(data.data()), data.size() / sizeof(wchar_t));
    }
};

std::optional<StoredValue> ReadValue(HKEY root, const wchar_t* subKey, const wchar_t* name)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, subKey, 0, KEY_QUERY_VALUE, &key) != ERROR_SUCCESS)
        return std::nullopt;
    StoredValue value;
    DWORD size = 0;
    LONG status = ::RegQueryValueExW(key, name, nullptr, &value.type, nullptr, &size);
    if (status == ERROR_SUCCESS) {
        value.data.resize(size);
        status = ::RegQueryValueExW(key, name, nullptr, &value.type, value.data.data(), &size);
    }
    ::RegCloseKey(key);
    if (status != ERROR_SUCCESS)
        return std::nullopt;
    return value;
}

void WriteValue(HKEY root, const wchar_t* name, DWORD type, const void* data, DWORD size)
{
    HKEY key = nullptr;
    ASSERT_EQ(::RegCreateKeyExW(root, RunKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    EXPECT_EQ(::RegSetValueExW(key, name, 0, type, static_cast<const BYTE*>(data), size), ERROR_SUCCESS);
    ::RegCloseKey(key);
}

void WriteRunText(HKEY root, const std::wstring& text)
{
    WriteValue(root, L"Pinvora", REG_SZ, text.c_str(), static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

void DeleteRunValue(HKEY root)
{
    HKEY key = nullptr;
    if (::RegOpenKeyExW(root, RunKey, 0, KEY_SET_VALUE, &key) == ERROR_SUCCESS) {
        ::RegDeleteValueW(key, L"Pinvora");
        ::RegCloseKey(key);
    }
}

// Each test starts and ends without the installer's values in the prefix's registry.
class SystemIntegration : public testing::Test {
protected:
    void SetUp() override { Clean(); }
    void TearDown() override { Clean(); }

    static void Clean()
    {
        DeleteRunValue(HKEY_CURRENT_USER);
        DeleteRunValue(HKEY_LOCAL_MACHINE);
        ::RegDeleteKeyW(HKEY_CURRENT_USER, UninstallKey);
    }
};

TEST_F(SystemIntegration, AutostartIsTheQuotedPathForTheCurrentUser)
{
    const std::wstring exe = L"C:\\Program Files\\Tessamo\\Pinvora.exe";
    EXPECT_TRUE(SetAutostart(exe));

    std::optional<StoredValue> value = ReadValue(HKEY_CURRENT_USER, RunKey, L"Pinvora");
    ASSERT_TRUE(value);
    EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ));
    EXPECT_EQ(value->Raw(), std::wstring(L"\"" + exe + L"\"") + L'\0');
}

TEST_F(SystemIntegration, AutostartRemovesTheMachineWideValue)
{
    WriteRunText(HKEY_LOCAL_MACHINE, L"\"D:\\旧的\\Pinvora.exe\"");
    EXPECT_TRUE(SetAutostart(L"C:\\新的\\Pinvora.exe"));
    EXPECT_FALSE(ReadValue(HKEY_LOCAL_MACHINE, RunKey, L"Pinvora"));
    EXPECT_EQ(QueryAutostartCommand(), L"C:\\新的\\Pinvora.exe");
}

// The current user's Run key is not created when missing, so the value cannot be written.
TEST_F(SystemIntegration, AutostartKeepsTheMachineWideValueWhenTheUserValueCannotBeWritten)
{
    WriteRunText(HKEY_LOCAL_MACHINE, L"\"D:\\旧的\\Pinvora.exe\"");
    DWORD otherValues = 0;
    ASSERT_EQ(::RegGetValueW(HKEY_CURRENT_USER, RunKey, L"Pinvora", RRF_RT_ANY, nullptr, nullptr, nullptr),
              ERROR_FILE_NOT_FOUND);
    HKEY userRun = nullptr;
    if (::RegOpenKeyExW(HKEY_CURRENT_USER, RunKey, 0, KEY_QUERY_VALUE, &userRun) == ERROR_SUCCESS) {
        ::RegQueryInfoKeyW(userRun, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, &otherValues, nullptr,
                           nullptr, nullptr, nullptr);
        ::RegCloseKey(userRun);
        ASSERT_EQ(otherValues, 0u) << "the prefix's own Run values are not thrown away";
        ASSERT_EQ(::RegDeleteKeyW(HKEY_CURRENT_USER, RunKey), ERROR_SUCCESS);
    }

    EXPECT_FALSE(SetAutostart(L"C:\\新的\\Pinvora.exe"));
    EXPECT_EQ(QueryAutostartCommand(), L"D:\\旧的\\Pinvora.exe") << "autostart must not vanish";
    ::RegCreateKeyExW(HKEY_CURRENT_USER, RunKey, 0, nullptr, 0, KEY_READ, nullptr, &userRun, nullptr);
    ::RegCloseKey(userRun);
}

UninstallEntry Entry(const std::wstring& installDir, const std::wstring& version)
{
    return UninstallEntry{installDir, version, 1234, L"20260314"};
}

bool AllWritten(const std::vector<UninstallValueWrite>& writes)
{
    return !writes.empty() &&
           std::all_of(writes.begin(), writes.end(), [](const UninstallValueWrite& value) { return value.written; });
}

TEST_F(SystemIntegration, UninstallEntryHoldsEveryValueAPackageManagerReads)
{
    const std::vector<UninstallValueWrite> writes = WriteUninstallEntry(Entry(L"C:\\Program Files\\Tessamo\\", L"1.6.0.2"));
    ASSERT_EQ(writes.size(), 11u) << "each value reports its own result";
    ASSERT_TRUE(AllWritten(writes));

    const std::pair<const wchar_t*, std::wstring> strings[] = {
        {L"DisplayIcon", L"C:\\Program Files\\Tessamo\\Pinvora.exe"},
        {L"DisplayName", L"Tessamo"},
        {L"Publisher", L"Haldenmark"},
        {L"UninstallString", L"\"C:\\Program Files\\Tessamo\\卸载Tessamo.exe\""},
        {L"QuietUninstallString", L"\"C:\\Program Files\\Tessamo\\卸载Tessamo.exe\" /quiet"},
        {L"InstallLocation", L"C:\\Program Files\\Tessamo\\"},
        {L"InstallDate", L"20260314"},
        {L"DisplayVersion", L"1.6.0.2"},
    };
    for (const auto& [name, text] : strings) {
        std::optional<StoredValue> value = ReadValue(HKEY_CURRENT_USER, UninstallKey, name);
        ASSERT_TRUE(value) << ToUtf8(name);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_SZ)) << ToUtf8(name);
        EXPECT_EQ(value->data.size(), (text.size() + 1) * sizeof(wchar_t)) << ToUtf8(name);
        EXPECT_EQ(value->Raw(), text + L'\0') << ToUtf8(name);
    }
    const std::pair<const wchar_t*, DWORD> numbers[] = {{L"EstimatedSize", 1234}, {L"NoModify", 1}, {L"NoRepair", 1}};
    for (const auto& [name, number] : numbers) {
        std::optional<StoredValue> value = ReadValue(HKEY_CURRENT_USER, UninstallKey, name);
        ASSERT_TRUE(value) << ToUtf8(name);
        EXPECT_EQ(value->type, static_cast<DWORD>(REG_DWORD)) << ToUtf8(name);
        ASSERT_EQ(value->data.size(), sizeof(DWORD)) << ToUtf8(name);
        EXPECT_EQ(*reinterpret_cast<const DWORD*>(value->data.data()), number) << ToUtf8(name);
    }
}

TEST_F(SystemIntegration, SecondInstallationRewritesTheUninstallEntry)
{
    ASSERT_TRUE(AllWritten(WriteUninstallEntry(Entry(L"C:\\A\\", L"1.0.0.0"))));
    ASSERT_TRUE(AllWritten(WriteUninstallEntry(Entry(L"D:\\B\\", L""))));
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, UninstallKey, L"DisplayIcon")->Raw(),
              std::wstring(L"D:\\B\\Pinvora.exe") + L'\0');
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, UninstallKey, L"QuietUninstallString")->Raw(),
              std::wstring(L"\"D:\\B\\卸载Tessamo.exe\" /quiet") + L'\0');
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, UninstallKey, L"InstallLocation")->Raw(), std::wstring(L"D:\\B\\") + L'\0');
    EXPECT_EQ(ReadValue(HKEY_CURRENT_USER, UninstallKey, L"DisplayVersion")->Raw(), std::wstring(1, L'\0'));
}

TEST(InstallDate, IsWrittenAsEightDigits)
{
    SYSTEMTIME date{};
    date.wYear = 2026;
    date.wMonth = 3;
    date.wDay = 7;
    EXPECT_EQ(InstallDateText(date), L"20260307");
}

TEST(InstalledSize, CountsEveryFileBelowTheFolderInKibRoundedUp)
{
    ScopedTempDir dir;
    ASSERT_TRUE(::CreateDirectoryW((dir.Path() + L"res").c_str(), nullptr));
    ASSERT_TRUE(WriteBytesFile(dir.Path() + L"Pinvora.exe", std::string(2048, 'x')));
    ASSERT_TRUE(WriteBytesFile(dir.Path() + L"res\\a.png", std::string(1, 'x')));
    EXPECT_EQ(InstalledSizeKiB(dir.Path()), 3u);
    EXPECT_EQ(InstalledSizeKiB(dir.Path() + L"missing\\"), 0u);
}

TEST_F(SystemIntegration, FileVersionIsReadFromTheVersionResource)
{
    wchar_t self[MAX_PATH];
    ::GetModuleFileNameW(nullptr, self, MAX_PATH);
    EXPECT_EQ(GetFileVersionText(self), std::optional<std::wstring>(L"1.6.0.2"));

    ScopedTempDir dir;
    ASSERT_TRUE(WriteBytesFile(dir.Path() + L"Pinvora.exe", "MZ not really"));
    EXPECT_FALSE(GetFileVersionText(dir.Path() + L"Pinvora.exe"));
    EXPECT_FALSE(GetFileVersionText(dir.Path() + L"missing.exe"));
}

struct QueryCase {
    const char* name;
    std::optional<std::wstring> currentUser;
    std::optional<std::wstring> machine;
    std::wstring expected;
};

void PrintTo(const QueryCase& c, std::ostream* out)
{
    *out << c.name;
}

class QueryAutostartCases : public SystemIntegration, public testing::WithParamInterface<QueryCase> {};

TEST_P(QueryAutostartCases, GiveTheCommandWithoutQuotes)
{
    const QueryCase& c = GetParam();
    if (c.currentUser)
        WriteRunText(HKEY_CURRENT_USER, *c.currentUser);
    if (c.machine)
        WriteRunText(HKEY_LOCAL_MACHINE, *c.machine);
    EXPECT_EQ(QueryAutostartCommand(), c.expected);
}

// 499 characters and the NUL fill the 1000-byte buffer exactly.
const std::wstring LongestPath = L"C:\\" + std::wstring(484, L'长') + L"\\Pinvora.exe";
const std::wstring TooLongPath = LongestPath + L"x";

INSTANTIATE_TEST_SUITE_P(
    SystemIntegration, QueryAutostartCases,
    testing::Values(QueryCase{"NoValueGivesNothing", std::nullopt, std::nullopt, L""},
                    QueryCase{"CurrentUserIsPreferred", L"\"C:\\用户\\Pinvora.exe\"", L"\"D:\\机器\\Pinvora.exe\"",
                              L"C:\\用户\\Pinvora.exe"},
                    QueryCase{"MachineWideWhenTheUserHasNone", std::nullopt, L"\"D:\\机器\\Pinvora.exe\" /s",
                              L"D:\\机器\\Pinvora.exe /s"},
                    QueryCase{"EmptyUserValueCounts", L"", L"\"D:\\机器\\Pinvora.exe\"", L""},
                    QueryCase{"ValueFillingTheBufferIsRead", L"\"" + LongestPath.substr(2) + L"\"", std::nullopt,
                              LongestPath.substr(2)},
                    QueryCase{"UnquotedFillingTheBufferIsRead", LongestPath, std::nullopt, LongestPath},
                    QueryCase{"TooLongUserValueCountsAsAbsent", TooLongPath, L"\"D:\\Pinvora.exe\"",
                              L"D:\\Pinvora.exe"},
                    QueryCase{"TooLongValueAloneGivesNothing", std::nullopt, TooLongPath, L""}),
    [](const testing::TestParamInfo<QueryCase>& info) { return std::string(info.param.name); });

TEST_F(SystemIntegration, AutostartValueOfAnotherTypeCountsAsAbsent)
{
    DWORD number = 1;
    WriteValue(HKEY_CURRENT_USER, L"Pinvora", REG_DWORD, &number, sizeof number);
    WriteRunText(HKEY_LOCAL_MACHINE, L"\"D:\\Pinvora.exe\"");
    EXPECT_EQ(QueryAutostartCommand(), L"D:\\Pinvora.exe");
}

TEST_F(SystemIntegration, AutostartValueStoredWithoutNulIsReadWhole)
{
    const std::wstring text = L"\"C:\\无结尾\\Pinvora.exe\"";
    WriteValue(HKEY_CURRENT_USER, L"Pinvora", REG_SZ, text.data(), static_cast<DWORD>(text.size() * sizeof(wchar_t)));
    EXPECT_EQ(QueryAutostartCommand(), L"C:\\无结尾\\Pinvora.exe");
}

} // namespace
