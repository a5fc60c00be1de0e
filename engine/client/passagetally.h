#pragma once

#include "engine/client/passage.h"
#include "engine/client/speechoutcome.h"

// How the passages of one reading or rendering ended, and whether the engine is broken: the one
// place where "FailedPassagesThatEndIt failed passages in a row" is decided.
class PassageTally final
{
public:
    // Records a passage; false when its failure ends the operation, with the failure set.
    bool record(const Passage &passage, bool spoken);
    // The engine gave up on the whole operation.
    void setFailure(const QString &description);

    [[nodiscard]] const SpeechOutcome &outcome() const { return m_outcome; }
    [[nodiscard]] bool hasFailed() const { return !m_outcome.failure.isEmpty(); }

private:
    SpeechOutcome m_outcome;
    int m_failuresInARow = 0;
};
