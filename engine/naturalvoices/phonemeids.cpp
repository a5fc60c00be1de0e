#include "engine/naturalvoices/phonemeids.h"

#include <algorithm>

namespace {

void append(std::vector<std::int64_t> &ids, const std::vector<std::int64_t> &more)
{
    ids.insert(ids.end(), more.begin(), more.end());
}

} // namespace

std::vector<std::int64_t> phonemeIds(const NaturalVoiceConfig &config, const QString &phonemes)
{
    const std::vector<std::int64_t> &pad = config.phonemeIds.value(QStringLiteral("_"));
    std::vector<std::int64_t> ids;
    append(ids, config.phonemeIds.value(QStringLiteral("^")));
    append(ids, pad);
    for (const char32_t codePoint : phonemes.normalized(QString::NormalizationForm_D).toUcs4()) {
        const auto found = config.phonemeIds.constFind(QString::fromUcs4(&codePoint, 1));
        if (found == config.phonemeIds.constEnd())
            continue;
        append(ids, *found);
        append(ids, pad);
    }
    append(ids, config.phonemeIds.value(QStringLiteral("$")));
    return ids;
}

std::optional<std::vector<std::uint64_t>> wordStartsFromDurations(const NaturalVoiceConfig &config,
                                                                  const QString &phonemes,
                                                                  const std::vector<float> &durations,
                                                                  std::size_t wordCount)
{
    if (durations.empty())
        return std::nullopt;
    const std::size_t padIds = config.phonemeIds.value(QStringLiteral("_")).size();
    std::size_t id = 0;
    double frames = 0;
    const auto advance = [&](std::size_t ids) {
        for (std::size_t i = 0; i < ids && id < durations.size(); ++i, ++id)
            frames += std::max(0.0f, durations[id]);
    };
    advance(config.phonemeIds.value(QStringLiteral("^")).size() + padIds);
    std::vector<std::uint64_t> starts;
    bool inWord = false;
    for (const char32_t codePoint : phonemes.normalized(QString::NormalizationForm_D).toUcs4()) {
        const auto found = config.phonemeIds.constFind(QString::fromUcs4(&codePoint, 1));
        if (codePoint == U' ') {
            inWord = false;
        } else if (!inWord && found != config.phonemeIds.constEnd()) {
            starts.push_back(static_cast<std::uint64_t>(frames * config.hopLength));
            inWord = true;
        }
        if (found != config.phonemeIds.constEnd())
            advance(found->size() + padIds);
    }
    const std::size_t endIds = config.phonemeIds.value(QStringLiteral("$")).size();
    if (starts.size() != wordCount || id + endIds != durations.size())
        return std::nullopt;
    return starts;
}
