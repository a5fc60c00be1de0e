#pragma once

#include "feed/channelfields.h"
#include "feed/itemstore.h"
#include "feed/publishingdetails.h"

#include <QString>

// The feed document with publishing details: the Atom namespace declared in the header, the
// details' elements after the channel block, and every item with its guid and duration.
[[nodiscard]] QString publishedFeedDocument(const ChannelFields &channel, const PublishingDetails &details,
                                            const ItemStore &items);

// The saved file's bytes for the document made of these pieces: built in one buffer and encoded
// once, as a feed of thousands of long items is tens of megabytes.
[[nodiscard]] QByteArray feedFileBytes(QStringView header, QStringView channelPart, const ItemStore &items,
                                       ItemElements elements, QStringView footer);
