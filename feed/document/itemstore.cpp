#include "feed/document/itemstore.h"

#include "feed/document/feeddocument.h"

QString ItemStore::text() const
{
    qsizetype size = 0;
    for (const FeedItem &item : m_items)
        size +=
            200 + item.title.size() + item.description.size() + item.link.size() + item.enclosureUrl.size();
    QString text;
    text.reserve(size);
    for (const FeedItem &item : m_items)
        appendItemBlock(text, item);
    return text;
}
