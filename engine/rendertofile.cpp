#include "engine/rendertofile.h"

#include "engine/rendering/spfilestream.h"
#include "engine/spvoice.h"

#include <QScopeGuard>

RenderedSound renderToFile(SpVoice &voice, const RenderRequest &request, const SoundFileFinisher &finish)
{
    auto stream = std::make_shared<SpFileStream>();
    stream->setFormat(request.format);
    stream->setMp3Bitrate(request.mp3Bitrate);
    stream->setEvenLoudness(request.evenLoudness);
    stream->Open(request.fileName, SSFMCreateForWrite, true);
    voice.setAudioOutputStream(stream);
    voice.setProgressCallback(request.progress);
    QList<SkippedPassage> skipped;
    voice.setFinishedCallback(
        [&skipped](const SpeechOutcome &outcome) { skipped = outcome.skippedPassages; });
    const auto detach = qScopeGuard([&voice] {
        voice.setAudioOutputStream(nullptr);
        voice.setProgressCallback({});
        voice.setFinishedCallback({});
    });
    // Set before the audio begins, so that the stream can leave room for what the finisher adds.
    RenderedSound sound;
    if (finish)
        stream->setBeforeCommit([&finish, &sound](int fileDescriptor) { finish(sound, fileDescriptor); });
    voice.Speak(request.text, SVSFDefault);
    sound = {stream->framesWritten(), stream->sampleRate(), skipped, stream->recordedWords()};
    stream->Close();
    sound.sampleRate = stream->sampleRate(); // set on Close when nothing was said
    return sound;
}
