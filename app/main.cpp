#include "desktopurlopener.h"
#include "formwav.h"
#include "helperspeechengine.h"
#include "qtfiledialogs.h"
#include "qtmessagebox.h"
#include "systemclock.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlora"));
    QApplication::setApplicationVersion(QStringLiteral(PARLORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.parlora.Parlora"));

    HelperSpeechEngine speechEngine;
    QtMessageBox messageBox;
    QtFileDialogs fileDialogs;
    DesktopUrlOpener urlOpener;
    SystemClock clock;
    const PlatformServices services{speechEngine, messageBox, fileDialogs, urlOpener, clock};

    FormWav speechWindow(services);
    speechWindow.showCentered();
    return QApplication::exec();
}
