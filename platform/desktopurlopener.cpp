#include "platform/desktopurlopener.h"

#include <QDesktopServices>

void DesktopUrlOpener::openUrl(const QUrl &url)
{
    // Any complaint about a missing browser comes from the desktop, not from us.
    QDesktopServices::openUrl(url);
}
