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

// What one model exports, imported into a fresh one.
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
    const auto again = Imported(exported);
    // Text is written without escaping, so only text without '<' is sure to come back.
    if (model->PlainText().find(L'<') != std::wstring::npos)
        return 0;
    Require(again->PlainText() == model->PlainText(), "export then import keeps the plain text");
    Require(again->ExportHtml() == exported, "export then import keeps styles, links and pictures");
    return 0;
}
