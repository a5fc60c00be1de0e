#include "engine/client/passagetally.h"

bool PassageTally::record(const Passage &passage, bool spoken)
{
    if (spoken) {
        m_failuresInARow = 0;
        return true;
    }
    m_outcome.skippedPassages.append({passage.opening(), passage.line});
    if (++m_failuresInARow < FailedPassagesThatEndIt)
        return true;
    setFailure(engineStoppedMessage());
    return false;
}

void PassageTally::setFailure(const QString &description)
{
    if (m_outcome.failure.isEmpty())
        m_outcome.failure = description.isEmpty() ? engineStoppedMessage() : description;
}
