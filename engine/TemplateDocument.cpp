#include "TemplateDocument.h"

#include <windows.h>
#include <msxml.h>
#include <wrl/client.h>

#include <memory>

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

std::optional<std::vector<TemplateElement>> ParseTemplateElements(const std::wstring& text)
{
    ComPtr<IXMLDOMDocument> document;
    if (FAILED(::CoCreateInstance(CLSID_DOMDocument, nullptr, CLSCTX_INPROC_SERVER,
                                  IID_IXMLDOMDocument, &document)))
        return std::nullopt;
    document->put_async(VARIANT_FALSE);
    // A template list is plain data: no DTD validation, nothing fetched from elsewhere.
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    Bstr source(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!source || FAILED(document->loadXML(source.get(), &loaded)) || loaded != VARIANT_TRUE)
        return std::nullopt;
    ComPtr<IXMLDOMElement> root;
    if (FAILED(document->get_documentElement(&root)) || !root)
        return std::nullopt;

    std::vector<TemplateElement> elements;
    for (const ComPtr<IXMLDOMNode>& container : ChildElements(root.Get())) {
        if (NodeName(container.Get()) != L"templates")
            continue;
        for (const ComPtr<IXMLDOMNode>& node : ChildElements(container.Get()))
            elements.push_back(ReadTemplateElement(node.Get()));
        break;
    }
    return elements;
}
