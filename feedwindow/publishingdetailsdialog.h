#pragma once

#include "feed/publishingdetails.h"

#include <QDialog>

class MessageBox;
class QCheckBox;
class QComboBox;
class QLineEdit;

// "Publishing details": what directories such as Apple Podcasts require of a feed. OK keeps
// the dialog open until the values are valid.
class PublishingDetailsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PublishingDetailsDialog)

public:
    PublishingDetailsDialog(MessageBox &messageBox, const PublishingDetails &details, QWidget *parent);

    [[nodiscard]] PublishingDetails details() const;

    QLineEdit *language = nullptr;
    QLineEdit *artworkUrl = nullptr;
    QComboBox *category = nullptr;
    QComboBox *subcategory = nullptr;
    QCheckBox *explicitContent = nullptr;
    QLineEdit *ownerName = nullptr;
    QLineEdit *ownerEmail = nullptr;
    QLineEdit *feedUrl = nullptr;
    // Not part of the feed: remembered for the speech window, which fills Podcast file/Url with it.
    QLineEdit *soundFilesAddress = nullptr;

    void accept() override;

private:
    void fillSubcategories();

    MessageBox &m_messageBox;
    // As the dialog was opened: a category outside Apple's list is shown and kept.
    PublishingDetails m_before;
};
