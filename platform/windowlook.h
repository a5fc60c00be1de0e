#pragma once

#include <QColor>
#include <QFont>
#include <QPalette>

class QMainWindow;
class QWidget;

// What both windows share in their look: a fixed frame sized from twips, the program's caption
// and icon, small system fonts, and control colours.

// Caption, icon, window font and a fixed frame without a maximize button.
void setUpFixedWindow(QMainWindow *window);
// Gives the window a client area of the given twips below its menu bar, and fixes its size.
void fixClientSize(QMainWindow *window, int widthTwips, int heightTwips);

[[nodiscard]] QFont fontOf(const QString &family, qreal pointSize, bool underline = false);
void setColors(QWidget *widget, QPalette::ColorRole background, const QColor &backgroundColor,
               QPalette::ColorRole foreground, const QColor &foregroundColor);
