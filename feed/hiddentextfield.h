#pragma once

#include <QString>

#include <utility>

// A field the window keeps out of sight: it only holds text. Not a widget, because the item
// store grows by one block per added item and a hidden text box would lay out its whole text on
// every append.
class HiddenTextField final
{
public:
    HiddenTextField() = default;
    explicit HiddenTextField(QString text) : m_text(std::move(text)) {}

    [[nodiscard]] const QString &text() const { return m_text; }
    // QString grows its capacity geometrically, so many appends stay linear in the total length.
    void append(QStringView text) { m_text += text; }

private:
    QString m_text;
};
