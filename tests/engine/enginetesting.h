#pragma once

#include "engine/helperspeechengine.h"

#include <QString>

// The installed voice with that description; throws SpeechError when there is none.
[[nodiscard]] SpObjectToken voiceNamed(const HelperSpeechEngine &engine, const QString &description);

// Seconds of audio the real engine renders into a file for a text in a voice.
[[nodiscard]] double renderedSeconds(const HelperSpeechEngine &engine, const QString &voiceName,
                                     const QString &text);

// "a." a hundred times without spaces: kills espeak-ng 1.51 with "stack smashing detected".
[[nodiscard]] QString textThatKillsTheEngine();

// Two sentences around a line of its own that kills espeak-ng; the same without that line; and
// the message that names the line.
[[nodiscard]] QString textWithACrasherInTheMiddle();
[[nodiscard]] QString textAroundTheCrasher();
[[nodiscard]] QString crasherSkippedMessage();

// A text long enough that reading it takes minutes.
[[nodiscard]] QString longText(int words);
