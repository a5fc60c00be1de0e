#pragma once

#include "engine/naturalvoices/naturalvoiceconfig.h"

#include <QString>

#include <cstdint>
#include <vector>

// A sentence's phonemes as the model takes them: the start symbol, then each phoneme followed by
// the pad symbol, then the end symbol. The phonemes are decomposed into code points first, so an
// accent is a phoneme of its own; a phoneme the voice does not know is left out.
[[nodiscard]] std::vector<std::int64_t> phonemeIds(const NaturalVoiceConfig &config, const QString &phonemes);
