#pragma once

#include <QRect>

// Where a control given in twips stands on the offscreen platform, whose logical DPI is 96:
// 15 twips to a pixel.
[[nodiscard]] constexpr QRect twipsRect(int left, int top, int width, int height)
{
    return {left / 15, top / 15, width / 15, height / 15};
}
