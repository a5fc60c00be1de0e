#include "engine/client/speechhelperprocess.h"

#include "engine/client/speecherror.h"
#include "engine/client/speechoutcome.h"
#include "engine/protocol/helperprotocol.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

using HelperProtocol::AudioDescriptor;

QString couldNotStart(const QString &reason)
{
    return QStringLiteral("The speech engine could not be started: %1").arg(reason);
}

bool sendAll(int socket, const char *data, qsizetype size)
{
    while (size > 0) {
        const ssize_t written = ::send(socket, data, static_cast<size_t>(size), MSG_NOSIGNAL);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        data += written;
        size -= written;
    }
    return true;
}

} // namespace

SpeechHelperProcess::SpeechHelperProcess(QString helperPath, SpObjectToken voice, Purpose purpose,
                                         QObject *parent)
    : QObject(parent), m_helperPath(std::move(helperPath)), m_voice(std::move(voice)), m_purpose(purpose)
{}

SpeechHelperProcess::~SpeechHelperProcess()
{
    kill();
}

int SpeechHelperProcess::start(QDeadlineTimer deadline)
{
    launch();
    return waitForHeader(deadline);
}

void SpeechHelperProcess::launch()
{
    int audio[2];
    int passages[2];
    if (::pipe2(audio, O_CLOEXEC) != 0)
        throw SpeechError(couldNotStart(QString::fromLocal8Bit(strerror(errno))));
    // A socket, so that a passage sent to a helper that has just died fails instead of raising
    // SIGPIPE in the program.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, passages) != 0) {
        ::close(audio[0]);
        ::close(audio[1]);
        throw SpeechError(couldNotStart(QString::fromLocal8Bit(strerror(errno))));
    }
    m_audioFd = audio[0];
    m_passageFd = passages[0];
    const int audioWriteEnd = audio[1];
    const int passageReadEnd = passages[1];
    ::fcntl(m_audioFd, F_SETFL, ::fcntl(m_audioFd, F_GETFL) | O_NONBLOCK);
    if (m_purpose == Purpose::Rendering)
        ::fcntl(m_audioFd, F_SETPIPE_SZ, 1 << 20); // fewer round trips; a smaller pipe still works

    m_process.setChildProcessModifier([audioWriteEnd, passageReadEnd] {
        // Runs in the child between fork and exec, after the standard channels are set up; dup2
        // clears close-on-exec on the copies.
        ::dup2(passageReadEnd, STDIN_FILENO);
        if (audioWriteEnd == AudioDescriptor)
            ::fcntl(AudioDescriptor, F_SETFD, 0);
        else
            ::dup2(audioWriteEnd, AudioDescriptor);
    });
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    m_process.start(m_helperPath, {QString::fromLatin1(HelperProtocol::SpeakCommand), m_voice.engine(),
                                   m_voice.id(), QString::number(AudioDescriptor)});
    const bool started = m_process.waitForStarted(10000);
    // Only the helper writes audio and reads passages; its exit is then the end of the audio.
    ::close(audioWriteEnd);
    ::close(passageReadEnd);
    if (!started)
        throw SpeechError(couldNotStart(m_process.errorString()));
    if (!m_adjustment.isDefault())
        (void)setAdjustment(m_adjustment); // a helper that died at once is found out by its header
}

int SpeechHelperProcess::waitForHeader(QDeadlineTimer deadline)
{
    unsigned char header[HelperProtocol::StreamHeaderSize];
    while (m_buffer.size() < qsizetype(sizeof header)) {
        const qint64 count = fill();
        if (count < 0 || (count == 0 && !waitReadable(deadline)))
            break;
    }
    if (m_buffer.size() >= qsizetype(sizeof header)) {
        memcpy(header, m_buffer.constData(), sizeof header);
        m_sampleRate = static_cast<int>(HelperProtocol::sampleRateOfStreamHeader(header));
        m_consumed = sizeof header;
    }
    if (m_sampleRate <= 0) {
        const QString failure = deadline.hasExpired()
                                    ? QStringLiteral("The speech engine did not respond in time.")
                                    : failureAfterEnd();
        kill();
        throw SpeechError(failure.isEmpty() ? engineStoppedMessage() : failure);
    }
    return m_sampleRate;
}

bool SpeechHelperProcess::sendPassage(const QByteArray &utf8)
{
    if (m_passageFd < 0)
        return false;
    const QByteArray request =
        QByteArray(HelperProtocol::PassageKeyword.data(), qsizetype(HelperProtocol::PassageKeyword.size())) +
        ' ' + QByteArray::number(utf8.size()) + '\n' + utf8;
    // Passages are small and few wait in the pipe, so this never blocks for long.
    return sendAll(m_passageFd, request.constData(), request.size());
}

