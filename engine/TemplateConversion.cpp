#include "TemplateConversion.h"

#include <windows.h>
#include <msxml.h>
#include <shlobj.h>
#include <wrl/client.h>

#include <memory>

#include "DataFile.h"
#include "Encoding.h"

using Microsoft::WRL::ComPtr;

namespace {

struct BstrDeleter {
    void operator()(wchar_t* text) const { ::SysFreeString(text); }
};
using Bstr = std::unique_ptr<wchar_t, BstrDeleter>;

// The text of a BSTR returned to us, which is freed.
std::wstring TakeBstr(BSTR text)
{
    Bstr owned(text);
    return text ? std::wstring(text, ::SysStringLen(text)) : std::wstring();
}

bool PathExists(const std::wstring& path)
{
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool EnsureFolder(const std::wstring& folder)
{
    return ::CreateDirectoryW(folder.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

std::wstring NodeName(IXMLDOMNode* node)
{
    BSTR name = nullptr;
    node->get_nodeName(&name);
    return TakeBstr(name);
}

std::wstring NodeText(IXMLDOMNode* node)
{
    BSTR text = nullptr;
    node->get_text(&text);
    return TakeBstr(text);
}

std::vector<ComPtr<IXMLDOMNode>> ChildElements(IXMLDOMNode* parent)
{
    std::vector<ComPtr<IXMLDOMNode>> elements;
    ComPtr<IXMLDOMNodeList> children;
    long count = 0;
    if (FAILED(parent->get_childNodes(&children)) || !children ||
        FAILED(children->get_length(&count)))
        return elements;
    for (long i = 0; i < count; ++i) {
        ComPtr<IXMLDOMNode> child;
        DOMNodeType type = NODE_INVALID;
        if (SUCCEEDED(children->get_item(i, &child)) && child &&
            SUCCEEDED(child->get_nodeType(&type)) && type == NODE_ELEMENT)
            elements.push_back(child);
    }
    return elements;
}

TemplateElement ReadTemplateElement(IXMLDOMNode* node)
{
    TemplateElement element;
    ComPtr<IXMLDOMNamedNodeMap> attributes;
    long count = 0;
    if (SUCCEEDED(node->get_attributes(&attributes)) && attributes &&
        SUCCEEDED(attributes->get_length(&count))) {
        for (long i = 0; i < count; ++i) {
            ComPtr<IXMLDOMNode> attribute;
            if (SUCCEEDED(attributes->get_item(i, &attribute)) && attribute)
                element.attributes.emplace_back(NodeName(attribute.Get()),
                                                NodeText(attribute.Get()));
        }
    }
    element.text = NodeText(node);
    return element;
}

} // namespace

std::wstring GetUserDataFolder()
{
    wchar_t localAppData[MAX_PATH] = {};
    if (!::SHGetSpecialFolderPathW(nullptr, localAppData, CSIDL_LOCAL_APPDATA, TRUE))
        return {};
    std::wstring folder = std::wstring(localAppData) + L"\\Tessamo";
    if (!EnsureFolder(folder))
        return {};
    return folder + L"\\";
}

std::wstring FindDataFile(const std::wstring& dir, const std::wstring& name)
{
    return FindDataFile(GetUserDataFolder(), dir, name);
}

std::wstring FindDataFile(const std::wstring& userDataFolder, const std::wstring& dir,
                          const std::wstring& name)
{
    if (!userDataFolder.empty() && PathExists(userDataFolder + name))
        return userDataFolder + name;
    if (PathExists(dir + name))
        return dir + name;
    return {};
}

bool WriteUtf8File(const std::wstring& path, const std::wstring& text)
{
    return ReplaceFileBytes(path, EncodeUtf8(text));
}

std::optional<std::vector<TemplateRecord>> LoadTemplateFile(const std::wstring& path)
{
    std::optional<std::string> bytes = ReadFileBytes(path);
    if (!bytes)
        return std::nullopt;
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(::CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IXMLDOMDocument, &document)))
        return std::nullopt;
    document->put_async(VARIANT_FALSE);
    // A template list is plain data: no DTD validation, nothing fetched from elsewhere.
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    std::wstring text = DecodeTemplateFile(*bytes);
    Bstr source(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!source || FAILED(document->loadXML(source.get(), &loaded)) || loaded != VARIANT_TRUE)
        return std::nullopt;
    ComPtr<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(&root)) || !root)
        return std::nullopt;

    std::vector<TemplateRecord> records;
    for (const ComPtr<IXMLDOMNode>& container : ChildElements(root.Get())) {
        if (NodeName(container.Get()) != L"templates")
            continue;
        for (const ComPtr<IXMLDOMNode>& node : ChildElements(container.Get()))
            records.push_back(ReadTemplateRecord(ReadTemplateElement(node.Get())));
        break;
    }
    return records;
}

bool ConvertTemplates(const std::wstring& packageTemplatePath, const std::wstring& installDir)
{
    return ConvertTemplates(packageTemplatePath, installDir, GetUserDataFolder());
}

bool ConvertTemplates(const std::wstring& packageTemplatePath, const std::wstring& installDir,
                      const std::wstring& userDataFolder)
{
    const std::wstring listName = L"template-utf8.xml";
    std::wstring existing = FindDataFile(userDataFolder, installDir, listName);
    if (existing.empty())
        existing = FindDataFile(userDataFolder, installDir, L"template.xml");

    std::vector<TemplateRecord> list;
    if (!existing.empty()) {
        std::optional<std::vector<TemplateRecord>> user = LoadTemplateFile(existing);
        if (!user)
            return false;
        list = std::move(*user);
    }
    if (std::optional<std::vector<TemplateRecord>> package = LoadTemplateFile(packageTemplatePath))
        list = MergeTemplates(std::move(list), *package);

    std::wstring text = FormatTemplateList(list);
    bool userCopyWritten = !userDataFolder.empty() && WriteUtf8File(userDataFolder + listName, text);
    WriteUtf8File(installDir + listName, text);
    return userCopyWritten;
}
