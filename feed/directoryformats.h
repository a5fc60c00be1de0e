#pragma once

#include <QString>

// What to tell the user about an episode whose sound file type Apple Podcasts and Spotify
// refuse (WAV, Ogg, FLAC); empty for a type they take.
[[nodiscard]] QString refusedFormatWarning(const QString &type);
