#pragma once

#include "listening/pronunciation.h"
#include "listening/spokentext.h"

#include <QList>
#include <QRegularExpression>
#include <QStringList>

// The entries of a pronunciation list that apply to a voice, ready to turn written text into
// what the engine is given. Entries match whole words; where two would match overlapping text,
// the one that starts first wins, and at the same place the one earlier in the list.
class PronunciationRules final
{
public:
    PronunciationRules() = default;
    // voiceLanguages: the voice's languages ("en-us", "en"); entries unusable for a voice are left out.
    PronunciationRules(const QList<Pronunciation> &entries, const QStringList &voiceLanguages);

    [[nodiscard]] bool isEmpty() const { return m_rules.isEmpty(); }
    [[nodiscard]] SpokenText apply(const QString &written) const;

private:
    struct Rule
    {
        QRegularExpression expression;
        QString spoken;
        bool withGroups = false; // spoken names capture groups
    };
    QList<Rule> m_rules;
};
