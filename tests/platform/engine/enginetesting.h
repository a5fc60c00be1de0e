#pragma once

#include "platform/engine/helperspeechengine.h"

#include <QString>

// The installed voice with that description; throws SpeechError when there is none.
[[nodiscard]] SpObjectToken voiceNamed(const HelperSpeechEngine &engine, const QString &description);

// Seconds of audio the real engine renders for a text in a voice, read straight from the helper.
[[nodiscard]] double renderedSeconds(const HelperSpeechEngine &engine, const QString &voiceName,
                                     const QString &text);

// "a." a hundred times without spaces: kills espeak-ng 1.51 with "stack smashing detected".
[[nodiscard]] QString textThatKillsTheEngine();

// A text long enough that reading it takes minutes.
[[nodiscard]] QString longText(int words);
