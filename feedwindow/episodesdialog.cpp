#include "feedwindow/episodesdialog.h"

#include "feed/itemstore.h"
#include "feedwindow/episodeeditdialog.h"
#include "platform/applicationtitle.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace {

[[nodiscard]] QStringList columnsOf(const FeedItem &item)
{
    return {item.title, item.date, item.duration, item.enclosureUrl};
}

} // namespace

EpisodesDialog::EpisodesDialog(ItemStore &items, QWidget *parent) : QDialog(parent), m_items(items)
{
    setWindowTitle(applicationTitle());
    resize(720, 420);
    auto *layout = new QVBoxLayout(this);
    List = new QTreeWidget(this);
    List->setAccessibleName(QStringLiteral("Episodes"));
    List->setRootIsDecorated(false);
    List->setUniformRowHeights(true);
    List->setHeaderLabels({QStringLiteral("Title"), QStringLiteral("Date"), QStringLiteral("Duration"),
                           QStringLiteral("Sound file")});
    List->installEventFilter(this);
    layout->addWidget(List);

    auto *buttons = new QHBoxLayout;
    const auto button = [this, buttons](const QString &caption, const QString &name) {
        auto *control = new QPushButton(caption, this);
        control->setAccessibleName(name);
        // Enter in the list edits; no button takes it over.
        control->setAutoDefault(false);
        buttons->addWidget(control);
        return control;
    };
    editButton = button(QStringLiteral("&Edit..."), QStringLiteral("Edit..."));
    deleteButton = button(QStringLiteral("&Delete"), QStringLiteral("Delete"));
    moveUpButton = button(QStringLiteral("Move &up"), QStringLiteral("Move up"));
    moveDownButton = button(QStringLiteral("Move d&own"), QStringLiteral("Move down"));
    buttons->addStretch();
    QPushButton *close = button(QStringLiteral("Close"), QStringLiteral("Close"));
    layout->addLayout(buttons);

    connect(editButton, &QPushButton::clicked, this, &EpisodesDialog::editEpisode);
    connect(deleteButton, &QPushButton::clicked, this, &EpisodesDialog::deleteEpisode);
    connect(moveUpButton, &QPushButton::clicked, this, &EpisodesDialog::moveUp);
    connect(moveDownButton, &QPushButton::clicked, this, &EpisodesDialog::moveDown);
    connect(close, &QPushButton::clicked, this, &EpisodesDialog::accept);
    connect(List, &QTreeWidget::currentItemChanged, this, &EpisodesDialog::updateButtons);
    connect(List, &QTreeWidget::itemDoubleClicked, this, &EpisodesDialog::editEpisode);

    fill();
    select(0);
    List->setFocus();
}

void EpisodesDialog::fill()
{
    QList<QTreeWidgetItem *> rows;
    rows.reserve(m_items.size());
    for (qsizetype i = 0; i < m_items.size(); ++i)
        rows.append(new QTreeWidgetItem(columnsOf(m_items.item(i))));
    List->addTopLevelItems(rows);
    List->header()->resizeSection(0, 260);
    updateButtons();
}

void EpisodesDialog::showRow(int row)
{
    const QStringList columns = columnsOf(m_items.item(row));
    QTreeWidgetItem *shown = List->topLevelItem(row);
    for (int column = 0; column < columns.size(); ++column)
        shown->setText(column, columns.at(column));
}

int EpisodesDialog::currentRow() const
{
    return List->currentItem() ? List->indexOfTopLevelItem(List->currentItem()) : -1;
}

void EpisodesDialog::select(int row)
{
    if (row >= 0 && row < List->topLevelItemCount())
        List->setCurrentItem(List->topLevelItem(row));
    updateButtons();
}

void EpisodesDialog::updateButtons()
{
    const int row = currentRow();
    editButton->setEnabled(row >= 0);
    deleteButton->setEnabled(row >= 0);
    moveUpButton->setEnabled(row > 0);
    moveDownButton->setEnabled(row >= 0 && row + 1 < List->topLevelItemCount());
}

void EpisodesDialog::editEpisode()
{
    const int row = currentRow();
    if (row < 0)
        return;
    auto *dialog = new EpisodeEditDialog(m_items.item(row), this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::accepted, this, [this, dialog, row] {
        const FeedItem item = dialog->item();
        if (item == m_items.item(row))
            return;
        m_items.replace(row, item);
        showRow(row);
        Q_EMIT episodesChanged();
    });
    dialog->open();
}

void EpisodesDialog::deleteEpisode()
{
    const int row = currentRow();
    if (row < 0)
        return;
    m_items.remove(row);
    delete List->takeTopLevelItem(row);
    select(std::min(row, List->topLevelItemCount() - 1));
    Q_EMIT episodesChanged();
}

void EpisodesDialog::moveUp()
{
    moveBy(-1);
}

void EpisodesDialog::moveDown()
{
    moveBy(1);
}

void EpisodesDialog::moveBy(int offset)
{
    const int row = currentRow();
    const int target = row + offset;
    if (row < 0 || target < 0 || target >= List->topLevelItemCount())
        return;
    m_items.move(row, target);
    List->insertTopLevelItem(target, List->takeTopLevelItem(row));
    select(target);
    Q_EMIT episodesChanged();
}

bool EpisodesDialog::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == List && event->type() == QEvent::KeyPress) {
        const auto *key = static_cast<QKeyEvent *>(event);
        const bool control = key->modifiers() & Qt::ControlModifier;
        switch (key->key()) {
        case Qt::Key_Return:
        case Qt::Key_Enter:
            editEpisode();
            return true;
        case Qt::Key_Delete:
            deleteEpisode();
            return true;
        case Qt::Key_Up:
        case Qt::Key_Down:
            // Ctrl with an arrow carries the episode along.
            if (control) {
                moveBy(key->key() == Qt::Key_Up ? -1 : 1);
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
