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

// Sets a property of the document by name: the document's newer interface, which holds
// SetProperty, is not declared in the headers at hand.
void SetDocumentProperty(IXMLDOMDocument* document, const wchar_t* name, bool on)
{
    LPOLESTR method = const_cast<LPOLESTR>(L"setProperty");
    DISPID id = 0;
    if (FAILED(document->GetIDsOfNames(IID_NULL, &method, 1, LOCALE_USER_DEFAULT, &id)))
        return;
    // Arguments go in reverse order.
    VARIANT arguments[2];
    arguments[0].vt = VT_BOOL;
    arguments[0].boolVal = on ? VARIANT_TRUE : VARIANT_FALSE;
    arguments[1].vt = VT_BSTR;
    arguments[1].bstrVal = ::SysAllocString(name);
    DISPPARAMS parameters{arguments, nullptr, 2, 0};
    document->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters, nullptr, nullptr, nullptr);
    ::SysFreeString(arguments[1].bstrVal);
}

bool HasDocumentType(IXMLDOMDocument* document)
{
    ComPtr<IXMLDOMDocumentType> type;
    return SUCCEEDED(document->get_doctype(&type)) && type;
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
    // A template list is plain data, read elevated from a folder the user can write: no
    // DTD at all, so no entity is expanded, and nothing fetched from elsewhere.
    document->put_validateOnParse(VARIANT_FALSE);
    document->put_resolveExternals(VARIANT_FALSE);
    SetDocumentProperty(document.Get(), L"ProhibitDTD", true);
    Bstr source(::SysAllocStringLen(text.data(), static_cast<UINT>(text.size())));
    VARIANT_BOOL loaded = VARIANT_FALSE;
    if (!source || FAILED(document->loadXML(source.get(), &loaded)) || loaded != VARIANT_TRUE)
        return std::nullopt;
    // Some parsers take the property and still read the DTD: a document with one is refused.
    if (HasDocumentType(document.Get()))
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
