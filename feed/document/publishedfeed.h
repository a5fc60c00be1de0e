#pragma once

#include "feed/document/channelfields.h"
#include "feed/document/itemstore.h"
#include "feed/document/publishingdetails.h"

#include <QString>

// The feed document with publishing details: the Atom namespace declared in the header, the
// details' elements after the channel block, and every item with its guid and duration.
[[nodiscard]] QString publishedFeedDocument(const ChannelFields &channel, const PublishingDetails &details,
                                            const ItemStore &items);
