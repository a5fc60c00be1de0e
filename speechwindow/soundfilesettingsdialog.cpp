#include "speechwindow/soundfilesettingsdialog.h"

#include "engine/rendering/mp3encoder.h"
#include "platform/applicationtitle.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

const std::pair<SoundFileSettings::EvenLoudness, QString> EvenLoudnessChoices[] = {
    {SoundFileSettings::EvenLoudness::Mp3AndOgg, QStringLiteral("MP3 and Ogg files")},
    {SoundFileSettings::EvenLoudness::AllFormats, QStringLiteral("All sound files")},
    {SoundFileSettings::EvenLoudness::Off, QStringLiteral("Off")},
};

} // namespace

SoundFileSettingsDialog::SoundFileSettingsDialog(FileDialogs &fileDialogs, QWidget *parent)
    : QDialog(parent), m_fileDialogs(fileDialogs)
{
    setWindowTitle(QStringLiteral("Sound file settings - ") + applicationTitle());
    auto *form = new QFormLayout(this);

    bitrate = new QComboBox(this);
    for (const int kbps : Mp3Encoder::Bitrates)
        bitrate->addItem(QStringLiteral("%1 kbps").arg(kbps), kbps);
    bitrate->setAccessibleName(QStringLiteral("MP3 bitrate"));
    form->addRow(QStringLiteral("MP3 &bitrate:"), bitrate);

    evenLoudness = new QComboBox(this);
    for (const auto &[value, text] : EvenLoudnessChoices)
        evenLoudness->addItem(text, int(value));
    evenLoudness->setAccessibleName(QStringLiteral("Even loudness for podcasts"));
    evenLoudness->setAccessibleDescription(QStringLiteral("-16 LUFS, true peak at most -1 dBTP"));
    form->addRow(QStringLiteral("&Even loudness for podcasts:"), evenLoudness);

    transcripts = new QCheckBox(QStringLiteral("&Transcripts and chapters beside the sound file"), this);
    transcripts->setAccessibleName(QStringLiteral("Transcripts and chapters beside the sound file"));
    form->addRow(transcripts);

    artist = new QLineEdit(this);
    artist->setAccessibleName(QStringLiteral("Artist"));
    form->addRow(QStringLiteral("&Artist:"), artist);
    album = new QLineEdit(this);
    album->setAccessibleName(QStringLiteral("Album"));
    form->addRow(QStringLiteral("A&lbum:"), album);

    coverImage = new QLineEdit(this);
    coverImage->setAccessibleName(QStringLiteral("Cover image"));
    coverImage->setPlaceholderText(QStringLiteral("No cover"));
    chooseCoverImage = new QPushButton(QStringLiteral("C&hoose..."), this);
    chooseCoverImage->setAccessibleName(QStringLiteral("Choose cover image"));
    auto *cover = new QHBoxLayout;
    cover->addWidget(coverImage);
    cover->addWidget(chooseCoverImage);
    form->addRow(QStringLiteral("&Cover image:"), cover);
    // The labels name their fields for screen readers too.
    for (QWidget *field :
         {static_cast<QWidget *>(bitrate), static_cast<QWidget *>(evenLoudness),
          static_cast<QWidget *>(artist), static_cast<QWidget *>(album), static_cast<QWidget *>(coverImage)})
        if (auto *label = qobject_cast<QLabel *>(form->labelForField(field)))
            label->setBuddy(field);
    if (auto *label = qobject_cast<QLabel *>(form->labelForField(cover)))
        label->setBuddy(coverImage);

    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    form->addRow(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(chooseCoverImage, &QPushButton::clicked, this, &SoundFileSettingsDialog::chooseCover);
    m_coverDialog.Filter = QStringLiteral("Images (*.jpg;*.jpeg;*.png)|*.jpg;*.jpeg;*.png");
}

SoundFileSettingsDialog *SoundFileSettingsDialog::showFor(QWidget *parent, FileDialogs &fileDialogs)
{
    auto *dialog = new SoundFileSettingsDialog(fileDialogs, parent);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setSettings(SoundFileSettings::load());
    connect(dialog, &QDialog::accepted, dialog, [dialog] { dialog->settings().save(); });
    dialog->open();
    return dialog;
}

void SoundFileSettingsDialog::setSettings(const SoundFileSettings &settings)
{
    bitrate->setCurrentIndex(std::max(0, bitrate->findData(settings.mp3Bitrate)));
    evenLoudness->setCurrentIndex(std::max(0, evenLoudness->findData(int(settings.evenLoudness))));
    transcripts->setChecked(settings.transcripts);
    artist->setText(settings.artist);
    album->setText(settings.album);
    coverImage->setText(settings.coverImagePath);
}

SoundFileSettings SoundFileSettingsDialog::settings() const
{
    SoundFileSettings settings;
    settings.mp3Bitrate = bitrate->currentData().toInt();
    settings.evenLoudness = SoundFileSettings::EvenLoudness(evenLoudness->currentData().toInt());
    settings.transcripts = transcripts->isChecked();
    settings.artist = artist->text();
    settings.album = album->text();
    settings.coverImagePath = coverImage->text();
    return settings;
}

void SoundFileSettingsDialog::chooseCover()
{
    if (!coverImage->text().isEmpty())
        m_coverDialog.FileName = coverImage->text();
    if (m_fileDialogs.ShowOpen(this, m_coverDialog))
        coverImage->setText(m_coverDialog.FileName);
}
