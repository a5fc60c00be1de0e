#pragma once

#include <QByteArray>
#include <QStringList>

// A document as canonical XML sees it: elements by namespace and name, attributes sorted,
// text with CDATA and references resolved; no declaration, comments or prefixes. One entry per
// start tag, text run and end tag. An rss version, when asked for, is read as "2.0".
enum class RssVersion
{
    AsWritten,
    As20
};
[[nodiscard]] QStringList canonicalXml(const QByteArray &bytes, RssVersion version = RssVersion::AsWritten);
