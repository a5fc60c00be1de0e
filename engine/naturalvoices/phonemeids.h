#pragma once

#include "engine/naturalvoices/naturalvoiceconfig.h"

#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A sentence's phonemes as the model takes them: the start symbol, then each phoneme followed by
// the pad symbol, then the end symbol. The phonemes are decomposed into code points first, so an
// accent is a phoneme of its own; a phoneme the voice does not know is left out.
[[nodiscard]] std::vector<std::int64_t> phonemeIds(const NaturalVoiceConfig &config, const QString &phonemes);

// Where each of a sentence's spoken words begins, in samples, from a model's durations of the ids
// (frames of hopLength samples each, one duration an id of phonemeIds' framing). Words are the
// phoneme runs between spaces; none when they are not wordCount, or the durations do not fit.
[[nodiscard]] std::optional<std::vector<std::uint64_t>>
wordStartsFromDurations(const NaturalVoiceConfig &config, const QString &phonemes,
                        const std::vector<float> &durations, std::size_t wordCount);
