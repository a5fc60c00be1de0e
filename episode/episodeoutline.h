#pragma once

#include <QList>
#include <QSet>
#include <QString>

class QTextDocument;

// A chapter of an episode: its heading, and where the heading line starts in the spoken text.
struct ChapterMark
{
    QString title;
    qsizetype position = 0;
    friend bool operator==(const ChapterMark &, const ChapterMark &) = default;
};

// What a text gives an episode besides its words: a title and chapters. Chapters begin at
// headings of opened documents and at typed lines that start with "# "; that mark is not spoken.
struct EpisodeOutline
{
    QString spokenText;
    // The first heading, or else the first line that holds anything.
    QString title;
    QList<ChapterMark> chapters;
};

inline constexpr QStringView ChapterMarkPrefix = u"# ";

// headingLines: the lines, counted from 0, that are headings of an opened document.
[[nodiscard]] EpisodeOutline episodeOutlineOf(const QString &text, const QSet<int> &headingLines = {});
// The text box's document: its blocks in ChapterHeadingBlockState are headings.
[[nodiscard]] EpisodeOutline episodeOutlineOf(const QTextDocument &document);
