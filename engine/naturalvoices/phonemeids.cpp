#include "engine/naturalvoices/phonemeids.h"

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
