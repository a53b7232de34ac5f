#include <cstring>

#include "RichDraw.h"
#include "RichHtmlImport.h"

namespace {

// The clipboard, open for the lifetime of the object.
class OpenClipboardScope {
public:
    explicit OpenClipboardScope(HWND owner) : open(::OpenClipboard(owner) != FALSE) {}
    ~OpenClipboardScope()
    {
        if (open)
            ::CloseClipboard();
    }
    OpenClipboardScope(const OpenClipboardScope&) = delete;
    OpenClipboardScope& operator=(const OpenClipboardScope&) = delete;
    bool IsOpen() const { return open; }

private:
    bool open;
};

// Hands a zero-terminated UTF-16 copy of `text` to the open clipboard.
bool PutText(UINT format, const std::wstring& text)
{
    size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    HGLOBAL memory = ::GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (!memory)
        return false;
    void* target = ::GlobalLock(memory);
    if (!target) {
        ::GlobalFree(memory);
        return false;
    }
    std::memcpy(target, text.c_str(), bytes);
    ::GlobalUnlock(memory);
    if (!::SetClipboardData(format, memory)) {
        ::GlobalFree(memory);
        return false;
    }
    return true;
}

// The text of a format on the open clipboard, up to its first zero; false when it is
// missing or unreadable.
bool ReadText(UINT format, std::wstring* text)
{
    HANDLE data = ::GetClipboardData(format);
    if (!data)
        return false;
    const auto* characters = static_cast<const wchar_t*>(::GlobalLock(data));
    if (!characters)
        return false;
    size_t limit = ::GlobalSize(data) / sizeof(wchar_t);
    size_t length = 0;
    while (length < limit && characters[length])
        ++length;
    text->assign(characters, length);
    ::GlobalUnlock(data);
    return true;
}

}  // namespace

bool CRichDraw::IsClipboardEmpty()
{
    return !::IsClipboardFormatAvailable(CF_UNICODETEXT) &&
           !::IsClipboardFormatAvailable(MarkupClipboardFormat);
}

void CRichDraw::Copy()
{
    // Masked text is a password: it never leaves the field.
    if (!Active() || MaskChar())
        return;
    lastCopy = SelectedPlainText();
    {
        OpenClipboardScope clipboard(window);
        if (!clipboard.IsOpen())
            return;
        ::EmptyClipboard();
        PutText(CF_UNICODETEXT, lastCopy);
    }
    std::wstring markup = ExportSelectionHtml();
    if (markup.empty())
        return;
    OpenClipboardScope clipboard(window);
    if (clipboard.IsOpen())
        PutText(MarkupClipboardFormat, markup);
}

void CRichDraw::Paste()
{
    if (!Editable())
        return;
    std::wstring text;
    std::wstring markup;
    bool hasText = false;
    bool hasMarkup = false;
    {
        OpenClipboardScope clipboard(window);
        if (!clipboard.IsOpen())
            return;
        hasText = ::IsClipboardFormatAvailable(CF_UNICODETEXT) && ReadText(CF_UNICODETEXT, &text);
        hasMarkup = ::IsClipboardFormatAvailable(MarkupClipboardFormat) &&
                    ReadText(MarkupClipboardFormat, &markup);
    }
    if (hasText) {
        if (HasSelection())
            DeleteSelection();
        // The styled version only when it brings back exactly this text: mark-up is not
        // escaped, so text such as "<font" would not survive it.
        if (!(text == lastCopy && hasMarkup && MarkupPlainText(markup) == text)) {
            RichStyle style = TypingStyle();
            InsertText(text, caretIndex, style);
            NotifyChanged();
            return;
        }
    }
    if (hasMarkup)
        PasteMarkup(markup);
}

void CRichDraw::PasteMarkup(const std::wstring& markup)
{
    if (HasSelection())
        DeleteSelection();
    InsertHtml(markup, caretIndex);
    SetCaretIndex(caretIndex, false);
}
