#pragma once

#include "engine/reading/textrange.h"

#include <QList>
#include <QString>

// The text the engine is given once pronunciations have replaced some of its words, and the way
// back from a place in it to the written text, so that the reading is followed on what the user
// wrote. Without replacements it is the written text itself.
class SpokenText final
{
public:
    SpokenText() = default;
    explicit SpokenText(QString written) : m_text(std::move(written)) {}

    // Built from the written text in order: stretches kept as they are, and replacements.
    void appendUnchanged(QStringView written) { m_text += written; }
    void appendReplacement(QStringView spoken, qsizetype writtenStart, qsizetype writtenLength);

    [[nodiscard]] const QString &text() const { return m_text; }
    [[nodiscard]] bool hasReplacements() const { return !m_replacements.isEmpty(); }
    // The written characters a range of the spoken text stands for; a range touching a
    // replacement takes in the whole of what it replaced.
    [[nodiscard]] TextRange writtenRange(TextRange spoken) const;

private:
    struct Replacement
    {
        qsizetype spokenStart;
        qsizetype spokenEnd;
        qsizetype writtenStart;
        qsizetype writtenEnd;
    };
    [[nodiscard]] qsizetype writtenStart(qsizetype spoken) const;
    [[nodiscard]] qsizetype writtenEnd(qsizetype spoken) const;

    QString m_text;
    QList<Replacement> m_replacements; // in text order
};
