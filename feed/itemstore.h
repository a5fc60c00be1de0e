#pragma once

#include "feed/feeddocument.h"
#include "feed/feeditem.h"

#include <QList>
#include <QString>

#include <memory>
#include <optional>

class FeedSource;

// The episodes of the feed in the order they will be written: those of an opened feed, kept as
// places in its file until edited, and those added here, kept as values.
class ItemStore final
{
public:
    struct Entry
    {
        // The item of the opened feed this is, or -1 for one added here.
        qsizetype sourceIndex = -1;
        // Set for items added here and opened ones that were edited.
        std::optional<FeedItem> values;
    };

    // Starts over with every item of the opened feed, as it was.
    void open(std::shared_ptr<const FeedSource> source);
    void append(const FeedItem &item);
    void replace(qsizetype index, const FeedItem &item);
    void remove(qsizetype index);
    void move(qsizetype from, qsizetype to);

    [[nodiscard]] qsizetype size() const { return m_entries.size(); }
    [[nodiscard]] bool isEmpty() const { return m_entries.isEmpty(); }
    [[nodiscard]] FeedItem item(qsizetype index) const;
    [[nodiscard]] QList<FeedItem> items() const;
    [[nodiscard]] const QList<Entry> &entries() const { return m_entries; }
    // The opened feed, if any.
    [[nodiscard]] const std::shared_ptr<const FeedSource> &source() const { return m_source; }

    // Every item block, joined with nothing between them; opened items as the file has them.
    [[nodiscard]] QString text(ItemElements elements = ItemElements::Basic) const;
    // About as many characters as the blocks of items added here take, to reserve them at once.
    [[nodiscard]] qsizetype estimatedSize() const;

private:
    std::shared_ptr<const FeedSource> m_source;
    QList<Entry> m_entries;
};
