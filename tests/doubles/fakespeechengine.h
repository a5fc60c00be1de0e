#pragma once

#include "engine/spvoice.h"

#include <QStringList>

#include <functional>
#include <memory>

// What a fake voice was asked to do, shared between the engine and the test.
struct FakeVoiceLog
{
    int voicesCreated = 0;
    int voicesReleased = 0;
    QStringList calls; // "Speak:<flags>:<text>", "Pause", "Resume", "Voice:<description>",
                       // "Adjust:<speed>:<pitch>:<volume>" unless all are 100
    std::function<void(const QString &call)> onCall; // sees each call as it happens
};

// A speech engine whose voices speak nothing; the test decides their running state and
// which operations fail.
class FakeSpeechEngine final : public SpeechEngine
{
public:
    explicit FakeSpeechEngine(QStringList voiceNames = {QStringLiteral("Voice One")});

    [[nodiscard]] std::unique_ptr<SpVoice> createVoice() override;

    QList<SpObjectToken> tokens;
    int runningState = SRSEDone; // what every voice's status reports
    QString speakFailure;        // when set, Speak throws it
    QString statusFailure;       // when set, Status throws it
    std::shared_ptr<FakeVoiceLog> log = std::make_shared<FakeVoiceLog>();
};
