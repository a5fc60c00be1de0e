#pragma once

#include <QString>

// Who makes Parlora and where to find them; each value is shown and opened from one place.
namespace ParloraInfo {

[[nodiscard]] inline QString websiteAddress()
{
    return QStringLiteral("https://parlora.org/");
}

[[nodiscard]] inline QString supportAddress()
{
    return QStringLiteral("https://parlora.org/support/");
}

[[nodiscard]] inline QString makerNameAndPlace()
{
    return QStringLiteral("The Parlora Project, Lisbon");
}

} // namespace ParloraInfo
