#include "listening/voicesettings.h"

#include <QSettings>

namespace {

const QString SpeedKey = QStringLiteral("voice/speed");
const QString PitchKey = QStringLiteral("voice/pitch");
const QString VolumeKey = QStringLiteral("voice/volume");

} // namespace

VoiceAdjustment VoiceSettings::load()
{
    const QSettings settings;
    return VoiceAdjustment{settings.value(SpeedKey, VoiceAdjustment::DefaultPercent).toInt(),
                           settings.value(PitchKey, VoiceAdjustment::DefaultPercent).toInt(),
                           settings.value(VolumeKey, VoiceAdjustment::DefaultPercent).toInt()}
        .clamped();
}

void VoiceSettings::save(const VoiceAdjustment &adjustment)
{
    QSettings settings;
    settings.setValue(SpeedKey, adjustment.speedPercent);
    settings.setValue(PitchKey, adjustment.pitchPercent);
    settings.setValue(VolumeKey, adjustment.volumePercent);
}
