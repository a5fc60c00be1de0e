#include "documents/pdftextflow.h"

#include <QHash>
#include <QRegularExpression>

#include <algorithm>
#include <cmath>

namespace {

// Type this much larger than the body's is a heading's.
constexpr double HeadingSizeRatio = 1.2;
// Running headers and footers recur on pages at most this far apart.
constexpr int RunningLineReach = 2;

// The value that the given share of the values is below.
[[nodiscard]] double quantile(QList<double> values, double share)
{
    if (values.isEmpty())
        return 0.0;
    const auto at = values.begin() + qsizetype(share * double(values.size() - 1));
    std::nth_element(values.begin(), at, values.end());
    return *at;
}

[[nodiscard]] bool isPageNumber(const QString &text)
{
    static const QRegularExpression number(
        QStringLiteral("^\\W*(page\\s+)?(\\d+|[ivxlcdm]+)(\\s*(/|of)\\s*\\d+)?\\W*$"),
        QRegularExpression::CaseInsensitiveOption | QRegularExpression::UseUnicodePropertiesOption);
    return number.match(text).hasMatch();
}

// Running lines differ from page to page in their numbers at most.
[[nodiscard]] QString runningKey(const QString &text)
{
    QString key = text.simplified().toCaseFolded();
    for (QChar &c : key) {
        if (c.isDigit())
            c = u'#';
    }
    return key;
}

// The top-most and bottom-most lines of each page, the candidates for headers and footers.
[[nodiscard]] QList<qsizetype> edgeLines(const PdfPageLines &lines)
{
    if (lines.isEmpty())
        return {};
    const auto byTop = [](const PdfLine &a, const PdfLine &b) { return a.box.top() < b.box.top(); };
    const qsizetype top = std::min_element(lines.begin(), lines.end(), byTop) - lines.begin();
    const qsizetype bottom = std::max_element(lines.begin(), lines.end(), byTop) - lines.begin();
    return top == bottom ? QList<qsizetype>{top} : QList<qsizetype>{top, bottom};
}

void dropRunningLines(QList<PdfPageLines> &pages, double bodyHeight)
{
    for (int round = 0; round < 2; ++round) { // a header over a page number, say
        QHash<QString, QList<qsizetype>> pagesOfKey;
        QList<QList<qsizetype>> edges;
        for (qsizetype page = 0; page < pages.size(); ++page) {
            edges.append(edgeLines(pages.at(page)));
            for (const qsizetype line : std::as_const(edges.last()))
                pagesOfKey[runningKey(pages.at(page).at(line).text)].append(page);
        }
        for (qsizetype page = 0; page < pages.size(); ++page) {
            QList<qsizetype> dropped;
            for (const qsizetype line : std::as_const(edges.at(page))) {
                const PdfLine &candidate = pages.at(page).at(line);
                if (candidate.box.height() >= HeadingSizeRatio * bodyHeight)
                    continue; // a chapter's title heads its first page, not every page
                const QList<qsizetype> &seenOn = pagesOfKey.value(runningKey(candidate.text));
                const bool recurs = std::any_of(seenOn.begin(), seenOn.end(), [page](qsizetype other) {
                    return other != page && std::abs(other - page) <= RunningLineReach;
                });
                if (recurs || isPageNumber(candidate.text))
                    dropped.append(line);
            }
            std::sort(dropped.begin(), dropped.end(), std::greater<>());
            for (const qsizetype line : std::as_const(dropped))
                pages[page].removeAt(line);
        }
    }
}

[[nodiscard]] bool endsSentence(const QString &text)
{
    static const QString enders = QStringLiteral(".!?:;\"\u201D\u2019\u00BB)\u3002");
    return !text.isEmpty() && enders.contains(text.back());
}

// Joins a line to the paragraph before it, mending a word hyphenated at the line's end.
void appendLine(QString &paragraph, const QString &line)
{
    const qsizetype n = paragraph.size();
    const bool hyphenated = n >= 2 && (paragraph.at(n - 1) == u'-' || paragraph.at(n - 1) == u'\u2010') &&
                            paragraph.at(n - 2).isLetter() && !line.isEmpty() && line.front().isLower();
    if (hyphenated) {
        paragraph.chop(1);
        paragraph += line;
    } else if (n > 0 && paragraph.back() == QChar::SoftHyphen) {
        paragraph.chop(1);
        paragraph += line;
    } else {
        if (n > 0)
            paragraph += u' ';
        paragraph += line;
    }
}

} // namespace

DocumentParagraphs paragraphsOfPages(QList<PdfPageLines> pages)
{
    QList<double> heights;
    for (const PdfPageLines &lines : std::as_const(pages)) {
        for (const PdfLine &line : lines)
            heights.append(line.box.height());
    }
    const double bodyHeight = quantile(heights, 0.5);
    dropRunningLines(pages, bodyHeight);

    QList<double> gaps;
    for (const PdfPageLines &lines : std::as_const(pages)) {
        for (qsizetype i = 1; i < lines.size(); ++i) {
            const double gap = lines.at(i).box.top() - lines.at(i - 1).box.bottom();
            if (gap > -bodyHeight / 2)
                gaps.append(gap);
        }
    }
    // Short documents may have more gaps between paragraphs than inside them: the narrow end
    // of the gaps is the spacing of lines.
    const double lineGap = quantile(gaps, 0.2);

    DocumentParagraphs paragraphs;
    DocumentParagraph current;
    const PdfLine *previous = nullptr;
    const auto finish = [&] {
        const QString text = current.text.simplified();
        if (!text.isEmpty())
            paragraphs.append({text, current.isHeading});
        current = {};
    };
    for (const PdfPageLines &lines : std::as_const(pages)) {
        double columnLeft = lines.isEmpty() ? 0.0 : lines.front().box.left();
        double columnRight = 0.0;
        for (const PdfLine &line : lines) {
            columnLeft = std::min(columnLeft, line.box.left());
            columnRight = std::max(columnRight, line.box.right());
        }
        bool newPage = true;
        for (const PdfLine &line : lines) {
            const bool heading = line.box.height() >= HeadingSizeRatio * bodyHeight;
            bool breaks = previous == nullptr || heading != current.isHeading;
            if (!breaks && newPage) {
                breaks = endsSentence(current.text);
            } else if (!breaks) {
                const double gap = line.box.top() - previous->box.bottom();
                const bool wideGap = gap > lineGap + 0.4 * bodyHeight;
                // Right-to-left lines start at the right margin and end short on the left.
                const bool rightToLeft = line.text.isRightToLeft();
                const double indent = rightToLeft ? previous->box.right() - line.box.right()
                                                  : line.box.left() - previous->box.left();
                const double shortfall =
                    rightToLeft ? previous->box.left() - columnLeft : columnRight - previous->box.right();
                const bool indented = indent > 0.8 * bodyHeight;
                const bool shortLine = shortfall > 3.0 * bodyHeight;
                breaks = wideGap || (!heading && (indented || (shortLine && endsSentence(previous->text))));
            }
            if (breaks) {
                finish();
                current.isHeading = heading;
            }
            appendLine(current.text, line.text.trimmed());
            previous = &line;
            newPage = false;
        }
    }
    finish();
    return paragraphs;
}
