#include "FocusOrder.h"

int NextFocusIndex(const std::vector<bool>& focusable, int current, bool backward)
{
    const int count = static_cast<int>(focusable.size());
    if (count == 0)
        return -1;
    const int step = backward ? count - 1 : 1;
    // From "none", the first step lands on the first (or, backward, the last) control.
    int index = current >= 0 && current < count ? current : (backward ? 0 : count - 1);
    for (int tried = 0; tried < count; ++tried) {
        index = (index + step) % count;
        if (focusable[index])
            return index;
    }
    return -1;
}
