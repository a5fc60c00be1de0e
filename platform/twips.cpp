#include "platform/twips.h"

#include <QPaintDevice>

int twipsToPixels(int twips, int logicalDpi)
{
    return twips * logicalDpi / 1440;
}

QRect twipsToRect(const QPaintDevice &device, int left, int top, int width, int height)
{
    const int dpiX = device.logicalDpiX();
    const int dpiY = device.logicalDpiY();
    return {twipsToPixels(left, dpiX), twipsToPixels(top, dpiY), twipsToPixels(width, dpiX),
            twipsToPixels(height, dpiY)};
}
