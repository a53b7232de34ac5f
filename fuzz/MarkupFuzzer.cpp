// HTML-lite mark-up as it arrives from the clipboard, given here in UTF-8: through the
// parser, the import into a document, and the export back out.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Encoding.h"
#include "FixedMeasurer.h"
#include "FuzzCheck.h"
#include "HtmlParser.h"
#include "RichHtmlImport.h"

namespace {

void CheckParsedRanges(const std::wstring& markup)
{
    CHtmlParser parser;
    parser.Parse(markup);
    const int objectCount = static_cast<int>(parser.GetObjects().size());
    for (const auto& tag : parser.GetTags()) {
        const bool enclosesNothing = tag->start == -1 && tag->end == -1;
        Require(enclosesNothing || (0 <= tag->start && tag->start <= tag->end && tag->end <= objectCount),
                "a closed tag encloses a range of the parsed objects");
    }
    parser.GetPlainText();
}

// The plain text that the document's export imports as. The export writes every line
// feed as <br>, which comes back as CR LF: a line feed without a carriage return right
// before it returns with one, the same line break.
std::wstring TextAfterRoundTrip(const CRichModel& model)
{
    std::wstring text;
    const RichElement* previous = nullptr;
    for (const RichElement* element : model.Elements()) {
        if (element->Is(L'\n') && !(previous && previous->Is(L'\r')))
            text += L'\r';
        if (element->IsCharacter())
            text += element->character;
        previous = element;
    }
    return text;
}

// A fresh document with the mark-up imported.
std::unique_ptr<TestModel> Imported(const std::wstring& markup)
{
    auto model = std::make_unique<TestModel>();
    model->SetRect(0, 0, 200, 100);
    model->SetHtml(markup);
    return model;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* bytes, size_t size)
{
    const std::wstring markup =
        DecodeUtf8(std::string(reinterpret_cast<const char*>(bytes), size));
    CheckParsedRanges(markup);

    const auto model = Imported(markup);
    Require(model->PlainText() == MarkupPlainText(markup),
            "importing gives the text that MarkupPlainText predicts");

    const std::wstring exported = model->ExportHtml();
    // Text is written without escaping, so only text without '<' is sure to come back;
    // and without any character the export can be a closing font tag alone, which
    // imports as its own text. The clipboard and the edit control check with
    // MarkupPlainText before they import.
    const std::wstring text = model->PlainText();
    if (text.empty() || text.find(L'<') != std::wstring::npos)
        return 0;
    const auto again = Imported(exported);
    Require(again->PlainText() == TextAfterRoundTrip(*model),
            "export then import keeps the plain text");
    // A picture without a path is not exported at all.
    for (const RichElement* element : model->Elements()) {
        if (element->IsImage() && element->imagePath.empty())
            return 0;
    }
    Require(again->ExportHtml() == exported, "export then import keeps styles, links and pictures");
    return 0;
}
