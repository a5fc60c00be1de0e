#pragma once

#include <QUrl>

// Opens a web address in the user's default browser; whether that worked is not reported.
class UrlOpener
{
public:
    virtual ~UrlOpener() = default;
    virtual void openUrl(const QUrl &url) = 0;
};
