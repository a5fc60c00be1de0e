#include "listening/pronunciationrules.h"

#include "listening/pronunciationlist.h"

#include <algorithm>
#include <vector>

namespace {

bool appliesTo(const Pronunciation &entry, const QStringList &voiceLanguages)
{
    if (entry.language.isEmpty())
        return true;
    return std::any_of(voiceLanguages.begin(), voiceLanguages.end(), [&entry](const QString &language) {
        return language.compare(entry.language, Qt::CaseInsensitive) == 0 ||
               language.startsWith(entry.language + u'-', Qt::CaseInsensitive);
    });
}

// \0 to \9 name the match and its groups; \\ is a backslash.
QString withGroups(const QString &spoken, const QRegularExpressionMatch &match)
{
    QString result;
    for (qsizetype i = 0; i < spoken.size(); ++i) {
        if (spoken.at(i) == u'\\' && i + 1 < spoken.size()) {
            const QChar next = spoken.at(i + 1);
            if (next.isDigit()) {
                result += match.captured(next.digitValue());
                ++i;
                continue;
            }
            if (next == u'\\') {
                result += next;
                ++i;
                continue;
            }
        }
        result += spoken.at(i);
    }
    return result;
}

struct Match
{
    qsizetype start;
    qsizetype length;
    qsizetype rule;
    QString spoken;
};

} // namespace

PronunciationRules::PronunciationRules(const QList<Pronunciation> &entries, const QStringList &voiceLanguages)
{
    for (const Pronunciation &entry : entries) {
        if (!appliesTo(entry, voiceLanguages) || !PronunciationList::problemOf(entry).isEmpty())
            continue;
        const QString pattern = entry.regularExpression ? QStringLiteral("(?:%1)").arg(entry.written)
                                                        : QRegularExpression::escape(entry.written);
        QRegularExpression::PatternOptions options = QRegularExpression::UseUnicodePropertiesOption;
        if (!entry.caseSensitive)
            options |= QRegularExpression::CaseInsensitiveOption;
        // Whole words: no letter, digit or underscore right before or after.
        QRegularExpression expression(QStringLiteral("(?<!\\w)") + pattern + QStringLiteral("(?!\\w)"),
                                      options);
        expression.optimize();
        const bool groups = entry.regularExpression && entry.spoken.contains(u'\\');
        m_rules.append({std::move(expression), entry.spoken, groups});
    }
}

SpokenText PronunciationRules::apply(const QString &written) const
{
    if (m_rules.isEmpty())
        return SpokenText(written);
    std::vector<Match> matches;
    for (qsizetype rule = 0; rule < m_rules.size(); ++rule) {
        const Rule &r = m_rules.at(rule);
        for (auto found = r.expression.globalMatch(written); found.hasNext();) {
            const QRegularExpressionMatch match = found.next();
            if (match.capturedLength() == 0)
                continue;
            matches.push_back({match.capturedStart(), match.capturedLength(), rule,
                               r.withGroups ? withGroups(r.spoken, match) : r.spoken});
        }
    }
    std::sort(matches.begin(), matches.end(), [](const Match &a, const Match &b) {
        return a.start != b.start ? a.start < b.start : a.rule < b.rule;
    });
    SpokenText spoken;
    qsizetype done = 0;
    for (const Match &match : matches) {
        if (match.start < done)
            continue; // overlaps one taken already
        spoken.appendUnchanged(QStringView(written).mid(done, match.start - done));
        spoken.appendReplacement(match.spoken, match.start, match.length);
        done = match.start + match.length;
    }
    spoken.appendUnchanged(QStringView(written).mid(done));
    return spoken;
}
