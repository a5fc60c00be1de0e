#pragma once

#include <QString>

class QPushButton;
class QTableWidgetItem;
class QWidget;

// What the voice manager's two dialogs build their rows and buttons from.
namespace VoiceTableControls {

// A button named for screen readers that Enter in the table does not press.
[[nodiscard]] QPushButton *button(const QString &caption, const QString &name, QWidget *parent);
// A cell that can be selected but not edited.
[[nodiscard]] QTableWidgetItem *cell(const QString &text);

} // namespace VoiceTableControls
