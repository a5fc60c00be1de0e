#include "app/program.h"
#include "app/systemservices.h"
#include "engine/reading/audiooutput.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    int status = 0;
    {
        QApplication application(argc, argv);
        QApplication::setOrganizationName(QStringLiteral("Parlora"));
        QApplication::setApplicationName(QStringLiteral("Parlora"));
        QApplication::setApplicationVersion(QStringLiteral(PARLORA_VERSION));
        QApplication::setDesktopFileName(QStringLiteral("org.parlora.Parlora"));

        SystemServices systemServices;
        Program program(systemServices.services());
        program.start();
        status = QApplication::exec();
    }
    AudioOutput::exitProcess(status);
}
