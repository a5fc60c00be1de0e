#include "app/program.h"
#include "app/systemservices.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setOrganizationName(QStringLiteral("Parlora"));
    QApplication::setApplicationName(QStringLiteral("Parlora"));
    QApplication::setApplicationVersion(QStringLiteral(PARLORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.parlora.Parlora"));

    SystemServices systemServices;
    Program program(systemServices.services());
    program.start();
    return QApplication::exec();
}
