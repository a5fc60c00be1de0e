#include "episode/episodeoutline.h"

#include "documents/chapterheading.h"

#include <QTextBlock>
#include <QTextDocument>

namespace {

// A first line can be a whole paragraph; a title is cut at a word near this length.
constexpr qsizetype LongestTitle = 120;

QString titleFrom(const QString &line)
{
    const QString title = line.simplified();
    if (title.size() <= LongestTitle)
        return title;
    const qsizetype cut = title.lastIndexOf(QLatin1Char(' '), LongestTitle);
    return title.left(cut > 0 ? cut : LongestTitle) + QStringLiteral("...");
}

} // namespace

EpisodeOutline episodeOutlineOf(const QString &text, const QSet<int> &headingLines)
{
    EpisodeOutline outline;
    // Unchanged unless a line carries the mark, so such texts are spoken as they always were.
    const bool anyMark =
        text.startsWith(ChapterMarkPrefix) || text.contains(QLatin1Char('\n') + ChapterMarkPrefix.toString());
    if (!anyMark && headingLines.isEmpty()) {
        outline.spokenText = text;
        for (const QStringView line : QStringView(text).split(QLatin1Char('\n'))) {
            if (!line.trimmed().isEmpty()) {
                outline.title = titleFrom(line.toString());
                break;
            }
        }
        return outline;
    }

    QString firstLine;
    const QStringList lines = text.split(QLatin1Char('\n'));
    outline.spokenText.reserve(text.size());
    for (int i = 0; i < lines.size(); ++i) {
        if (i > 0)
            outline.spokenText += QLatin1Char('\n');
        QString line = lines.at(i);
        const bool marked = line.startsWith(ChapterMarkPrefix);
        if (marked)
            line.remove(0, ChapterMarkPrefix.size());
        if ((marked || headingLines.contains(i)) && !line.trimmed().isEmpty())
            outline.chapters.append({line.simplified(), outline.spokenText.size()});
        if (firstLine.isEmpty() && !line.trimmed().isEmpty())
            firstLine = line;
        outline.spokenText += line;
    }
    outline.title =
        outline.chapters.isEmpty() ? titleFrom(firstLine) : titleFrom(outline.chapters.first().title);
    return outline;
}

EpisodeOutline episodeOutlineOf(const QTextDocument &document)
{
    QSet<int> headings;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next())
        if (block.userState() == ChapterHeadingBlockState)
            headings.insert(block.blockNumber());
    return episodeOutlineOf(document.toPlainText(), headings);
}
