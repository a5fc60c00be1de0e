#include "feed/itemstore.h"

#include "feed/feedsource.h"

#include <utility>

void ItemStore::open(std::shared_ptr<const FeedSource> source)
{
    m_source = std::move(source);
    m_entries.clear();
    if (!m_source)
        return;
    m_entries.reserve(m_source->items.size());
    for (qsizetype i = 0; i < m_source->items.size(); ++i)
        m_entries.append({i, std::nullopt});
}

void ItemStore::append(const FeedItem &item)
{
    m_entries.append({-1, item});
}

void ItemStore::replace(qsizetype index, const FeedItem &item)
{
    Entry &entry = m_entries[index];
    // An opened item edited back to what it was is written as it was.
    if (entry.sourceIndex >= 0 && item == m_source->item(entry.sourceIndex))
        entry.values.reset();
    else
        entry.values = item;
}

void ItemStore::remove(qsizetype index)
{
    m_entries.removeAt(index);
}

void ItemStore::move(qsizetype from, qsizetype to)
{
    m_entries.move(from, to);
}

FeedItem ItemStore::item(qsizetype index) const
{
    const Entry &entry = m_entries.at(index);
    return entry.values ? *entry.values : m_source->item(entry.sourceIndex);
}

QList<FeedItem> ItemStore::items() const
{
    QList<FeedItem> items;
    items.reserve(m_entries.size());
    for (qsizetype i = 0; i < m_entries.size(); ++i)
        items.append(item(i));
    return items;
}

QString ItemStore::text(ItemElements elements) const
{
    QString text;
    text.reserve(estimatedSize());
    for (const Entry &entry : m_entries) {
        if (entry.values) {
            appendItemBlock(text, *entry.values, elements);
        } else {
            const SourceItem &item = m_source->items.at(entry.sourceIndex);
            text += QString::fromUtf8(m_source->slice({item.leadBegin, item.element.end}));
        }
    }
    return text;
}

qsizetype ItemStore::estimatedSize() const
{
    qsizetype size = 0;
    for (const Entry &entry : m_entries) {
        if (const std::optional<FeedItem> &item = entry.values)
            size += 300 + item->title.size() + item->description.size() + item->link.size() +
                    2 * item->enclosureUrl.size();
    }
    return size;
}
