#include <gtest/gtest.h>

#include <windows.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "Encoding.h"
#include "TemplateConversion.h"
#include "TestSupport.h"

namespace {

// A template element of a test file.
std::wstring Template(const std::wstring& id, const std::wstring& name, const std::wstring& image,
                      const std::wstring& more = L"")
{
    return L"<template id=\"" + id + L"\" image=\"" + image + L"\" x1=\"0.1\" y1=\"0.2\" x2=\"0.9\" y2=\"0.8\"" +
           more + L"><![CDATA[" + name + L"]]></template>";
}

std::wstring TemplatesDocument(const std::vector<std::wstring>& templates)
{
    std::wstring text = L"<config>\r\n\t<templates>\r\n";
    for (const std::wstring& element : templates)
        text += L"\t\t" + element + L"\r\n";
    return text + L"\t</templates>\r\n</config>";
}

std::string Utf8File(const std::vector<std::wstring>& templates)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n" + EncodeUtf8(TemplatesDocument(templates));
}

// The older files: GBK, with or without a declaration.
std::string GbkFile(const std::vector<std::wstring>& templates)
{
    return EncodeThreadAnsi(TemplatesDocument(templates));
}

std::string Gb2312File(const std::vector<std::wstring>& templates)
{
    return EncodeThreadAnsi(L"<?xml version=\"1.0\" encoding=\"gb2312\"?>\r\n" + TemplatesDocument(templates));
}

enum class Place { UserFolder, InstallDir, Package };

struct TestFile {
    Place place;
    const wchar_t* name; // ignored for the package file
    std::string bytes;
};

// The folders of one conversion.
class ConversionFolders {
public:
    std::wstring PackagePath() const { return extraction.Path() + L"template-utf8.xml"; }
    const std::wstring& UserFolder() const { return user.Path(); }
    const std::wstring& InstallDir() const { return install.Path(); }

    void Write(const TestFile& file) const
    {
        std::wstring path = file.place == Place::Package    ? PackagePath()
                            : file.place == Place::UserFolder ? UserFolder() + file.name
                                                              : InstallDir() + file.name;
        ASSERT_TRUE(WriteBytesFile(path, file.bytes));
    }

private:
    ScopedTempDir extraction;
    ScopedTempDir user;
    ScopedTempDir install;
};

// id/name/min_w of each record, to show which record survived.
std::vector<std::wstring> Describe(const std::vector<TemplateRecord>& list)
{
    std::vector<std::wstring> out;
    for (const TemplateRecord& record : list)
        out.push_back(record.id + L"/" + record.name + L"/" + std::to_wstring(record.min_w));
    return out;
}

struct ConvertCase {
    const char* name;
    std::vector<TestFile> files;
    std::vector<std::wstring> expected;
};

void PrintTo(const ConvertCase& c, std::ostream* out)
{
    *out << c.name;
}

class ConvertTemplatesCases : public testing::TestWithParam<ConvertCase> {};

TEST_P(ConvertTemplatesCases, WriteTheMergedListToBothPlaces)
{
    const ConvertCase& c = GetParam();
    ConversionFolders folders;
    for (const TestFile& file : c.files)
        folders.Write(file);

    EXPECT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));

    std::string userCopy = ReadBytesFile(folders.UserFolder() + L"template-utf8.xml");
    EXPECT_EQ(ReadBytesFile(folders.InstallDir() + L"template-utf8.xml"), userCopy);
    std::optional<std::vector<TemplateRecord>> written =
        LoadTemplateFile(folders.UserFolder() + L"template-utf8.xml");
    ASSERT_TRUE(written);
    EXPECT_EQ(Describe(*written), c.expected);
    EXPECT_EQ(userCopy, EncodeUtf8(FormatTemplateList(*written)));
}

const std::vector<std::wstring> PackageTemplates{
    Template(L"p1", L"蓝色记事本", L"res\\blue.png", L" min_w=\"120\""),
    Template(L"p2", L"粉色", L"res\\pink.png", L" min_w=\"121\""),
};

