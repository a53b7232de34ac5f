#pragma once
#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

// The HTML-lite mark-up that rich text travels in: a flat run of text with font, a, img
// and br tags. The parser yields content objects in document order and the tags that
// enclose ranges of them; the importer gives the tags their meaning.

class CHtmlObject {
public:
    virtual ~CHtmlObject() = default;
    virtual const wchar_t* GetTypeName() const = 0;
};

// One run of text with its style; the parser fills only the text.
class CHtmlText : public CHtmlObject {
public:
    const wchar_t* GetTypeName() const override { return L"HtmlText"; }

    const std::wstring& GetText() const { return text; }
    void SetText(const std::wstring& value) { text = value; }
    std::uint32_t GetColour() const { return colour; }
    void SetColour(std::uint32_t value) { colour = value; }
    // 0 means no background, otherwise 0xFF000000 combined with the colour.
    std::uint32_t GetBackground() const { return background; }
    void SetBackground(std::uint32_t value) { background = value; }
    int GetUnderline() const { return underline; }
    void SetUnderline(int value) { underline = value; }
    int GetBold() const { return bold; }
    void SetBold(int value) { bold = value; }
    int GetStrikeout() const { return strikeout; }
    void SetStrikeout(int value) { strikeout = value; }
    int GetItalic() const { return italic; }
    void SetItalic(int value) { italic = value; }
    // Tenths of a point.
    int GetSize() const { return size; }
    void SetSize(int value) { size = value; }
    const std::wstring& GetFace() const { return face; }
    void SetFace(const std::wstring& value) { face = value; }
    const std::wstring& GetLink() const { return link; }
    void SetLink(const std::wstring& value) { link = value; }

private:
    std::wstring text;
    std::uint32_t colour = 0;
    std::uint32_t background = 0;
    int underline = 0;
    int bold = 0;
    int strikeout = 0;
    int italic = 0;
    int size = 90;
    std::wstring face;
    std::wstring link;
};

class CHtmlImage : public CHtmlObject {
public:
    const wchar_t* GetTypeName() const override { return L"HtmlImage"; }

    const std::wstring& GetSource() const { return source; }
    void SetSource(const std::wstring& value) { source = value; }
    const std::wstring& GetLink() const { return link; }
    void SetLink(const std::wstring& value) { link = value; }
    int GetWidth() const { return width; }
    void SetWidth(int value) { width = value; }
    int GetHeight() const { return height; }
    void SetHeight(int value) { height = value; }

private:
    std::wstring source;
    std::wstring link;
    int width = 0;
    int height = 0;
};

// Part of the object model for links; the parser never creates one.
class CHtmlLink : public CHtmlObject {
public:
    const wchar_t* GetTypeName() const override { return L"HtmlLink"; }

    const std::wstring& GetTarget() const { return target; }
    void SetTarget(const std::wstring& value) { target = value; }

private:
    std::wstring target;
};

class CHtmlTag : public CHtmlObject {
public:
    static constexpr int MaxAttributes = 20;

    const wchar_t* GetTypeName() const override { return L"HtmlTag"; }

    bool HasName(const std::wstring& value) const { return name == value; }
    // The value of the first attribute slot with this exact name, or null.
    const std::wstring* GetAttribute(const std::wstring& attributeName) const;

    const std::wstring& GetName() const { return name; }
    // The tag encloses the objects with start <= index < end; -1 until set.
    int start = -1;
    int end = -1;
    bool selfClosing = false;

private:
    friend class CHtmlParser;
    std::wstring name;
    std::array<std::wstring, MaxAttributes> values;
    std::array<std::wstring, MaxAttributes> names;
    int attributeCount = 0;
};

class CHtmlParser : public CHtmlObject {
public:
    const wchar_t* GetTypeName() const override { return L"HtmlParser"; }

    // Replaces the result of any earlier parse. False, with nothing produced, for an
    // empty text.
    bool Parse(const std::wstring& text);

    const std::vector<std::unique_ptr<CHtmlObject>>& GetObjects() const { return objects; }
    // Tags in the order they were closed; tags still open at the end are left out.
    const std::vector<std::unique_ptr<CHtmlTag>>& GetTags() const { return closedTags; }

    // The text of every text object, with "[图片]" for each image.
    std::wstring GetPlainText() const;

    static bool IsText(const CHtmlObject& object);
    static bool IsImage(const CHtmlObject& object);

private:
    struct TagSpan {
        size_t open = 0;       // the '<'
        size_t close = 0;      // the first '>' after it
        size_t nameBegin = 0;
        size_t nameEnd = 0;
        bool closing = false;
    };

    bool ScanTag(size_t open, TagSpan& span) const;
    bool IsRecognisedName(size_t begin, size_t end) const;
    std::unique_ptr<CHtmlTag> ReadOpeningTag(const TagSpan& span) const;
    void OpenTag(std::unique_ptr<CHtmlTag> tag);
    void CloseTag(const std::wstring& name);
    void AddText(size_t begin, size_t end);

    std::vector<std::unique_ptr<CHtmlObject>> objects;
    std::vector<std::unique_ptr<CHtmlTag>> closedTags;
    std::vector<std::unique_ptr<CHtmlTag>> openTags;
    std::wstring input;
    const std::wstring recognisedTags = L"|<font|<img|<a|<br|";
};

// Leading decimal digits as a number, 0 without any; saturates instead of overflowing.
int ParseLeadingDecimal(const std::wstring& text);
