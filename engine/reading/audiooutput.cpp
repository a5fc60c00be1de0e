#include "engine/reading/audiooutput.h"

#include "engine/client/speecherror.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

namespace {

// Long enough to ride over a busy moment of the window's thread, short enough to be heard at once.
constexpr int BufferMs = 100;

} // namespace

AudioOutput::AudioOutput(QObject *parent) : QObject(parent)
{}

AudioOutput::~AudioOutput()
{
    stop();
}

void AudioOutput::ensureAvailable()
{
    if (QMediaDevices::defaultAudioOutput().isNull())
        throw SpeechError(QStringLiteral(
            "No audio output is available. Check that a sound server is running and a device is connected."));
}

void AudioOutput::start(QIODevice *source, int sampleRate)
{
    ensureAvailable();
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    // The server starts playing once the buffer holds this much; its default (seconds) would
    // keep the first words back until the engine has spoken that far ahead.
    m_sink->setBufferSize(qsizetype(sampleRate) * 2 * BufferMs / 1000);
    m_sink->start(source);
    if (m_sink->error() == QAudio::OpenError || m_sink->state() == QAudio::StoppedState) {
        m_sink.reset();
        throw SpeechError(QStringLiteral("The audio output could not be opened."));
    }
}

void AudioOutput::suspend()
{
    if (m_sink && m_sink->state() != QAudio::SuspendedState && m_sink->state() != QAudio::StoppedState)
        m_sink->suspend();
}

void AudioOutput::resume()
{
    if (m_sink && m_sink->state() == QAudio::SuspendedState)
        m_sink->resume();
}

void AudioOutput::stop()
{
    if (!m_sink)
        return;
    m_sink->stop();
    m_sink.reset();
}

qint64 AudioOutput::processedUSecs() const
{
    return m_sink ? m_sink->processedUSecs() : 0;
}

bool AudioOutput::isStarved() const
{
    return m_sink && m_sink->state() == QAudio::IdleState;
}