INSTANTIATE_TEST_SUITE_P(
    TemplateConversion, ConvertTemplatesCases,
    testing::Values(
        ConvertCase{"NoUserFileGivesThePackageList",
                    {{Place::Package, nullptr, Utf8File(PackageTemplates)}},
                    {L"p1/蓝色记事本/120", L"p2/粉色/121"}},
        ConvertCase{"OlderTemplateXmlComesFirst",
                    {{Place::Package, nullptr, Utf8File(PackageTemplates)},
                     {Place::InstallDir, L"template.xml", GbkFile({Template(L"u1", L"我的", L"res\\u.png")})}},
                    {L"u1/我的/200", L"p1/蓝色记事本/120", L"p2/粉色/121"}},
        ConvertCase{"SameIdKeepsTheUsersRecord",
                    {{Place::Package, nullptr, Utf8File(PackageTemplates)},
                     {Place::InstallDir, L"template-utf8.xml",
                      Utf8File({Template(L"p2", L"改过", L"res\\mine.png", L" min_w=\"50\"")})}},
                    {L"p2/改过/50", L"p1/蓝色记事本/120"}},
        ConvertCase{"SameNameAndImageMovesThePackageRecordToTheEnd",
                    {{Place::Package, nullptr, Utf8File(PackageTemplates)},
                     {Place::UserFolder, L"template-utf8.xml",
                      Utf8File({Template(L"old", L"蓝色记事本", L"res\\blue.png", L" min_w=\"60\""),
                                Template(L"u2", L"其他", L"res\\o.png")})}},
                    {L"u2/其他/200", L"p1/蓝色记事本/120", L"p2/粉色/121"}},
        ConvertCase{"PerUserFileIsPreferred",
                    {{Place::Package, nullptr, Utf8File({})},
                     {Place::UserFolder, L"template-utf8.xml", Utf8File({Template(L"user", L"a", L"a")})},
                     {Place::InstallDir, L"template-utf8.xml", Utf8File({Template(L"install", L"b", L"b")})}},
                    {L"user/a/200"}},
        ConvertCase{"NewFileNameIsPreferredOverTheOlderOne",
                    {{Place::Package, nullptr, Utf8File({})},
                     {Place::UserFolder, L"template.xml", GbkFile({Template(L"older", L"a", L"a")})},
                     {Place::InstallDir, L"template-utf8.xml", Utf8File({Template(L"newer", L"b", L"b")})}},
                    {L"newer/b/200"}},
        ConvertCase{"Gb2312DeclaredFileLoads",
                    {{Place::Package, nullptr, Utf8File({})},
                     {Place::InstallDir, L"template.xml", Gb2312File({Template(L"g", L"绿色便签", L"g")})}},
                    {L"g/绿色便签/200"}},
        ConvertCase{"MissingPackageFileWritesTheUsersListBack",
                    {{Place::InstallDir, L"template-utf8.xml", Utf8File({Template(L"u", L"a", L"a")})}},
                    {L"u/a/200"}},
        ConvertCase{"BrokenPackageFileWritesTheUsersListBack",
                    {{Place::Package, nullptr, "<config><templates>"},
                     {Place::InstallDir, L"template-utf8.xml", Utf8File({Template(L"u", L"a", L"a")})}},
                    {L"u/a/200"}},
        ConvertCase{"NoFilesAtAllGiveAnEmptyList", {}, {}},
        ConvertCase{"CommentsAndTextBetweenTemplatesAreNotTemplates",
                    {{Place::Package, nullptr,
                      "<config><!-- c --><templates><!-- t -->\r\n" + EncodeUtf8(Template(L"p", L"n", L"i")) +
                          "<?pi x?></templates></config>"}},
                    {L"p/n/200"}}),
    [](const testing::TestParamInfo<ConvertCase>& info) { return std::string(info.param.name); });

