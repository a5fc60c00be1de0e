#include "speechwindow/voicetablecontrols.h"

#include <QPushButton>
#include <QTableWidgetItem>

namespace VoiceTableControls {

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *pushButton = new QPushButton(caption, parent);
    pushButton->setAccessibleName(name);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace VoiceTableControls
