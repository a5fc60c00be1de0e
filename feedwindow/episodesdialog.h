#pragma once

#include <QDialog>

class ItemStore;
class QPushButton;
class QTreeWidget;

// Every episode of the feed in a list, to edit, delete and reorder. Changes go straight into
// the item store; the window learns of them through episodesChanged.
class EpisodesDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EpisodesDialog)

public:
    EpisodesDialog(ItemStore &items, QWidget *parent);

    QTreeWidget *List = nullptr;
    QPushButton *editButton = nullptr;
    QPushButton *deleteButton = nullptr;
    QPushButton *moveUpButton = nullptr;
    QPushButton *moveDownButton = nullptr;

    // Opens the edit dialog on the selected episode; OK there changes it.
    void editEpisode();
    void deleteEpisode();
    void moveUp();
    void moveDown();

Q_SIGNALS:
    void episodesChanged();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void fill();
    void showRow(int row);
    void select(int row);
    void moveBy(int offset);
    void updateButtons();
    [[nodiscard]] int currentRow() const;

    ItemStore &m_items;
};
