#pragma once

#include "engine/client/spobjecttokens.h"

#include <QByteArray>
#include <QList>
#include <QString>

// The installed voices in the engine's order, and the attribute queries over them.
class VoiceCatalog final
{
public:
    VoiceCatalog() = default;
    explicit VoiceCatalog(QList<SpObjectToken> orderedTokens) : m_tokens(std::move(orderedTokens)) {}

    // Reads the helper's listing (engine TAB id TAB name TAB languages [TAB naturalness] per
    // line), makes the
    // descriptions unique and orders the voices for the given locale name ("de_DE", "en-US").
    [[nodiscard]] static VoiceCatalog fromListing(const QByteArray &listing, const QString &localeName);

    [[nodiscard]] SpObjectTokens query(const QString &requiredAttributes,
                                       const QString &optionalAttributes) const;
    [[nodiscard]] const QList<SpObjectToken> &tokens() const { return m_tokens; }

private:
    QList<SpObjectToken> m_tokens;
};

// The user's language first (the most natural voice that speaks it), then everyone else by
// description; English (America) stands in when nothing matches the locale.
[[nodiscard]] QList<SpObjectToken> orderVoicesForLocale(QList<SpObjectToken> tokens,
                                                        const QString &localeName);
