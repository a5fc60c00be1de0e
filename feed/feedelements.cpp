#include "feed/feedelements.h"

#include "feed/xmltext.h"

namespace {

void appendElement(QString &text, QStringView name, QStringView value)
{
    text += u'<';
    text += name;
    text += u'>';
    appendXmlElementText(text, value);
    text += u"</";
    text += name;
    text += u'>';
}

// An element of a namespace, named with the prefix the document uses for it.
void appendElement(QString &text, NamespaceNeeds &needs, const Namespace &space, QStringView name,
                   QStringView value)
{
    QString qualified = needs.need(space);
    qualified += u':';
    qualified += name;
    appendElement(text, qualified, value);
}

void appendAttribute(QString &text, QStringView name, QStringView value)
{
    text += u' ';
    text += name;
    text += u"=\"";
    appendXmlAttributeValue(text, value);
    text += u'"';
}

void appendStartTag(QString &text, NamespaceNeeds &needs, const Namespace &space, QStringView name)
{
    text += u'<';
    text += needs.need(space);
    text += u':';
    text += name;
}

// A podcast: element that points to a file: <podcast:transcript url="..." type="..." />.
void appendFileReference(QString &text, NamespaceNeeds &needs, QStringView name, QStringView url,
                         QStringView type)
{
    appendStartTag(text, needs, Namespaces::podcast(), name);
    appendAttribute(text, u"url", url);
    appendAttribute(text, u"type", type);
    text += u" />";
}

} // namespace

bool hasValue(ChannelElement element, const ChannelValues &values)
{
    const PublishingDetails &details = values.details;
    switch (element) {
    case ChannelElement::Title:
        return !values.fields.title.isEmpty();
    case ChannelElement::Author:
        return !values.fields.author.isEmpty();
    case ChannelElement::Description:
        return !values.fields.description.isEmpty();
    case ChannelElement::Link:
        return !values.fields.link.isEmpty();
    case ChannelElement::Language:
        return !details.language.isEmpty();
    case ChannelElement::Artwork:
        return !details.artworkUrl.isEmpty();
    case ChannelElement::Category:
        return !details.category.isEmpty();
    case ChannelElement::Explicit:
        return true;
    case ChannelElement::Owner:
        return !details.ownerName.isEmpty() || !details.ownerEmail.isEmpty();
    case ChannelElement::FeedUrl:
        return !details.feedUrl.isEmpty();
    }
    return false;
}

bool sameValue(ChannelElement element, const ChannelValues &a, const ChannelValues &b)
{
    const PublishingDetails &x = a.details;
    const PublishingDetails &y = b.details;
    switch (element) {
    case ChannelElement::Title:
        return a.fields.title == b.fields.title;
    case ChannelElement::Author:
        return a.fields.author == b.fields.author;
    case ChannelElement::Description:
        return a.fields.description == b.fields.description;
    case ChannelElement::Link:
        return a.fields.link == b.fields.link;
    case ChannelElement::Language:
        return x.language == y.language;
    case ChannelElement::Artwork:
        return x.artworkUrl == y.artworkUrl;
    case ChannelElement::Category:
        return x.category == y.category && x.subcategory == y.subcategory;
    case ChannelElement::Explicit:
        return x.explicitContent == y.explicitContent;
    case ChannelElement::Owner:
        return x.ownerName == y.ownerName && x.ownerEmail == y.ownerEmail;
    case ChannelElement::FeedUrl:
        return x.feedUrl == y.feedUrl;
    }
    return true;
}

void appendChannelElement(QString &text, ChannelElement element, const ChannelValues &values,
                          NamespaceNeeds &needs)
{
    const PublishingDetails &details = values.details;
    switch (element) {
    case ChannelElement::Title:
        appendElement(text, u"title", values.fields.title);
        break;
    case ChannelElement::Author:
        appendElement(text, needs, Namespaces::itunes(), u"author", values.fields.author);
        break;
    case ChannelElement::Description:
        appendElement(text, u"description", values.fields.description);
        break;
    case ChannelElement::Link:
        appendElement(text, u"link", values.fields.link);
        break;
    case ChannelElement::Language:
        appendElement(text, u"language", details.language);
        break;
    case ChannelElement::Artwork:
        appendStartTag(text, needs, Namespaces::itunes(), u"image");
        appendAttribute(text, u"href", details.artworkUrl);
        text += u" />";
        break;
    case ChannelElement::Category:
        appendStartTag(text, needs, Namespaces::itunes(), u"category");
        appendAttribute(text, u"text", details.category);
        if (details.subcategory.isEmpty()) {
            text += u" />";
        } else {
            text += u'>';
            appendStartTag(text, needs, Namespaces::itunes(), u"category");
            appendAttribute(text, u"text", details.subcategory);
            text += u" /></";
            text += needs.need(Namespaces::itunes());
            text += u":category>";
        }
        break;
    case ChannelElement::Explicit:
        appendElement(text, needs, Namespaces::itunes(), u"explicit",
                      details.explicitContent ? u"true" : u"false");
        break;
    case ChannelElement::Owner: {
        const QString itunes = needs.need(Namespaces::itunes());
        text += u'<';
        text += itunes;
        text += u":owner>";
        appendElement(text, needs, Namespaces::itunes(), u"name", details.ownerName);
        appendElement(text, needs, Namespaces::itunes(), u"email", details.ownerEmail);
        text += u"</";
        text += itunes;
        text += u":owner>";
        break;
    }
    case ChannelElement::FeedUrl:
        appendStartTag(text, needs, Namespaces::atom(), u"link");
        appendAttribute(text, u"href", details.feedUrl);
        text += u" rel=\"self\" type=\"application/rss+xml\" />";
        break;
    }
}

