#include "feedwindow/episodeeditdialog.h"

#include "platform/applicationtitle.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPlainTextEdit>

#include <limits>

EpisodeEditDialog::EpisodeEditDialog(const FeedItem &item, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(applicationTitle());
    auto *form = new QFormLayout(this);
    const auto field = [this, form](const QString &label, const QString &value) {
        auto *edit = new QLineEdit(value, this);
        edit->setMaxLength(std::numeric_limits<int>::max());
        QString name = label;
        edit->setAccessibleName(name.remove(u'&'));
        form->addRow(label, edit);
        return edit;
    };
    title = field(QStringLiteral("&Title"), item.title);
    description = new QPlainTextEdit(item.description, this);
    description->setTabChangesFocus(true);
    description->setAccessibleName(QStringLiteral("Description"));
    form->addRow(QStringLiteral("&Description"), description);
    link = field(QStringLiteral("&Link"), item.link);
    date = field(QStringLiteral("Da&te"), item.date);
    author = field(QStringLiteral("A&uthor"), item.author);
    enclosureUrl = field(QStringLiteral("&Sound file address"), item.enclosureUrl);
    enclosureLength = field(QStringLiteral("Sound file si&ze"), item.enclosureLength);
    enclosureType = field(QStringLiteral("Sound file t&ype"), item.enclosureType);
    guid = field(QStringLiteral("&Guid"), item.guid);
    duration = field(QStringLiteral("Du&ration"), item.duration);
    episode = field(QStringLiteral("&Episode number"), item.episode);
    season = field(QStringLiteral("Seas&on"), item.season);
    episodeType = field(QStringLiteral("Episode ty&pe (full, trailer, bonus)"), item.episodeType);
    transcriptVttUrl = field(QStringLiteral("Transcript (&WebVTT) address"), item.transcriptVttUrl);
    transcriptSrtUrl = field(QStringLiteral("Transcript (S&ubRip) address"), item.transcriptSrtUrl);
    chaptersUrl = field(QStringLiteral("&Chapters address"), item.chaptersUrl);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &EpisodeEditDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &EpisodeEditDialog::reject);
    form->addRow(buttons);
    title->setFocus();
}

FeedItem EpisodeEditDialog::item() const
{
    FeedItem item{title->text(),        description->toPlainText(), link->text(),
                  date->text(),         author->text(),             enclosureUrl->text(),
                  enclosureLength->text(), enclosureType->text(),   guid->text(),
                  duration->text()};
    item.episode = episode->text();
    item.season = season->text();
    item.episodeType = episodeType->text();
    item.transcriptVttUrl = transcriptVttUrl->text();
    item.transcriptSrtUrl = transcriptSrtUrl->text();
    item.chaptersUrl = chaptersUrl->text();
    return item;
}
