#include "platform/windowlook.h"

#include "platform/applicationtitle.h"
#include "platform/twips.h"

#include <QIcon>
#include <QMainWindow>
#include <QMenuBar>

void setUpFixedWindow(QMainWindow *window)
{
    window->setWindowTitle(applicationTitle());
    window->setWindowIcon(QIcon(QStringLiteral(":/icons/parlora-16.png")));
    // The layouts were drawn for small 8-point system fonts; the desktop's larger default would
    // cut the labels short.
    QFont windowFont = window->font();
    windowFont.setPointSizeF(8.25);
    window->setFont(windowFont);
    window->setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint);
}

void fixClientSize(QMainWindow *window, int widthTwips, int heightTwips)
{
    const QSize client = twipsToRect(*window, 0, 0, widthTwips, heightTwips).size();
    window->centralWidget()->setFixedSize(client);
    window->setFixedSize(client.width(), client.height() + window->menuBar()->sizeHint().height());
}

QFont fontOf(const QString &family, qreal pointSize, bool underline)
{
    QFont font(family);
    font.setPointSizeF(pointSize);
    font.setUnderline(underline);
    return font;
}

void setColors(QWidget *widget, QPalette::ColorRole background, const QColor &backgroundColor,
               QPalette::ColorRole foreground, const QColor &foregroundColor)
{
    QPalette palette = widget->palette();
    palette.setColor(background, backgroundColor);
    palette.setColor(foreground, foregroundColor);
    widget->setPalette(palette);
}
