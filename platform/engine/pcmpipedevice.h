#pragma once

#include <QIODevice>

class SpeechHelperProcess;

// The helper's audio as a sequential device that the audio output pulls from. It never blocks:
// when the helper has nothing yet, a read returns nothing and the output tries again.
class PcmPipeDevice final : public QIODevice
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(PcmPipeDevice)

public:
    explicit PcmPipeDevice(SpeechHelperProcess &helper, QObject *parent = nullptr);

    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] bool audioEnded() const { return m_ended; }
    [[nodiscard]] qint64 bytesDelivered() const { return m_delivered; }

Q_SIGNALS:
    void firstAudioDelivered();
    // The helper has closed its end: everything it said has been handed on.
    void ended();

protected:
    qint64 readData(char *data, qint64 maxSize) override;
    qint64 writeData(const char *data, qint64 maxSize) override;

private:
    SpeechHelperProcess &m_helper;
    qint64 m_delivered = 0;
    bool m_ended = false;
    bool m_hasCarry = false;
    char m_carry = 0; // half a sample held back so that reads stay whole samples
};
