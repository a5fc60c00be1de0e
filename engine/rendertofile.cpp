#include "engine/rendertofile.h"

#include "engine/rendering/spfilestream.h"
#include "engine/spvoice.h"

#include <QScopeGuard>

RenderedSound renderToFile(SpVoice &voice, const RenderRequest &request)
{
    auto stream = std::make_shared<SpFileStream>();
    stream->setFormat(request.format);
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
    voice.Speak(request.text, SVSFDefault);
    stream->Close();
    return {stream->framesWritten(), stream->sampleRate(), skipped};
}
