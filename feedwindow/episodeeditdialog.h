#pragma once

#include "feed/feeditem.h"

#include <QDialog>

class QLineEdit;
class QPlainTextEdit;

// One episode with every value the feed gives it, to correct any of them.
class EpisodeEditDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(EpisodeEditDialog)

public:
    EpisodeEditDialog(const FeedItem &item, QWidget *parent);

    [[nodiscard]] FeedItem item() const;

    QLineEdit *title = nullptr;
    QPlainTextEdit *description = nullptr;
    QLineEdit *link = nullptr;
    QLineEdit *date = nullptr;
    QLineEdit *author = nullptr;
    QLineEdit *enclosureUrl = nullptr;
    QLineEdit *enclosureLength = nullptr;
    QLineEdit *enclosureType = nullptr;
    QLineEdit *guid = nullptr;
    QLineEdit *duration = nullptr;
    QLineEdit *episode = nullptr;
    QLineEdit *season = nullptr;
    QLineEdit *episodeType = nullptr;
    QLineEdit *transcriptVttUrl = nullptr;
    QLineEdit *transcriptSrtUrl = nullptr;
    QLineEdit *chaptersUrl = nullptr;
};
