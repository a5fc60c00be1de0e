#include "engine/naturalvoices/naturalvoiceconfig.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

NaturalVoiceConfig::Result refused(const QString &reason)
{
    return {std::nullopt, reason};
}

} // namespace

NaturalVoiceConfig::Result NaturalVoiceConfig::fromJson(const QByteArray &json)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(json, &parseError);
    if (!document.isObject())
        return refused(QStringLiteral("The voice's configuration is not valid JSON (%1).")
                           .arg(parseError.errorString()));
    const QJsonObject root = document.object();

    const QString phonemeType = root.value(QStringLiteral("phoneme_type")).toString(QStringLiteral("espeak"));
    if (phonemeType != QStringLiteral("espeak"))
        return refused(
            QStringLiteral("The voice uses \"%1\" phonemes; only voices with espeak phonemes can be used.")
                .arg(phonemeType));

    NaturalVoiceConfig config;
    const QJsonObject audio = root.value(QStringLiteral("audio")).toObject();
    config.sampleRate = audio.value(QStringLiteral("sample_rate")).toInt();
    if (config.sampleRate < 8000 || config.sampleRate > 96000)
        return refused(
            QStringLiteral("The voice's configuration has no usable sample rate (audio.sample_rate)."));
    config.quality = audio.value(QStringLiteral("quality")).toString();

    config.espeakVoice =
        root.value(QStringLiteral("espeak")).toObject().value(QStringLiteral("voice")).toString();
    if (config.espeakVoice.isEmpty())
        return refused(QStringLiteral("The voice's configuration names no espeak-ng voice (espeak.voice)."));

    const QJsonObject language = root.value(QStringLiteral("language")).toObject();
    config.languageCode = language.value(QStringLiteral("code")).toString();
    if (config.languageCode.isEmpty())
        config.languageCode = config.espeakVoice;
    config.dataset = root.value(QStringLiteral("dataset")).toString();

    const QJsonObject inference = root.value(QStringLiteral("inference")).toObject();
    config.noiseScale = float(inference.value(QStringLiteral("noise_scale")).toDouble(config.noiseScale));
    config.lengthScale = float(inference.value(QStringLiteral("length_scale")).toDouble(config.lengthScale));
    config.noiseWidth = float(inference.value(QStringLiteral("noise_w")).toDouble(config.noiseWidth));
    if (!(config.lengthScale > 0.0f))
        return refused(QStringLiteral("The voice's length scale (inference.length_scale) must be above 0."));

    config.speakerCount = root.value(QStringLiteral("num_speakers")).toInt(1);
    if (config.speakerCount < 1)
        return refused(QStringLiteral("The voice's speaker count (num_speakers) must be at least 1."));
    config.hopLength = root.value(QStringLiteral("hop_length")).toInt(config.hopLength);

    const QJsonObject map = root.value(QStringLiteral("phoneme_id_map")).toObject();
    for (auto it = map.begin(); it != map.end(); ++it) {
        const QJsonArray ids = it.value().toArray();
        std::vector<std::int64_t> values;
        for (const QJsonValue &id : ids) {
            if (!id.isDouble() || id.toInteger(-1) < 0)
                return refused(QStringLiteral("The voice's phoneme \"%1\" has an id that is not a number.")
                                   .arg(it.key()));
            values.push_back(id.toInteger());
        }
        if (values.empty())
            return refused(QStringLiteral("The voice's phoneme \"%1\" has no id.").arg(it.key()));
        config.phonemeIds.insert(it.key().normalized(QString::NormalizationForm_D), std::move(values));
    }
    for (const char *symbol : {"_", "^", "$"}) {
        if (!config.phonemeIds.contains(QString::fromLatin1(symbol)))
            return refused(QStringLiteral("The voice's phoneme map (phoneme_id_map) lacks the symbol \"%1\".")
                               .arg(QString::fromLatin1(symbol)));
    }
    return {std::move(config), {}};
}
