#include "speechwindow/voicetablecontrols.h"

#include <QHeaderView>
#include <QPushButton>
#include <QStringList>
#include <QTableWidget>
#include <QTableWidgetItem>

namespace VoiceTableControls {

QPushButton *button(const QString &caption, const QString &name, QWidget *parent)
{
    auto *pushButton = new QPushButton(caption, parent);
    pushButton->setAccessibleName(name);
    pushButton->setAutoDefault(false);
    return pushButton;
}

QTableWidget *table(const QString &name, const QStringList &headers, QWidget *parent)
{
    auto *table = new QTableWidget(0, int(headers.size()), parent);
    table->setAccessibleName(name);
    table->setHorizontalHeaderLabels(headers);
    table->horizontalHeader()->setSectionResizeMode(QHeaderView::ResizeToContents);
    table->horizontalHeader()->setStretchLastSection(true);
    table->verticalHeader()->hide();
    table->setSelectionBehavior(QAbstractItemView::SelectRows);
    table->setSelectionMode(QAbstractItemView::SingleSelection);
    table->setTabKeyNavigation(false);
    return table;
}

QTableWidgetItem *cell(const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

} // namespace VoiceTableControls
