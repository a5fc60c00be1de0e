#include "feed/feedbytes.h"

#include <utility>

void FeedBytes::appendView(QByteArrayView bytes)
{
    if (!bytes.isEmpty())
        m_parts.append(bytes);
}

void FeedBytes::appendText(QByteArray bytes)
{
    if (bytes.isEmpty())
        return;
    // The view stays valid: a QByteArray's data does not move when the list moves the object.
    m_owned.append(std::move(bytes));
    m_parts.append(QByteArrayView(m_owned.constLast()));
}

qsizetype FeedBytes::size() const
{
    qsizetype size = 0;
    for (const QByteArrayView part : m_parts)
        size += part.size();
    return size;
}

QByteArray FeedBytes::joined() const
{
    QByteArray bytes;
    bytes.reserve(size());
    for (const QByteArrayView part : m_parts)
        bytes.append(part);
    return bytes;
}
