#pragma once

#include <QRect>

class QPaintDevice;

// Layouts are given in twips (1/1440 inch); on screen they scale with the logical DPI.
[[nodiscard]] int twipsToPixels(int twips, int logicalDpi);
[[nodiscard]] QRect twipsToRect(const QPaintDevice &device, int left, int top, int width, int height);
