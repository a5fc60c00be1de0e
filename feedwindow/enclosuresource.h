#pragma once

#include <QString>

#include <optional>

// The sound file an added item points to, as the speech window's enclosure fields hold it.
struct Enclosure
{
    QString url;
    QString length;
    QString type;
    // Play time in whole seconds, when the program knows it for this file.
    std::optional<qint64> durationSeconds;
    // Addresses of the files saved beside the sound file (transcripts, chapters); empty when
    // none were written or there is no address to publish them under.
    QString transcriptVttUrl{};
    QString transcriptSrtUrl{};
    QString chaptersUrl{};
};

// Where the feed window takes each new item's enclosure from. Nothing while there is no
// enclosure to take (no speech window).
class EnclosureSource
{
public:
    virtual ~EnclosureSource() = default;
    [[nodiscard]] virtual std::optional<Enclosure> enclosure() const = 0;
};
