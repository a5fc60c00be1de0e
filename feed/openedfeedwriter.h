#pragma once

#include "feed/channelfields.h"
#include "feed/feedbytes.h"
#include "feed/itemstore.h"
#include "feed/namespaceneeds.h"
#include "feed/publishingdetails.h"

#include <QByteArray>
#include <QList>

#include <optional>

class FeedSource;
struct SourceItem;

// Writes an opened feed back: every byte the window did not change is copied from the file as
// it was, and only the elements whose values changed are written anew, the way the window
// writes them. Items come in the store's order; items added here are appended as new blocks.
class OpenedFeedWriter final
{
public:
    explicit OpenedFeedWriter(const FeedSource &source);

    // The parts point into the opened feed's text.
    [[nodiscard]] FeedBytes write(const ChannelFields &channel, const std::optional<PublishingDetails> &details,
                                   const ItemStore &items);

private:
    // What replaces the file's bytes [begin, end); an insertion when they are equal.
    struct Edit
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        QByteArray text;
    };
    // A stretch of the file, or written text when it has any.
    struct Piece
    {
        qsizetype begin = 0;
        qsizetype end = 0;
        QByteArray text;
    };

    void addChannelEdits(const ChannelFields &channel, const std::optional<PublishingDetails> &details);
    [[nodiscard]] QList<Edit> itemEdits(const SourceItem &source, const FeedItem &was, const FeedItem &now);
    void writeItem(const ItemStore::Entry &entry, ItemElements elements);
    // Appends the file's bytes [begin, end) with the edits that fall inside them.
    void copy(qsizetype begin, qsizetype end, const QList<Edit> &edits);
    void copy(qsizetype begin, qsizetype end);
    void add(const QString &text);
    [[nodiscard]] QByteArray rssStartTag() const;
    [[nodiscard]] qsizetype headEnd() const;

    const FeedSource &m_source;
    NamespaceNeeds m_needs;
    QList<Edit> m_channelEdits;
    QString m_channelInsertions;
    QList<Piece> m_pieces;
};
