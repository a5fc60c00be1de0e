#include "feed/itemstore.h"

QString ItemStore::text(ItemElements elements) const
{
    QString text;
    text.reserve(estimatedSize());
    appendTo(text, elements);
    return text;
}

void ItemStore::appendTo(QString &text, ItemElements elements) const
{
    for (const FeedItem &item : m_items)
        appendItemBlock(text, item, elements);
}

qsizetype ItemStore::estimatedSize() const
{
    qsizetype size = 0;
    for (const FeedItem &item : m_items)
        size += 300 + item.title.size() + item.description.size() + item.link.size() +
                2 * item.enclosureUrl.size();
    return size;
}
