#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QList>

#include <utility>

// A file's bytes as the parts they are made of, so that a large opened feed is written from its
// own text without being copied into one more buffer. Views point into text that must outlive
// this (the opened feed's); text written anew is held here.
class FeedBytes final
{
public:
    FeedBytes() = default;
    explicit FeedBytes(QByteArray bytes) { appendText(std::move(bytes)); }

    void appendView(QByteArrayView bytes);
    void appendText(QByteArray bytes);

    [[nodiscard]] const QList<QByteArrayView> &parts() const { return m_parts; }
    [[nodiscard]] qsizetype size() const;
    [[nodiscard]] QByteArray joined() const;

private:
    QList<QByteArray> m_owned;
    QList<QByteArrayView> m_parts;
};
