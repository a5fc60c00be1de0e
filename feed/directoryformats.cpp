#include "feed/directoryformats.h"

#include <QStringList>

QString refusedFormatWarning(const QString &type)
{
    static const QStringList refused{QStringLiteral("audio/wav"),  QStringLiteral("audio/x-wav"),
                                     QStringLiteral("audio/wave"), QStringLiteral("audio/ogg"),
                                     QStringLiteral("audio/flac"), QStringLiteral("audio/x-flac")};
    if (!refused.contains(type.trimmed().toLower()))
        return {};
    return QStringLiteral("Apple Podcasts and Spotify take only MP3 or M4A sound files, and this episode "
                          "is %1. It is added to the feed anyway; save the sound as MP3 for those "
                          "directories.")
        .arg(type);
}
