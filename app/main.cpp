#include "program.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Parlora"));
    QApplication::setApplicationVersion(QStringLiteral(PARLORA_VERSION));
    QApplication::setDesktopFileName(QStringLiteral("org.parlora.Parlora"));

    Program program;
    program.start();
    return QApplication::exec();
}
