#pragma once

#include <QList>

// What the PulseAudio server says about the streams playing on it, read with pactl.
struct SinkInput
{
    bool corked = false;
};

[[nodiscard]] QList<SinkInput> sinkInputs();
[[nodiscard]] bool soundServerReachable();
