#pragma once

#include "feed/feeddocument.h"
#include "feed/feeditem.h"

#include <QList>
#include <QString>

#include <utility>

// The items of the feed in the order they were added, kept as records; the item blocks are
// rendered from them when the feed is written.
class ItemStore final
{
public:
    void append(const FeedItem &item) { m_items.append(item); }
    void setItems(QList<FeedItem> items) { m_items = std::move(items); }
    [[nodiscard]] const QList<FeedItem> &items() const { return m_items; }
    [[nodiscard]] bool isEmpty() const { return m_items.isEmpty(); }

    // Every item block, joined with nothing between them.
    [[nodiscard]] QString text(ItemElements elements = ItemElements::Basic) const;
    void appendTo(QString &text, ItemElements elements) const;
    // About as many characters as the blocks take, to reserve them at once.
    [[nodiscard]] qsizetype estimatedSize() const;

private:
    QList<FeedItem> m_items;
};
