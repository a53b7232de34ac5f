#include "RichListNumbers.h"

#include "RichElement.h"

namespace {

bool IsDigit(const RichElement* element)
{
    return element->IsCharacter() && element->character >= L'0' && element->character <= L'9';
}

}  // namespace

std::vector<int> LineStarts(const std::vector<RichElement*>& elements)
{
    std::vector<int> starts;
    if (!elements.empty())
        starts.push_back(0);
    for (int start = NextLineStart(elements, 0); start >= 0; start = NextLineStart(elements, start))
        starts.push_back(start);
    return starts;
}

int NextLineStart(const std::vector<RichElement*>& elements, int index)
{
    int count = static_cast<int>(elements.size());
    for (int i = index; i + 1 < count; ++i) {
        if (elements[i]->Is(L'\n'))
            return i + 1;
    }
    return -1;
}

int ReadLineNumber(const std::vector<RichElement*>& elements, int start, int maxDigits,
                   int* value)
{
    int count = static_cast<int>(elements.size());
    int digits = 0;
    int number = 0;
    while (start + digits < count && IsDigit(elements[start + digits])) {
        if (++digits > maxDigits)
            return 0;
        number = number * 10 + (elements[start + digits - 1]->character - L'0');
    }
    if (digits == 0 || start + digits >= count || !elements[start + digits]->Is(L'.'))
        return 0;
    *value = number;
    return digits;
}

int ListNumberBeforeIndex(const std::vector<RichElement*>& elements, int caret)
{
    if (caret < 2 || caret > static_cast<int>(elements.size()) || !elements[caret - 1]->Is(L'.'))
        return 0;
    int digits = 0;
    int i = caret - 2;
    while (i >= 0 && IsDigit(elements[i]) && digits < 4) {
        ++digits;
        --i;
    }
    if (digits == 0 || digits > 3 || i < 0 || !elements[i]->Is(L'\n'))
        return 0;
    return digits;
}
