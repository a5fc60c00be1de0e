#pragma once

#include "engine/protocol/voiceadjustment.h"

#include <QDialog>

class QLabel;
class QSpinBox;

// Speed, pitch and volume in percent of each voice's own.
class VoiceSettingsDialog final : public QDialog
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoiceSettingsDialog)

public:
    explicit VoiceSettingsDialog(const VoiceAdjustment &adjustment, QWidget *parent = nullptr);

    [[nodiscard]] VoiceAdjustment adjustment() const;
    // Says that the chosen voice speaks at its own pitch whatever is set here.
    void notePitchFixedFor(const QString &voiceName);

    QSpinBox *speed = nullptr;
    QSpinBox *pitch = nullptr;
    QSpinBox *volume = nullptr;
    QLabel *pitchNote = nullptr; // hidden unless the chosen voice cannot change its pitch
};