TEST(TemplateConversion, PackageListInOutputFormPassesThroughByteForByte)
{
    const std::string file =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?>\r\n<config>\r\n\t<templates>\r\n"
        "\t\t<template id=\"158738349100000822\" image=\"res\\2020420195131818.png\" x1=\"0.100000\" "
        "y1=\"0.325000\" x2=\"0.900000\" y2=\"0.754167\" min_w=\"120\" min_h=\"120\" stretch_x1=\"21\" "
        "stretch_x2=\"92\" stretch_y1=\"16\" stretch_y2=\"91\" checkbox_alpha=\"255\" checkbox_id=\"0\" "
        "checkbox_color=\"11046493\" support_taskmode=\"1\" default_taskmode=\"0\" "
        "unchecked_color=\"12035717\" showline=\"1\" line_color=\"12824975\" line_width=\"2\" "
        "line_space=\"10\" line_style=\"1\" color_text=\"1\" support_title=\"1\" title_x1=\"0.100000\" "
        "title_x2=\"0.900000\" title_y=\"0.087500\" title_color=\"8021828\" title_fontsize=\"110\" "
        "title_bold=\"1\" ><![CDATA[蓝色记事本]]></template>\r\n"
        "\t</templates>\r\n</config>";
    ConversionFolders folders;
    folders.Write({Place::Package, nullptr, file});
    EXPECT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    EXPECT_EQ(ReadBytesFile(folders.UserFolder() + L"template-utf8.xml"), file);
    EXPECT_EQ(ReadBytesFile(folders.InstallDir() + L"template-utf8.xml"), file);
}

TEST(TemplateConversion, MissingAttributesComeOutWithTheirDefaults)
{
    ConversionFolders folders;
    folders.Write({Place::Package, nullptr, Utf8File({L"<template id=\"bare\"><![CDATA[空]]></template>"})});
    EXPECT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    TemplateRecord defaults;
    defaults.id = L"bare";
    defaults.name = L"空";
    EXPECT_EQ(ReadBytesFile(folders.InstallDir() + L"template-utf8.xml"),
              EncodeUtf8(FormatTemplateList({defaults})));
}

TEST(TemplateConversion, UnloadableUserFileStopsWithoutWriting)
{
    ConversionFolders folders;
    const std::string broken = "<config><templates><template id=\"x\"></config>";
    folders.Write({Place::Package, nullptr, Utf8File(PackageTemplates)});
    folders.Write({Place::UserFolder, L"template-utf8.xml", broken});

    EXPECT_FALSE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    EXPECT_EQ(ReadBytesFile(folders.UserFolder() + L"template-utf8.xml"), broken);
    EXPECT_FALSE(FileExists(folders.InstallDir() + L"template-utf8.xml"));
}

// A user's file sits in a folder the user can write, and is read by an elevated installer.
TEST(TemplateConversion, AUserFileWithADocumentTypeIsRefusedLikeAnUnreadableOne)
{
    const std::string entity = "<!DOCTYPE config [<!ENTITY n \"injected\">]>\r\n"
                               "<config><templates><template id=\"&n;\"/></templates></config>";
    // Ten levels of ten references each: 10^10 bytes once expanded.
    std::string bomb = "<?xml version=\"1.0\"?>\r\n<!DOCTYPE config [<!ENTITY a \"aaaaaaaaaa\">";
    for (char level = 'b'; level <= 'k'; ++level) {
        bomb += std::string("<!ENTITY ") + level + " \"";
        for (int i = 0; i < 10; ++i)
            bomb += std::string("&") + char(level - 1) + ";";
        bomb += "\">";
    }
    bomb += "]>\r\n<config><templates><template id=\"&k;\"/></templates></config>";

    for (const std::string& document : {entity, bomb}) {
        ConversionFolders folders;
        folders.Write({Place::Package, nullptr, Utf8File(PackageTemplates)});
        folders.Write({Place::UserFolder, L"template-utf8.xml", document});
        EXPECT_FALSE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
        EXPECT_EQ(ReadBytesFile(folders.UserFolder() + L"template-utf8.xml"), document);
        EXPECT_FALSE(FileExists(folders.InstallDir() + L"template-utf8.xml"));
    }
}

TEST(TemplateConversion, WithoutAPerUserFolderOnlyTheInstallDirIsWritten)
{
    ConversionFolders folders;
    folders.Write({Place::Package, nullptr, Utf8File(PackageTemplates)});
    wchar_t current[MAX_PATH];
    ::GetCurrentDirectoryW(MAX_PATH, current);
    ::SetCurrentDirectoryW(folders.UserFolder().c_str());

    EXPECT_FALSE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), L""));

    EXPECT_FALSE(FileExists(folders.UserFolder() + L"template-utf8.xml"));
    ::SetCurrentDirectoryW(current);
    EXPECT_TRUE(FileExists(folders.InstallDir() + L"template-utf8.xml"));
}

