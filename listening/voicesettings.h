#pragma once

#include "engine/protocol/voiceadjustment.h"

// The listener's speed, pitch and volume, kept in the user's settings. Nothing saved gives the
// voices' own.
class VoiceSettings final
{
public:
    [[nodiscard]] static VoiceAdjustment load();
    static void save(const VoiceAdjustment &adjustment);
};
