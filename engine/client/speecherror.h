#pragma once

#include <QByteArray>
#include <QString>

#include <exception>

// A failure of the speech engine layer, carrying the description the user is shown.
class SpeechError final : public std::exception
{
public:
    explicit SpeechError(QString description)
        : m_description(std::move(description)), m_utf8(m_description.toUtf8())
    {}

    [[nodiscard]] const QString &description() const { return m_description; }
    [[nodiscard]] const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_description;
    QByteArray m_utf8;
};

// The user cancelled an operation; there is nothing to report.
class SpeechCancelled final : public std::exception
{
public:
    [[nodiscard]] const char *what() const noexcept override { return "cancelled"; }
};
