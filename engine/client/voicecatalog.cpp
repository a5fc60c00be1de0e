#include "engine/client/voicecatalog.h"

#include "engine/protocol/helperprotocol.h"

#include <QHash>

#include <algorithm>

namespace {

QString languageTag(const QString &localeName)
{
    // "en_US.UTF-8@euro" -> "en-us"
    QString tag = localeName.section(u'.', 0, 0).section(u'@', 0, 0);
    tag.replace(u'_', u'-');
    return tag.toLower();
}

// How well a voice serves a language tag: 3 exact, 2 the voice's language is a parent of the
// tag, 1 a dialect of it, 0 none. Earlier languages in the voice's list count more.
int matchScore(const SpObjectToken &token, const QString &tag)
{
    int best = 0;
    const QStringList &languages = token.languages();
    for (qsizetype i = 0; i < languages.size(); ++i) {
        const QString language = languages.at(i).toLower();
        int score = 0;
        if (language == tag)
            score = 3;
        else if (tag.startsWith(language + u'-'))
            score = 2;
        else if (language.startsWith(tag + u'-'))
            score = 1;
        if (score > 0)
            best = std::max(best, score * 100 - static_cast<int>(std::min<qsizetype>(i, 99)));
    }
    return best;
}

// Among the voices that speak the tag's language at all, the most natural one wins; how
// closely its dialect matches only decides between equally natural voices.
qsizetype bestMatch(const QList<SpObjectToken> &tokens, const QString &tag)
{
    qsizetype bestIndex = -1;
    std::pair<int, int> best{0, 0};
    for (qsizetype i = 0; i < tokens.size(); ++i) {
        const int score = matchScore(tokens.at(i), tag);
        if (score == 0)
            continue;
        const std::pair<int, int> rank{tokens.at(i).naturalness(), score};
        if (bestIndex < 0 || rank > best) {
            best = rank;
            bestIndex = i;
        }
    }
    return bestIndex;
}

void makeDescriptionsUnique(QList<SpObjectToken> &tokens)
{
    QHash<QString, int> seen;
    for (const SpObjectToken &token : tokens)
        ++seen[token.GetDescription()];
    for (SpObjectToken &token : tokens) {
        if (seen.value(token.GetDescription()) > 1)
            token = SpObjectToken(token.engine(), token.id(),
                                  QStringLiteral("%1 (%2)").arg(token.GetDescription(), token.id()),
                                  token.languages(), token.naturalness());
    }
}

} // namespace

QList<SpObjectToken> orderVoicesForLocale(QList<SpObjectToken> tokens, const QString &localeName)
{
    std::stable_sort(tokens.begin(), tokens.end(), [](const SpObjectToken &a, const SpObjectToken &b) {
        return QString::localeAwareCompare(a.GetDescription(), b.GetDescription()) < 0;
    });
    qsizetype first = bestMatch(tokens, languageTag(localeName));
    if (first < 0)
        first = bestMatch(tokens, QStringLiteral("en-us"));
    if (first > 0)
        tokens.move(first, 0);
    return tokens;
}

VoiceCatalog VoiceCatalog::fromListing(const QByteArray &listing, const QString &localeName)
{
    using namespace HelperProtocol;
    QList<SpObjectToken> tokens;
    for (const QByteArray &line : listing.split('\n')) {
        const QList<QByteArray> fields = line.split(ColumnSeparator);
        if (fields.size() <= NameColumn || fields.at(IdColumn).isEmpty() || fields.at(NameColumn).isEmpty())
            continue;
        QStringList languages;
        for (const QByteArray &language : fields.value(LanguagesColumn).split(LanguageSeparator))
            if (!language.isEmpty())
                languages.append(QString::fromUtf8(language));
        const int naturalness = fields.value(NaturalnessColumn).trimmed().toInt();
        tokens.append(SpObjectToken(QString::fromUtf8(fields.at(EngineColumn)),
                                    QString::fromUtf8(fields.at(IdColumn)),
                                    QString::fromUtf8(fields.at(NameColumn)), languages, naturalness));
    }
    makeDescriptionsUnique(tokens);
    return VoiceCatalog(orderVoicesForLocale(std::move(tokens), localeName));
}

SpObjectTokens VoiceCatalog::query(const QString &requiredAttributes, const QString &optionalAttributes) const
{
    Q_UNUSED(optionalAttributes) // only ranks voices in other engines; our order is already set
    QList<std::pair<QString, QString>> required;
    for (const QString &pair : requiredAttributes.split(u';', Qt::SkipEmptyParts)) {
        const qsizetype equals = pair.indexOf(u'=');
        if (equals < 0)
            required.append({pair, QString()});
        else
            required.append({pair.left(equals), pair.mid(equals + 1)});
    }
    QList<SpObjectToken> matches;
    for (const SpObjectToken &token : m_tokens) {
        const bool all = std::all_of(required.cbegin(), required.cend(), [&token](const auto &attribute) {
            return token.attribute(attribute.first) == attribute.second;
        });
        if (all)
            matches.append(token);
    }
    return SpObjectTokens(matches, requiredAttributes);
}
