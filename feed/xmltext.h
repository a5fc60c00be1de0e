#pragma once

#include <QString>
#include <QStringView>

// Field values as they may appear inside the feed: escaped, with CR LF line breaks and without
// the characters XML 1.0 cannot carry. Nothing else changes; spaces at either end stay.
[[nodiscard]] QString xmlElementText(QStringView value);
void appendXmlElementText(QString &text, QStringView value);

// The same for a value between apostrophes or quotation marks in an attribute, where both
// quote characters are escaped too.
[[nodiscard]] QString xmlAttributeValue(QStringView value);
void appendXmlAttributeValue(QString &text, QStringView value);
