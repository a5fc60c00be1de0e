"""Reads a feed file with feedparser and prints what a podcast reader sees, as JSON."""
import json
import sys

import feedparser

parsed = feedparser.parse(sys.argv[1])
feed = parsed.feed
print(json.dumps({
    # feedparser sets bozo when the XML is not well-formed or the feed is broken.
    "bozo": bool(parsed.bozo),
    "bozoException": str(parsed.get("bozo_exception", "")),
    "version": parsed.version,
    "title": feed.get("title"),
    "author": feed.get("author"),
    "description": feed.get("subtitle"),
    "link": feed.get("link"),
    "language": feed.get("language"),
    "image": feed.get("image", {}).get("href"),
    "categories": [tag.get("term") for tag in feed.get("tags", [])],
    "owner": [feed.get("publisher_detail", {}).get("name"), feed.get("publisher_detail", {}).get("email")],
    "self": [link.get("href") for link in feed.get("links", []) if link.get("rel") == "self"],
    "items": [{
        "title": entry.get("title"),
        "description": entry.get("summary"),
        "link": entry.get("link"),
        "date": entry.get("published"),
        "dateParsed": list(entry.published_parsed[:6]) if entry.get("published_parsed") else None,
        "author": entry.get("author"),
        "guid": entry.get("id"),
        "guidIsLink": entry.get("guidislink"),
        "duration": entry.get("itunes_duration"),
        "enclosures": [{"url": enclosure.get("href"), "length": enclosure.get("length"),
                        "type": enclosure.get("type")} for enclosure in entry.get("enclosures", [])],
    } for entry in parsed.entries],
}))
