#include "RichStyle.h"

int FontHeightForSize(int size, int dpi)
{
    int points = size / -10;
    return static_cast<int>(points * static_cast<double>(dpi) / 72.0 - 0.5);
}
