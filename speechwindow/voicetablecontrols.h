#pragma once

#include <QString>
#include <QStringList>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

// What the voice manager's two dialogs build their rows and buttons from.
namespace VoiceTableControls {

// A button named for screen readers that Enter in the table does not press.
[[nodiscard]] QPushButton *button(const QString &caption, const QString &name, QWidget *parent);
// A table of whole rows, one selected at a time, its last column stretched; Tab leaves it.
[[nodiscard]] QTableWidget *table(const QString &name, const QStringList &headers, QWidget *parent);
// A cell that can be selected but not edited.
[[nodiscard]] QTableWidgetItem *cell(const QString &text);

} // namespace VoiceTableControls
