#pragma once
#include <vector>

// Where Tab (or Shift+Tab with `backward`) takes the focus among controls in visual
// order, of which only those marked in `focusable` can take it; the order wraps.
// `current` is the index of the control that has the focus, or -1 when none has it:
// Tab then goes to the first, Shift+Tab to the last. Returns -1 when no control can
// take the focus.
int NextFocusIndex(const std::vector<bool>& focusable, int current, bool backward);
