#pragma once

#include <QString>

#include <utility>

// A field the window keeps out of sight: it only holds text, so it is no widget.
class HiddenTextField final
{
public:
    HiddenTextField() = default;
    explicit HiddenTextField(QString text) : m_text(std::move(text)) {}

    [[nodiscard]] const QString &text() const { return m_text; }

private:
    QString m_text;
};
