#pragma once

#include <QString>

#include <utility>

// Why a document cannot be read, worded for the user.
class DocumentError final
{
public:
    explicit DocumentError(QString description) : m_description(std::move(description)) {}
    [[nodiscard]] const QString &description() const { return m_description; }

private:
    QString m_description;
};

// The user stopped the load; nothing is to be shown.
struct DocumentLoadCancelled final
{
};
