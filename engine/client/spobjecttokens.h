#pragma once

#include "engine/client/spobjecttoken.h"

#include <QList>

// The result of a voice query, in the engine's order.
class SpObjectTokens final
{
public:
    SpObjectTokens() = default;
    SpObjectTokens(QList<SpObjectToken> tokens, QString query);

    [[nodiscard]] qsizetype Count() const { return m_tokens.size(); }
    // Throws SpeechError naming the query when there is no such token.
    [[nodiscard]] const SpObjectToken &Item(qsizetype index) const;

    [[nodiscard]] auto begin() const { return m_tokens.cbegin(); }
    [[nodiscard]] auto end() const { return m_tokens.cend(); }

private:
    QList<SpObjectToken> m_tokens;
    QString m_query;
};
