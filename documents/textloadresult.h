#pragma once

#include <QString>

#include <utility>

// What loading a text file gives: the text to append, or a description of why there is none.
// Never both, so a failed load cannot put part of a file into the text box.
class TextLoadResult final
{
public:
    [[nodiscard]] static TextLoadResult success(QString text) { return {true, std::move(text), {}}; }
    [[nodiscard]] static TextLoadResult failure(QString description)
    {
        return {false, {}, std::move(description)};
    }

    [[nodiscard]] bool isSuccess() const { return m_succeeded; }
    // Empty after a failure.
    [[nodiscard]] const QString &text() const { return m_text; }
    // Names the file and says what went wrong; empty after a success.
    [[nodiscard]] const QString &errorDescription() const { return m_errorDescription; }

private:
    TextLoadResult(bool succeeded, QString text, QString errorDescription)
        : m_succeeded(succeeded), m_text(std::move(text)), m_errorDescription(std::move(errorDescription))
    {}

    bool m_succeeded;
    QString m_text;
    QString m_errorDescription;
};
