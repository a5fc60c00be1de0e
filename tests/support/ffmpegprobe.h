#pragma once

#include <QJsonObject>
#include <QString>

#include <optional>

// Figures from Debian's ffmpeg, a meter and reader independent of the libraries Parlora uses.
struct LoudnessFigures
{
    double integratedLufs = 0;
    double truePeakDbtp = 0;
};

// ffmpeg's ebur128 filter over the file; nothing when ffmpeg fails on it.
[[nodiscard]] std::optional<LoudnessFigures> measureLoudness(const QString &path);

// ffprobe's view of the file: "format" (with its "tags"), "streams" and "chapters".
[[nodiscard]] QJsonObject probe(const QString &path);