TEST(TemplateConversion, EscapedValuesLoadAgainAtTheNextInstall)
{
    ConversionFolders folders;
    folders.Write({Place::Package, nullptr,
                   Utf8File({L"<template id=\"a&amp;b\" image=\"&lt;&quot;x&quot;>\">x]]&gt;y &amp; 😀</template>"})});
    ASSERT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    std::string first = ReadBytesFile(folders.UserFolder() + L"template-utf8.xml");

    ASSERT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    std::optional<std::vector<TemplateRecord>> reloaded =
        LoadTemplateFile(folders.UserFolder() + L"template-utf8.xml");
    ASSERT_TRUE(reloaded);
    ASSERT_EQ(reloaded->size(), 1u);
    EXPECT_EQ((*reloaded)[0].id, L"a&b");
    EXPECT_EQ((*reloaded)[0].image, L"<\"x\">");
    EXPECT_EQ((*reloaded)[0].name, L"x]]>y & 😀");
    EXPECT_EQ(ReadBytesFile(folders.UserFolder() + L"template-utf8.xml"), first);
}

TEST(TemplateConversion, TabsAndLineBreaksInValuesLoadAgainAtTheNextInstall)
{
    ConversionFolders folders;
    folders.Write({Place::Package, nullptr,
                   Utf8File({L"<template id=\"a&#9;b\" image=\"c&#13;&#10;d&#10;e\">x</template>"})});
    ASSERT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    ASSERT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir(), folders.UserFolder()));
    std::optional<std::vector<TemplateRecord>> reloaded =
        LoadTemplateFile(folders.UserFolder() + L"template-utf8.xml");
    ASSERT_TRUE(reloaded);
    ASSERT_EQ(reloaded->size(), 1u) << "the same id again: no second record";
    EXPECT_EQ((*reloaded)[0].id, L"a\tb");
    EXPECT_EQ((*reloaded)[0].image, L"c\r\nd\ne");
}

TEST(TemplateConversion, FindDataFileLooksInThePerUserFolderFirst)
{
    ScopedTempDir user;
    ScopedTempDir install;
    EXPECT_EQ(FindDataFile(user.Path(), install.Path(), L"template.xml"), L"");
    ASSERT_TRUE(WriteBytesFile(install.Path() + L"template.xml", "x"));
    EXPECT_EQ(FindDataFile(user.Path(), install.Path(), L"template.xml"), install.Path() + L"template.xml");
    EXPECT_EQ(FindDataFile(L"", install.Path(), L"template.xml"), install.Path() + L"template.xml");
    ASSERT_TRUE(WriteBytesFile(user.Path() + L"template.xml", "x"));
    EXPECT_EQ(FindDataFile(user.Path(), install.Path(), L"template.xml"), user.Path() + L"template.xml");
}

// The real per-user folder of the test prefix (a fresh copy for each run).
TEST(TemplateConversion, PerUserCopyGoesToTheLocalApplicationDataFolder)
{
    wchar_t localAppData[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathW(nullptr, localAppData, CSIDL_LOCAL_APPDATA, FALSE));
    std::wstring folder = GetUserDataFolder();
    ASSERT_EQ(folder, std::wstring(localAppData) + L"\\Tessamo\\");
    EXPECT_NE(::GetFileAttributesW(folder.c_str()) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    std::wstring userCopy = folder + L"template-utf8.xml";
    // Installations run by other tests of this prefix leave their copy here.
    ::DeleteFileW(userCopy.c_str());

    ConversionFolders folders;
    folders.Write({Place::Package, nullptr, Utf8File(PackageTemplates)});
    EXPECT_EQ(FindDataFile(folders.InstallDir(), L"template-utf8.xml"), L"");
    EXPECT_TRUE(ConvertTemplates(folders.PackagePath(), folders.InstallDir()));
    std::string written = ReadBytesFile(userCopy);
    EXPECT_EQ(FindDataFile(folders.InstallDir(), L"template-utf8.xml"), userCopy);
    ::DeleteFileW(userCopy.c_str());
    ::RemoveDirectoryW(folder.c_str());

    EXPECT_EQ(written, ReadBytesFile(folders.InstallDir() + L"template-utf8.xml"));
    EXPECT_NE(written.find("蓝色记事本"), std::string::npos);
}

} // namespace
