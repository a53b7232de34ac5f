// The XML reading of template lists for the native build of the cores, with TinyXML in
// place of the platform's XML DOM. Like the DOM it keeps names case-sensitive, drops
// white-space-only text between elements, and gives an element's text as all the text
// below it.
#include "TemplateDocument.h"

#include <tinyxml.h>

#include "Encoding.h"

namespace {

std::wstring Utf8Text(const char* text)
{
    return DecodeUtf8(text ? text : "");
}

std::string AllTextBelow(const TiXmlNode& node)
{
    std::string text;
    for (const TiXmlNode* child = node.FirstChild(); child; child = child->NextSibling()) {
        if (const TiXmlText* part = child->ToText())
            text += part->Value();
        else if (child->ToElement())
            text += AllTextBelow(*child);
    }
    return text;
}

TemplateElement ReadTemplateElement(const TiXmlElement& node)
{
    TemplateElement element;
    for (const TiXmlAttribute* attribute = node.FirstAttribute(); attribute;
         attribute = attribute->Next())
        element.attributes.emplace_back(Utf8Text(attribute->Name()), Utf8Text(attribute->Value()));
    element.text = DecodeUtf8(AllTextBelow(node));
    return element;
}

} // namespace

std::optional<std::vector<TemplateElement>> ParseTemplateElements(const std::wstring& text)
{
    const std::string bytes = EncodeUtf8(text);
    // XML has no NUL character, and TinyXML would stop reading there.
    if (bytes.find('\0') != std::string::npos)
        return std::nullopt;
    TiXmlDocument document;
    document.Parse(bytes.c_str(), nullptr, TIXML_ENCODING_UTF8);
    const TiXmlElement* root = document.RootElement();
    if (document.Error() || !root)
        return std::nullopt;

    std::vector<TemplateElement> elements;
    if (const TiXmlElement* container = root->FirstChildElement("templates")) {
        for (const TiXmlElement* node = container->FirstChildElement(); node;
             node = node->NextSiblingElement())
            elements.push_back(ReadTemplateElement(*node));
    }
    return elements;
}
