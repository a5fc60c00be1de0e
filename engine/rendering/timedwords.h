#pragma once

#include "engine/client/passage.h"
#include "engine/protocol/helperprotocol.h"
#include "engine/rendering/timedword.h"

#include <QList>

// A written passage's word markers, which count code points within the passage from its first
// sample, as words of the whole text at frames of the file; the passage's audio begins at
// firstFrame.
[[nodiscard]] QList<TimedWord> timedWordsOf(const Passage &passage, qint64 firstFrame,
                                            const QList<HelperProtocol::WordMarkerPayload> &markers);
