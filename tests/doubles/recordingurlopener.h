#pragma once

#include "platform/urlopener.h"

#include <QList>

class RecordingUrlOpener final : public UrlOpener
{
public:
    void openUrl(const QUrl &url) override { opened.append(url); }

    QList<QUrl> opened;
};
