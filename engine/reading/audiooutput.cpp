#include "engine/reading/audiooutput.h"

#include "engine/client/speecherror.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>

#include <cstdio>
#include <cstdlib>

namespace {

// Long enough to ride over a busy moment of the window's thread, short enough to be heard at once.
constexpr int BufferMs = 100;
// The server drains 100 ms; looking every 10 ms keeps it full.
constexpr int FeedIntervalMs = 10;

} // namespace

AudioOutput::AudioOutput(QObject *parent) : QObject(parent)
{
    m_feedTimer.setTimerType(Qt::PreciseTimer);
    m_feedTimer.setInterval(FeedIntervalMs);
    connect(&m_feedTimer, &QTimer::timeout, this, &AudioOutput::feed);
}

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
    stop();
    QAudioFormat format;
    format.setSampleRate(sampleRate);
    format.setChannelCount(1);
    format.setSampleFormat(QAudioFormat::Int16);
    m_sink = std::make_unique<QAudioSink>(QMediaDevices::defaultAudioOutput(), format);
    // The server starts playing once the buffer holds this much; its default (seconds) would
    // keep the first words back until the engine has spoken that far ahead.
    m_sink->setBufferSize(qsizetype(sampleRate) * 2 * BufferMs / 1000);
    m_device = m_sink->start();
    if (m_device == nullptr || m_sink->error() == QAudio::OpenError || m_sink->state() == QAudio::StoppedState) {
        m_sink.reset();
        m_device = nullptr;
        throw SpeechError(QStringLiteral("The audio output could not be opened."));
    }
    m_source = source;
    m_written = 0;
    m_chunk.clear();
    m_sourceEnded = false;
    connect(m_source, &QIODevice::readyRead, this, &AudioOutput::feed);
    m_feedTimer.start();
    feed();
}

void AudioOutput::feed()
{
    if (!m_sink || m_sink->state() == QAudio::SuspendedState || m_sink->state() == QAudio::StoppedState)
        return;
    qint64 room = m_sink->bytesFree();
    room -= room % 2; // whole samples
    while (room > 0 && !m_sourceEnded) {
        // A byte of a sample that came without its other half waits at the front.
        const qsizetype carried = m_chunk.size() % 2;
        m_chunk.resize(carried + room);
        const qint64 got = m_source->read(m_chunk.data() + carried, room - carried);
        if (got <= 0) {
            m_chunk.resize(carried);
            m_sourceEnded = m_source->atEnd();
            break;
        }
        // The server takes whole samples only; half of one would be refused.
        const qint64 whole = (carried + got) & ~qint64(1);
        const qint64 taken = m_device->write(m_chunk.constData(), whole);
        m_written += std::max<qint64>(taken, 0);
        m_chunk.remove(0, whole);
        room -= whole;
    }
    if (m_sourceEnded) {
        // The server waits for a full buffer before it plays: a reading shorter than that is
        // made up with silence, or it would never be heard.
        const qint64 missing = m_sink->bufferSize() - m_written;
        if (missing > 0) {
            const QByteArray silence(missing - missing % 2, '\0');
            m_written += std::max<qint64>(m_device->write(silence), 0);
        }
        m_feedTimer.stop();
    }
}

void AudioOutput::suspend()
{
    if (m_sink && m_sink->state() != QAudio::SuspendedState && m_sink->state() != QAudio::StoppedState)
        m_sink->suspend();
}

void AudioOutput::resume()
{
    if (m_sink && m_sink->state() == QAudio::SuspendedState) {
        m_sink->resume();
        feed();
    }
}

void AudioOutput::stop()
{
    m_feedTimer.stop();
    if (m_source)
        disconnect(m_source, nullptr, this, nullptr);
    m_source = nullptr;
    m_device = nullptr;
    if (!m_sink)
        return;
    m_sink->stop();
    // Qt 6.4's sink serves every pending event, input too, while it is destroyed: done here, that
    // would run handlers in the middle of whatever stopped the reading. From the event loop it
    // cannot.
    m_sink.release()->deleteLater();
}

void AudioOutput::exitProcess(int status)
{
    // Qt 6.4 disconnects from the sound server at static destruction without the lock its own
    // thread works under, and now and then the sound library aborts on it. Everything of ours
    // is closed by the time this is called, so its teardown is left out.
    std::fflush(nullptr);
    std::_Exit(status);
}

qint64 AudioOutput::processedUSecs() const
{
    return m_sink ? m_sink->processedUSecs() : 0;
}

bool AudioOutput::isStarved() const
{
    return m_sink && m_sourceEnded && m_sink->state() == QAudio::IdleState;
}
