#include "engine/client/spobjecttokens.h"

#include "engine/client/speecherror.h"

SpObjectTokens::SpObjectTokens(QList<SpObjectToken> tokens, QString query)
    : m_tokens(std::move(tokens)), m_query(std::move(query))
{}

const SpObjectToken &SpObjectTokens::Item(qsizetype index) const
{
    if (index >= 0 && index < m_tokens.size())
        return m_tokens.at(index);
    static const QString namePrefix = QStringLiteral("Name=");
    if (m_query.startsWith(namePrefix) && !m_query.contains(u';'))
        throw SpeechError(
            QStringLiteral("No installed voice is named \"%1\".").arg(m_query.mid(namePrefix.size())));
    if (m_tokens.isEmpty())
        throw SpeechError(m_query.isEmpty()
                              ? QStringLiteral("No speech voice is installed.")
                              : QStringLiteral("No installed voice matches \"%1\".").arg(m_query));
    throw SpeechError(QStringLiteral("There is no voice at position %1.").arg(index));
}
