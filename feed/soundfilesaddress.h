#pragma once

#include <QString>

// The address under which the user publishes sound files ("https://example.org/audio/"),
// remembered across starts: the sound file is saved before the feed window is opened.
[[nodiscard]] QString soundFilesAddress();
void setSoundFilesAddress(const QString &address);

// The public address of a saved sound file: the sound files' address, then the file's name.
// Empty when no address is set.
[[nodiscard]] QString publishedSoundFileAddress(const QString &soundFilesAddress, const QString &savedPath);
