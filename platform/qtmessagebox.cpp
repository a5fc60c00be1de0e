#include "platform/qtmessagebox.h"

#include "platform/applicationtitle.h"

#include <QMessageBox>

void QtMessageBox::showMessage(QWidget *parent, const QString &text)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), text, QMessageBox::Ok, parent);
    box.exec();
}

SaveAnswer QtMessageBox::askToSave(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), question,
                    QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    box.setEscapeButton(QMessageBox::Cancel);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveAnswer::Save;
    case QMessageBox::Discard:
        return SaveAnswer::Discard;
    default:
        return SaveAnswer::Cancel;
    }
}

bool QtMessageBox::confirm(QWidget *parent, const QString &question)
{
    QMessageBox box(QMessageBox::NoIcon, applicationTitle(), question, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::No);
    box.setEscapeButton(QMessageBox::No);
    return box.exec() == QMessageBox::Yes;
}
