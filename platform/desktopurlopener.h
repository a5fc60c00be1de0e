#pragma once

#include "platform/urlopener.h"

class DesktopUrlOpener final : public UrlOpener
{
public:
    void openUrl(const QUrl &url) override;
};
