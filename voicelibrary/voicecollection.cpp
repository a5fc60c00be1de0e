#include "voicelibrary/voicecollection.h"

#include <QFileInfo>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>

#include <algorithm>
#include <optional>

namespace {

const QString ModelEnding = QStringLiteral(".onnx");

int qualityRank(const QString &quality)
{
    static const QStringList order{QStringLiteral("x_low"), QStringLiteral("low"), QStringLiteral("medium"),
                                   QStringLiteral("high")};
    return int(order.indexOf(quality));
}

// A path that stays under the collection's folder once resolved against it.
bool isSafePath(const QString &path)
{
    if (path.isEmpty() || path.startsWith(u'/') || path.contains(u'\\') || path.contains(u':'))
        return false;
    const QStringList parts = path.split(u'/');
    return std::none_of(parts.begin(), parts.end(), [](const QString &part) {
        return part.isEmpty() || part == QStringLiteral(".") || part == QStringLiteral("..");
    });
}

std::optional<CollectionFile> fileFrom(const QString &path, const QJsonValue &value)
{
    static const QRegularExpression md5Pattern(QStringLiteral("^[0-9a-fA-F]{32}$"));
    const QJsonObject details = value.toObject();
    CollectionFile file{path, details.value(QStringLiteral("size_bytes")).toInteger(),
                        details.value(QStringLiteral("md5_digest")).toString().toLower().toLatin1()};
    if (!isSafePath(path) || file.size <= 0 || !md5Pattern.match(QString::fromLatin1(file.md5)).hasMatch())
        return std::nullopt;
    return file;
}

std::optional<CollectionVoice> voiceFrom(const QString &key, const QJsonObject &entry)
{
    CollectionVoice voice;
    voice.key = entry.value(QStringLiteral("key")).toString(key);
    voice.name = entry.value(QStringLiteral("name")).toString(voice.key);
    voice.quality = entry.value(QStringLiteral("quality")).toString();

    const QJsonObject language = entry.value(QStringLiteral("language")).toObject();
    const QString english = language.value(QStringLiteral("name_english")).toString();
    const QString country = language.value(QStringLiteral("country_english")).toString();
    voice.language = english.isEmpty()   ? language.value(QStringLiteral("code")).toString()
                     : country.isEmpty() ? english
                                         : QStringLiteral("%1 (%2)").arg(english, country);

    const QJsonObject files = entry.value(QStringLiteral("files")).toObject();
    for (auto it = files.begin(); it != files.end(); ++it) {
        if (!it.key().endsWith(ModelEnding) || QFileInfo(it.key()).fileName().startsWith(u'.'))
            continue;
        const std::optional<CollectionFile> model = fileFrom(it.key(), it.value());
        const QString configPath = it.key() + QStringLiteral(".json");
        const std::optional<CollectionFile> config = fileFrom(configPath, files.value(configPath));
        if (model && config) {
            voice.model = *model;
            voice.config = *config;
            return voice;
        }
    }
    return std::nullopt;
}

} // namespace

QString CollectionVoice::modelFileName() const
{
    return QFileInfo(model.path).fileName();
}

namespace VoiceCollection {

QString defaultAddress()
{
    return QStringLiteral("https://huggingface.co/rhasspy/piper-voices/resolve/main/voices.json");
}

Parsed fromJson(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
        return {{},
                QStringLiteral("The voice list is not a voice collection: %1.")
                    .arg(document.isNull() ? parseError.errorString() : QStringLiteral("not a JSON object"))};
    Parsed parsed;
    const QJsonObject root = document.object();
    for (auto it = root.begin(); it != root.end(); ++it)
        if (std::optional<CollectionVoice> voice = voiceFrom(it.key(), it.value().toObject()))
            parsed.voices.append(std::move(*voice));
    if (parsed.voices.isEmpty())
        parsed.error = QStringLiteral("The voice list holds no voice that could be downloaded.");
    std::sort(parsed.voices.begin(), parsed.voices.end(),
              [](const CollectionVoice &a, const CollectionVoice &b) {
                  const int byLanguage = QString::localeAwareCompare(a.language, b.language);
                  if (byLanguage != 0)
                      return byLanguage < 0;
                  const int byName = QString::localeAwareCompare(a.name, b.name);
                  if (byName != 0)
                      return byName < 0;
                  return qualityRank(a.quality) < qualityRank(b.quality);
              });
    return parsed;
}

QUrl fileUrl(const QUrl &collectionUrl, const QString &path)
{
    QUrl relative;
    relative.setPath(path);
    return collectionUrl.resolved(relative);
}

} // namespace VoiceCollection
