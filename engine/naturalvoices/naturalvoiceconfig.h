#pragma once

#include <QByteArray>
#include <QHash>
#include <QString>

#include <cstdint>
#include <optional>
#include <vector>

// A natural voice's configuration, the NAME.onnx.json beside its model: how its text becomes
// the model's phoneme ids, and how the model is run.
struct NaturalVoiceConfig
{
    int sampleRate = 0;
    QString espeakVoice;  // the espeak-ng voice whose phonemes the model was trained on
    QString languageCode; // "en_US"
    QString quality;      // "x_low", "low", "medium", "high"
    QString dataset;      // the voice's own name, "joe"
    float noiseScale = 0.667f;
    float lengthScale = 1.0f;
    float noiseWidth = 0.8f;
    int speakerCount = 1;
    int hopLength = 256; // samples per frame of a durations output
    // Each phoneme (one or more code points, decomposed) and the ids it stands for.
    QHash<QString, std::vector<std::int64_t>> phonemeIds;

    // The configuration in the bytes, or a readable reason why it cannot be used.
    struct Result;
    [[nodiscard]] static Result fromJson(const QByteArray &json);
};

struct NaturalVoiceConfig::Result
{
    std::optional<NaturalVoiceConfig> config;
    QString error;
};