bool hasValue(ItemElement element, const FeedItem &item)
{
    switch (element) {
    case ItemElement::Title:
        return !item.title.isEmpty();
    case ItemElement::Description:
        return !item.description.isEmpty();
    case ItemElement::Link:
        return !item.link.isEmpty();
    case ItemElement::Date:
        return !item.date.isEmpty();
    case ItemElement::Author:
        return !item.author.isEmpty();
    case ItemElement::Enclosure:
        return !item.enclosureUrl.isEmpty() || !item.enclosureLength.isEmpty() || !item.enclosureType.isEmpty();
    case ItemElement::Guid:
        return !item.guid.isEmpty();
    case ItemElement::Duration:
        return !item.duration.isEmpty();
    case ItemElement::Episode:
        return !item.episode.isEmpty();
    case ItemElement::Season:
        return !item.season.isEmpty();
    case ItemElement::EpisodeType:
        return !item.episodeType.isEmpty();
    case ItemElement::TranscriptVtt:
        return !item.transcriptVttUrl.isEmpty();
    case ItemElement::TranscriptSrt:
        return !item.transcriptSrtUrl.isEmpty();
    case ItemElement::Chapters:
        return !item.chaptersUrl.isEmpty();
    }
    return false;
}

bool sameValue(ItemElement element, const FeedItem &a, const FeedItem &b)
{
    switch (element) {
    case ItemElement::Title:
        return a.title == b.title;
    case ItemElement::Description:
        return a.description == b.description;
    case ItemElement::Link:
        return a.link == b.link;
    case ItemElement::Date:
        return a.date == b.date;
    case ItemElement::Author:
        return a.author == b.author;
    case ItemElement::Enclosure:
        return a.enclosureUrl == b.enclosureUrl && a.enclosureLength == b.enclosureLength &&
               a.enclosureType == b.enclosureType;
    case ItemElement::Guid:
        return a.guid == b.guid;
    case ItemElement::Duration:
        return a.duration == b.duration;
    case ItemElement::Episode:
        return a.episode == b.episode;
    case ItemElement::Season:
        return a.season == b.season;
    case ItemElement::EpisodeType:
        return a.episodeType == b.episodeType;
    case ItemElement::TranscriptVtt:
        return a.transcriptVttUrl == b.transcriptVttUrl;
    case ItemElement::TranscriptSrt:
        return a.transcriptSrtUrl == b.transcriptSrtUrl;
    case ItemElement::Chapters:
        return a.chaptersUrl == b.chaptersUrl;
    }
    return true;
}

void appendItemElement(QString &text, ItemElement element, const FeedItem &item, NamespaceNeeds &needs)
{
    switch (element) {
    case ItemElement::Title:
        appendElement(text, u"title", item.title);
        break;
    case ItemElement::Description:
        appendElement(text, u"description", item.description);
        break;
    case ItemElement::Link:
        appendElement(text, u"link", item.link);
        break;
    case ItemElement::Date:
        appendElement(text, u"pubDate", item.date);
        break;
    case ItemElement::Author:
        appendElement(text, needs, Namespaces::dublinCore(), u"creator", item.author);
        break;
    case ItemElement::Enclosure:
        text += u"<enclosure url='";
        appendXmlAttributeValue(text, item.enclosureUrl);
        text += u"' length='";
        appendXmlAttributeValue(text, item.enclosureLength);
        text += u"' type='";
        appendXmlAttributeValue(text, item.enclosureType);
        text += u"' />";
        break;
    case ItemElement::Guid:
        text += u"<guid isPermaLink=\"false\">";
        appendXmlElementText(text, item.guid);
        text += u"</guid>";
        break;
    case ItemElement::Duration:
        appendElement(text, needs, Namespaces::itunes(), u"duration", item.duration);
        break;
    case ItemElement::Episode:
        appendElement(text, needs, Namespaces::itunes(), u"episode", item.episode);
        break;
    case ItemElement::Season:
        appendElement(text, needs, Namespaces::itunes(), u"season", item.season);
        break;
    case ItemElement::EpisodeType:
        appendElement(text, needs, Namespaces::itunes(), u"episodeType", item.episodeType);
        break;
    case ItemElement::TranscriptVtt:
        appendFileReference(text, needs, u"transcript", item.transcriptVttUrl, u"text/vtt");
        break;
    case ItemElement::TranscriptSrt:
        appendFileReference(text, needs, u"transcript", item.transcriptSrtUrl, u"application/x-subrip");
        break;
    case ItemElement::Chapters:
        appendFileReference(text, needs, u"chapters", item.chaptersUrl, u"application/json+chapters");
        break;
    }
}
