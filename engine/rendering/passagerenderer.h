#pragma once

#include "engine/client/passage.h"
#include "engine/client/speechoutcome.h"
#include "engine/client/spobjecttoken.h"
#include "engine/rendering/passagewordtimes.h"

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class SpFileStream;
class SpeechHelperProcess;

// Renders passages into a sound file on several helpers at once. Each helper takes the next
// group of passages nobody has taken (groups fixed by place in the text); the file gets the audio in text
// order, so it is the same sample for sample whatever the number of helpers. A passage the engine fails on,
// or that brings no audio for a while, is skipped; three in a row end the rendering.
class PassageRenderer final
{
public:
    PassageRenderer(QString helperPath, SpObjectToken voice, int helperCount);
    ~PassageRenderer();
    PassageRenderer(const PassageRenderer &) = delete;
    PassageRenderer &operator=(const PassageRenderer &) = delete;

    // progress: the share done (0 to 1); returning false cancels (SpeechCancelled). Throws
    // SpeechError when the engine or the file fails. The stream is left open for the caller; one
    // that records events is given the spoken words' times.
    QList<SkippedPassage> render(const QList<Passage> &passages, SpFileStream &stream,
                                 const std::function<bool(double)> &progress);

private:
    struct Helper;

    void startHelper(Helper &helper);
    void handOut(Helper &helper);
    void readFrom(Helper &helper);
    void finishPassage(Helper &helper, std::optional<QByteArray> audio);
    void replaceHelper(Helper &helper);
    void checkForStalls();
    void killAll();

    QString m_helperPath;
    SpObjectToken m_voice;
    int m_helperCount;
    const QList<Passage> *m_passages = nullptr;
    std::vector<std::unique_ptr<Helper>> m_helpers;
    std::map<qsizetype, std::optional<QByteArray>> m_finished; // by passage; nullopt: skipped
    qsizetype m_nextToTake = 0;
    qsizetype m_nextToWrite = 0;
    int m_sampleRate = 0;
    bool m_wordsWanted = false; // for a stream that records events
    PassageWordTimes m_words;
};
