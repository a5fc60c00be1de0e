#pragma once

#include "feed/document/feeditem.h"

#include <QList>
#include <QString>

// The items of the feed in the order they were added, kept as records; the item blocks are
// rendered from them when the feed is written.
class ItemStore final
{
public:
    void append(const FeedItem &item) { m_items.append(item); }
    void clear() { m_items.clear(); }
    [[nodiscard]] const QList<FeedItem> &items() const { return m_items; }
    [[nodiscard]] bool isEmpty() const { return m_items.isEmpty(); }

    // Every item block, joined with nothing between them.
    [[nodiscard]] QString text() const;

private:
    QList<FeedItem> m_items;
};
