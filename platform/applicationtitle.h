#pragma once

#include <QString>

// The caption of both windows and of every message box.
[[nodiscard]] inline QString applicationTitle()
{
    return QStringLiteral("Parlora");
}
