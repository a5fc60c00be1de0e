#pragma once

#include <QString>

// The channel values as the feed window holds them.
struct ChannelFields
{
    QString title;
    QString author;
    QString description;
    QString link;

    friend bool operator==(const ChannelFields &, const ChannelFields &) = default;
};
