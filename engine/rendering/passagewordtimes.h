#pragma once

#include "engine/client/passage.h"
#include "engine/protocol/helperprotocol.h"
#include "engine/rendering/timedword.h"

#include <map>
#include <vector>

// The word markers of passages being rendered, held until each passage takes its place in the
// file, where its words get their frames. Helpers speak passages out of order; the file takes
// them in order.
class PassageWordTimes final
{
public:
    void mark(qsizetype passage, const HelperProtocol::WordMarkerPayload &marker);
    // A passage the engine failed on: its words are not in the file.
    void drop(qsizetype passage);
    // The passage's audio begins at startFrame of the file.
    [[nodiscard]] QList<TimedWord> place(qsizetype passage, const Passage &text, qint64 startFrame);

private:
    std::map<qsizetype, std::vector<HelperProtocol::WordMarkerPayload>> m_markers;
};
