#include "speechwindow/voicesettingsdialog.h"

#include "platform/applicationtitle.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace {

QSpinBox *percentBox(const QString &name, int minimum, int maximum, int value, QWidget *parent)
{
    auto *box = new QSpinBox(parent);
    box->setRange(minimum, maximum);
    box->setSuffix(QStringLiteral(" %"));
    box->setSingleStep(10);
    box->setValue(value);
    box->setAccessibleName(name);
    box->setAccessibleDescription(
        QStringLiteral("In percent of the voice's own; 100 is the voice as it is."));
    return box;
}

} // namespace

VoiceSettingsDialog::VoiceSettingsDialog(const VoiceAdjustment &adjustment, QWidget *parent) : QDialog(parent)
{
    setWindowTitle(QStringLiteral("Voice settings - ") + applicationTitle());
    speed = percentBox(QStringLiteral("Speed"), VoiceAdjustment::MinSpeed, VoiceAdjustment::MaxSpeed,
                       adjustment.speedPercent, this);
    pitch = percentBox(QStringLiteral("Pitch"), VoiceAdjustment::MinPitch, VoiceAdjustment::MaxPitch,
                       adjustment.pitchPercent, this);
    volume = percentBox(QStringLiteral("Volume"), VoiceAdjustment::MinVolume, VoiceAdjustment::MaxVolume,
                        adjustment.volumePercent, this);

    auto *form = new QFormLayout;
    form->addRow(QStringLiteral("&Speed:"), speed);
    form->addRow(QStringLiteral("&Pitch:"), pitch);
    pitchNote = new QLabel(this);
    pitchNote->setWordWrap(true);
    pitchNote->hide();
    form->addRow(pitchNote);
    form->addRow(QStringLiteral("V&olume:"), volume);

    auto *buttons = new QDialogButtonBox(
        QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::RestoreDefaults, this);
    QPushButton *defaults = buttons->button(QDialogButtonBox::RestoreDefaults);
    defaults->setText(QStringLiteral("&Defaults"));
    defaults->setAccessibleName(QStringLiteral("Defaults"));
    buttons->button(QDialogButtonBox::Ok)->setAccessibleName(QStringLiteral("OK"));
    buttons->button(QDialogButtonBox::Cancel)->setAccessibleName(QStringLiteral("Cancel"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    connect(defaults, &QPushButton::clicked, this, [this] {
        for (QSpinBox *box : {speed, pitch, volume})
            box->setValue(VoiceAdjustment::DefaultPercent);
    });

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
}

void VoiceSettingsDialog::notePitchFixedFor(const QString &voiceName)
{
    const QString note = QStringLiteral("%1 keeps its own pitch: natural voices cannot speak higher or lower. "
                                        "The pitch set here is for the other voices.")
                             .arg(voiceName);
    pitchNote->setText(note);
    pitchNote->show();
    pitch->setAccessibleDescription(note);
}

VoiceAdjustment VoiceSettingsDialog::adjustment() const
{
    return {speed->value(), pitch->value(), volume->value()};
}
