#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QUrl>

// A collection of natural voices to download, read from a voices.json in Piper's format.

struct CollectionFile
{
    QString path; // relative to the collection's folder
    qint64 size = 0;
    QByteArray md5; // hexadecimal, lower case
};

struct CollectionVoice
{
    QString key;      // "en_US-joe-medium"
    QString name;     // "joe"
    QString language; // "English (United States)"
    QString quality;  // "x_low", "low", "medium", "high"
    CollectionFile model;
    CollectionFile config;

    // The model's file name, the name the voice is installed under.
    [[nodiscard]] QString modelFileName() const;
    [[nodiscard]] qint64 size() const { return model.size + config.size; }
};

namespace VoiceCollection {

// Piper's own collection.
[[nodiscard]] QString defaultAddress();

struct Parsed
{
    QList<CollectionVoice> voices; // by language, name and quality
    QString error;
};
// Entries without a usable model and configuration are left out; a collection with none is an
// error.
[[nodiscard]] Parsed fromJson(const QByteArray &json);

// Where one of a voice's files is: its path is relative to the collection's own address.
[[nodiscard]] QUrl fileUrl(const QUrl &collectionUrl, const QString &path);

} // namespace VoiceCollection
