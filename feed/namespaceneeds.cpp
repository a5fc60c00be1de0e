#include "feed/namespaceneeds.h"

#include <algorithm>
#include <utility>

namespace Namespaces {

Namespace content()
{
    return {QStringLiteral("content"), QStringLiteral("http://purl.org/rss/1.0/modules/content/")};
}

Namespace dublinCore()
{
    return {QStringLiteral("dc"), QStringLiteral("http://purl.org/dc/elements/1.1/")};
}

Namespace itunes()
{
    return {QStringLiteral("itunes"), QStringLiteral("http://www.itunes.com/dtds/podcast-1.0.dtd")};
}

Namespace atom()
{
    return {QStringLiteral("atom"), QStringLiteral("http://www.w3.org/2005/Atom")};
}

Namespace podcast()
{
    return {QStringLiteral("podcast"), QStringLiteral("https://podcastindex.org/namespace/1.0")};
}

} // namespace Namespaces

namespace {

// A prefix of the file's own is reused for new elements only when it is a plain ASCII name:
// a readable feed may still declare one (a decoder's replacement character, say) that the
// XML readers refuse in an element's name.
[[nodiscard]] bool isPlainName(const QString &prefix)
{
    if (prefix.isEmpty() || !(prefix.front().isLetter() || prefix.front() == u'_'))
        return false;
    return std::all_of(prefix.begin(), prefix.end(), [](QChar c) {
        return c.unicode() < 0x80 && (c.isLetterOrNumber() || c == u'_' || c == u'-' || c == u'.');
    });
}

} // namespace

NamespaceNeeds::NamespaceNeeds(QList<Namespace> declared, QStringList taken)
    : m_declared(std::move(declared)), m_taken(std::move(taken))
{
    for (const Namespace &space : std::as_const(m_declared))
        m_taken.append(space.prefix);
}

NamespaceNeeds NamespaceNeeds::forNewFeed()
{
    return NamespaceNeeds({Namespaces::content(), Namespaces::dublinCore(), Namespaces::itunes()}, {});
}

QString NamespaceNeeds::need(const Namespace &wanted)
{
    for (const QList<Namespace> *known : {&m_declared, &m_undeclared}) {
        for (const Namespace &space : *known) {
            if (space.uri == wanted.uri && isPlainName(space.prefix))
                return space.prefix;
        }
    }
    QString prefix = wanted.prefix;
    for (int number = 2; m_taken.contains(prefix); ++number)
        prefix = wanted.prefix + QString::number(number);
    m_taken.append(prefix);
    m_undeclared.append({prefix, wanted.uri});
    return prefix;
}

QString NamespaceNeeds::declarations() const
{
    QString text;
    for (const Namespace &space : m_undeclared)
        text += QStringLiteral(" xmlns:%1=\"%2\"").arg(space.prefix, space.uri);
    return text;
}

QString headerDeclaring(const QString &headerTemplate, const NamespaceNeeds &needs)
{
    if (needs.undeclared().isEmpty())
        return headerTemplate;
    QString header = headerTemplate;
    const qsizetype rssEnd = header.indexOf(u'>', header.indexOf(QStringLiteral("<rss")));
    header.insert(rssEnd, needs.declarations());
    return header;
}
