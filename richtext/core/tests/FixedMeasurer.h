#pragma once
#include <map>
#include <memory>

#include "RichModel.h"
#include "RichStyle.h"

// Every character 6 by 12 pixels unless the table says otherwise; line breaks measure
// like any character (layout gives them width 0).
class FixedMeasurer : public IRichMeasurer {
public:
    std::map<wchar_t, SIZE> sizes;
    int selections = 0;

    void SelectFont(const SharedString&, int, int, int, int, int) override { ++selections; }
    SIZE MeasureCharacter(wchar_t character) override
    {
        auto found = sizes.find(character);
        return found != sizes.end() ? found->second : SIZE{6, 12};
    }
    void DropCachedFont() override {}
    int DefaultLineHeight() const override { return 12; }
    int WidestCharacter() const override { return 12; }
};

// A model with fixed widths and, optionally, a pretend window, so that the caret's
// scrolling can be checked without GDI.
class TestModel : public CRichModel {
public:
    explicit TestModel(bool withWindow = false)
        : CRichModel(std::make_unique<FixedMeasurer>()), withWindow(withWindow)
    {
    }
    FixedMeasurer& Fixed() { return static_cast<FixedMeasurer&>(Measurer()); }

    POINT caretWindow{};
    int caretMoves = 0;

protected:
    bool HasWindow() const override { return withWindow; }
    void MoveCaret(int x, int y, int height) override
    {
        caretWindow = {x, y};
        ++caretMoves;
    }

private:
    bool withWindow;
};

inline std::wstring Characters(const CRichModel& model)
{
    std::wstring text;
    for (const RichElement* element : model.Elements()) {
        if (element->IsCharacter())
            text += element->character;
    }
    return text;
}

// The default face and nothing else.
inline RichStyle PlainStyle()
{
    RichStyle style;
    style.face = DefaultFace();
    return style;
}

// The link of an element; empty without one.
inline std::wstring LinkAt(const CRichModel& model, int index)
{
    const SharedString& link = model.Elements()[static_cast<size_t>(index)]->link;
    return link ? *link : L"";
}
