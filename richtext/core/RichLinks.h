#pragma once
#include <string>
#include <unordered_set>
#include <vector>

struct RichElement;

struct LinkRun {
    size_t begin = 0;
    size_t end = 0;  // one past the last character
};

// A space, a line break or a character above 127 ends a link; so does a picture.
bool EndsLink(wchar_t lowerCased);
bool EndsLink(const RichElement& element);

// One character per element of [first, last), a space for each picture, ASCII letters
// lower-cased.
std::wstring LinkScanText(const std::vector<RichElement*>& elements, size_t first, size_t last);

// Runs starting at "http://" or "www." up to a space, a line break, a character above
// 127 or the end. `text` is already lower-cased. A run never crosses a character that
// ends links, so each stretch between two of them holds at most one run: from its
// first "http://" or "www." to its end.
std::vector<LinkRun> FindLinkRuns(const std::wstring& text);

// The automatic links of a document, kept up to date across edits. An update compares
// the document with the one it scanned last and scans again only the stretch between
// the nearest link-ending elements around what changed: the runs elsewhere stand as
// they were. Edits replace elements and never change an element's character in place,
// so what kept its place kept its text.
class CAutoLinks {
public:
    // Links the runs of `elements`; masked text gets none.
    void Update(const std::vector<RichElement*>& elements, bool masked);
    // Drops every link it gave, then scans the whole document.
    void Rescan(const std::vector<RichElement*>& elements, bool masked);
    // The elements are about to be freed: forgets them without touching them.
    void Forget();

private:
    void Unlink(RichElement* element);
    void UnlinkAll();
    // Clears and links again the runs of [first, last), which starts and ends at a
    // stretch boundary.
    void Relink(const std::vector<RichElement*>& elements, size_t first, size_t last);
    void Remember(const std::vector<RichElement*>& elements);

    std::unordered_set<RichElement*> linked;
    // The document as last scanned; empty and invalid until the first scan.
    std::vector<RichElement*> scanned;
    bool scannedValid = false;
};
