#pragma once
#include <optional>
#include <string>
#include <vector>

#include "TemplateList.h"

// The XML reading of a template list, a service of the platform (its XML DOM on Windows,
// where the calling thread needs COM). Every child element of the element "templates"
// below the document element, in document order, with its attributes and its text.
// Nothing when the text is not well-formed XML.
std::optional<std::vector<TemplateElement>> ParseTemplateElements(const std::wstring& text);
