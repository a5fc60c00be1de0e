#include "documents/appendedlines.h"

#include <QStringView>

#include <algorithm>
#include <cstring>

namespace {

// Where the next c is at or after from, or end if there is none. Qt's vectorised search and
// one block copy per line are what keep a large file quick; a character loop took most of
// the time.
[[nodiscard]] qsizetype nextIndexOf(const QChar *data, qsizetype from, qsizetype end, QChar c)
{
    const qsizetype found = QStringView(data + from, data + end).indexOf(c);
    return found < 0 ? end : from + found;
}

} // namespace

QString appendedLines(QString text)
{
    if (text.isEmpty())
        return text;

    // The leading space puts the result one character ahead of the text until the first end
    // marker, and from there on every end marker gives way to one space at most. Shifting the
    // text by one place lets the single pass below always write behind where it reads.
    const qsizetype end = text.size() + 1;
    text.resize(end);
    QChar *const data = text.data();
    std::copy_backward(data, data + end - 1, data + end);

    qsizetype read = 1;
    qsizetype written = 0;
    qsizetype nextCr = -1;
    qsizetype nextLf = -1;
    while (read < end) {
        if (nextCr < read)
            nextCr = nextIndexOf(data, read, end, u'\r');
        if (nextLf < read)
            nextLf = nextIndexOf(data, read, end, u'\n');
        const qsizetype lineEnd = std::min(nextCr, nextLf);

        data[written++] = u' ';
        // The target never starts after the source, so nothing unread is overwritten; the two
        // may overlap, and coincide for the first line.
        std::memmove(data + written, data + read, (lineEnd - read) * sizeof(QChar));
        written += lineEnd - read;

        if (lineEnd == end)
            break;
        const bool crLf = data[lineEnd] == u'\r' && lineEnd + 1 < end && data[lineEnd + 1] == u'\n';
        read = lineEnd + (crLf ? 2 : 1);
    }
    text.truncate(written);
    return text;
}