bool SpeechHelperProcess::sendGroup(const QList<QByteArray> &utf8)
{
    if (utf8.size() == 1)
        return sendPassage(utf8.front());
    if (m_passageFd < 0)
        return false;
    QByteArray request =
        QByteArray(HelperProtocol::GroupKeyword.data(), qsizetype(HelperProtocol::GroupKeyword.size())) +
        ' ' + QByteArray::number(utf8.size()) + '\n';
    for (const QByteArray &passage : utf8) // the helper reads a whole group before it speaks
        request += QByteArray(HelperProtocol::PassageKeyword.data(),
                              qsizetype(HelperProtocol::PassageKeyword.size())) +
                   ' ' + QByteArray::number(passage.size()) + '\n' + passage;
    return sendAll(m_passageFd, request.constData(), request.size());
}

bool SpeechHelperProcess::setAdjustment(const VoiceAdjustment &adjustment)
{
    m_adjustment = adjustment;
    if (m_passageFd < 0)
        return false;
    const std::string request = HelperProtocol::settingsRequest(adjustment);
    return sendAll(m_passageFd, request.data(), qsizetype(request.size()));
}

qint64 SpeechHelperProcess::fill()
{
    if (m_ended || m_audioFd < 0)
        return -1;
    if (m_consumed > 0 && m_consumed == m_buffer.size()) {
        m_buffer.clear();
        m_consumed = 0;
    }
    constexpr qsizetype ReadSize = 1 << 16;
    const qsizetype old = m_buffer.size();
    m_buffer.resize(old + ReadSize);
    for (;;) {
        const ssize_t count = ::read(m_audioFd, m_buffer.data() + old, ReadSize);
        if (count > 0) {
            m_buffer.resize(old + count);
            return count;
        }
        m_buffer.resize(old);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK))
            return 0;
        m_ended = true;
        return -1;
    }
}

SpeechHelperProcess::Frame SpeechHelperProcess::readFrame()
{
    using namespace HelperProtocol;
    for (;;) {
        const qsizetype available = m_buffer.size() - m_consumed;
        if (available >= qsizetype(FrameHeaderSize)) {
            const auto *header = reinterpret_cast<const unsigned char *>(m_buffer.constData() + m_consumed);
            const std::uint32_t size = payloadSizeOfFrameHeader(header);
            if (size > MaxFramePayload)
                return {Frame::Ended, {}, {}};
            if (available >= qsizetype(FrameHeaderSize + size)) {
                const char *payload = m_buffer.constData() + m_consumed + FrameHeaderSize;
                m_consumed += qsizetype(FrameHeaderSize + size);
                switch (FrameType(header[0])) {
                case FrameType::Audio:
                    return {Frame::Audio, QByteArray(payload, qsizetype(size)), {}};
                case FrameType::PassageDone:
                    return {Frame::PassageDone, {}, {}};
                case FrameType::PassageFailed:
                    return {Frame::PassageFailed, {}, {}};
                case FrameType::WordMarker:
                    if (!m_wordMarkersWanted || size != WordMarkerSize)
                        continue;
                    return {Frame::WordMarker,
                            {},
                            wordMarkerOfPayload(reinterpret_cast<const unsigned char *>(payload))};
                default:
                    continue; // anything newer: not used here
                }
            }
        }
        // Keep the unread rest at the front so the buffer does not grow.
        if (m_consumed > 0) {
            m_buffer.remove(0, m_consumed);
            m_consumed = 0;
        }
        const qint64 count = fill();
        if (count < 0)
            return {Frame::Ended, {}, {}};
        if (count == 0)
            return {};
    }
}

bool SpeechHelperProcess::waitReadable(QDeadlineTimer deadline)
{
    if (m_audioFd < 0 || m_ended)
        return true;
    pollfd request{m_audioFd, POLLIN, 0};
    for (;;) {
        const int timeout =
            deadline.isForever() ? -1 : static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1 << 30));
        const int ready = ::poll(&request, 1, timeout);
        if (ready > 0)
            return true;
        if (ready == 0 || errno != EINTR)
            return false;
    }
}

QString SpeechHelperProcess::failureAfterEnd()
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(5000))
        return QStringLiteral("The speech engine did not finish.");
    if (m_process.exitStatus() == QProcess::CrashExit)
        return engineStoppedMessage();
    const QString reason = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    if (m_process.exitCode() == HelperProtocol::ExitFailure && !reason.isEmpty())
        return reason;
    return engineStoppedMessage();
}

void SpeechHelperProcess::kill()
{
    if (m_passageFd >= 0) {
        ::close(m_passageFd);
        m_passageFd = -1;
    }
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    if (m_audioFd >= 0) {
        ::close(m_audioFd);
        m_audioFd = -1;
    }
    m_ended = true;
    m_buffer.clear(); // nothing it said is wanted any more
    m_consumed = 0;
}
