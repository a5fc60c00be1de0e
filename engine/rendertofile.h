#pragma once

#include "engine/rendering/soundfileformat.h"
#include "engine/client/speechoutcome.h"
#include "engine/rendering/timedword.h"

#include <QString>

#include <functional>

class SpVoice;

// What to render, and where.
struct RenderRequest
{
    QString text;
    QString fileName;
    SoundFileFormat format = SoundFileFormat::Wav;
    // Called with the share of the text done (0 to 1); returning false cancels.
    std::function<bool(double share)> progress;
    int mp3Bitrate = 96;
    bool evenLoudness = false;
};

struct RenderedSound;

// Completes a rendered file before it replaces its target (tags): given what was rendered and
// the file's descriptor. Throws SpeechError to give the file up.
using SoundFileFinisher = std::function<void(const RenderedSound &sound, int fileDescriptor)>;

// What a completed rendering put into its file.
struct RenderedSound
{
    qint64 frames = 0;
    int sampleRate = 0;
    // Passages the engine failed on: the file holds everything else.
    QList<SkippedPassage> skippedPassages;
    // The spoken words of the text, in order, with their frames.
    QList<TimedWord> words;
    [[nodiscard]] double seconds() const { return sampleRate > 0 ? double(frames) / sampleRate : 0.0; }
};

// Speaks the text in the voice into a new sound file, which replaces any earlier file of that
// name only once it is complete. Throws SpeechError on a failure and SpeechCancelled when the
// progress callback cancels; either way an earlier file stays as it was and nothing is left
// behind.
RenderedSound renderToFile(SpVoice &voice, const RenderRequest &request, const SoundFileFinisher &finish = {});
