#include "platform/qtmessagebox.h"

#include "platform/applicationtitle.h"

#include <QMessageBox>

void QtMessageBox::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}
