#include "engine/client/speechhelperprocess.h"

#include "engine/client/speecherror.h"
#include "engine/client/speechoutcome.h"
#include "engine/protocol/helperprotocol.h"

#include <QCoreApplication>
#include <QProcessEnvironment>
#include <QThread>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <unistd.h>

namespace {

// Rendering helpers run at this niceness (0 is the default, 19 the lowest priority).
constexpr int BackgroundNiceness = 10;

using HelperProtocol::AudioDescriptor;

QString couldNotStart(const QString &reason)
{
    return QStringLiteral("The speech engine could not be started: %1").arg(reason);
}

// Sends what the socket takes now: the bytes sent, or -1 when the helper is gone.
qsizetype sendSome(int socket, const char *data, qsizetype size)
{
    qsizetype sent = 0;
    while (sent < size) {
        const ssize_t written =
            ::send(socket, data + sent, static_cast<size_t>(size - sent), MSG_NOSIGNAL | MSG_DONTWAIT);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN || errno == EWOULDBLOCK)
                return sent;
            return -1;
        }
        sent += written;
    }
    return sent;
}

QByteArray passageRequest(const QByteArray &utf8)
{
    return QByteArray(HelperProtocol::PassageKeyword.data(), qsizetype(HelperProtocol::PassageKeyword.size())) +
           ' ' + QByteArray::number(utf8.size()) + '\n' + utf8;
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

    const bool inBackground = m_purpose == Purpose::Rendering;
    m_process.setChildProcessModifier([audioWriteEnd, passageReadEnd, inBackground] {
        // Runs in the child between fork and exec, after the standard channels are set up; dup2
        // clears close-on-exec on the copies.
        ::dup2(passageReadEnd, STDIN_FILENO);
        // A file being saved yields the processor to the reading being heard and to the window.
        if (inBackground)
            (void)::setpriority(PRIO_PROCESS, 0, BackgroundNiceness);
        if (audioWriteEnd == AudioDescriptor)
            ::fcntl(AudioDescriptor, F_SETFD, 0);
        else
            ::dup2(audioWriteEnd, AudioDescriptor);
    });
    m_process.setStandardInputFile(QProcess::nullDevice());
    m_process.setStandardOutputFile(QProcess::nullDevice());
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QString::fromLatin1(HelperProtocol::ProgramPidVariable),
                       QString::number(QCoreApplication::applicationPid()));
    const int threads = m_purpose == Purpose::Rendering ? 1 : QThread::idealThreadCount();
    environment.insert(QString::fromLatin1(HelperProtocol::EngineThreadsVariable), QString::number(threads));
    m_process.setProcessEnvironment(environment);
    connect(&m_process, &QProcess::finished, this, &SpeechHelperProcess::ended);
    connect(&m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            Q_EMIT ended();
    });
    // The fork happens inside start; whether exec worked is reported later, by ended().
    m_process.start(m_helperPath, {QString::fromLatin1(HelperProtocol::SpeakCommand), m_voice.engine(),
                                   m_voice.id(), QString::number(AudioDescriptor)});
    // Only the helper writes audio and reads passages; its exit is then the end of the audio.
    ::close(audioWriteEnd);
    ::close(passageReadEnd);
    if (!m_adjustment.isDefault())
        (void)setAdjustment(m_adjustment); // before any passage, which is sent after launch
}

int SpeechHelperProcess::readHeader()
{
    if (m_sampleRate > 0)
        return m_sampleRate;
    while (m_buffer.size() < qsizetype(HelperProtocol::StreamHeaderSize)) {
        const qint64 count = fill();
        if (count < 0)
            return -1;
        if (count == 0)
            return 0;
    }
    const int rate = static_cast<int>(
        HelperProtocol::sampleRateOfStreamHeader(reinterpret_cast<const unsigned char *>(m_buffer.constData())));
    if (rate <= 0)
        return -2;
    m_sampleRate = rate;
    m_consumed = HelperProtocol::StreamHeaderSize;
    return rate;
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
    return sendRequest(passageRequest(utf8));
}

bool SpeechHelperProcess::sendGroup(const QList<QByteArray> &utf8, qsizetype quiet)
{
    // Every request is a group, a lone passage too: the helper then reads one form.
    QByteArray request =
        QByteArray(HelperProtocol::GroupKeyword.data(), qsizetype(HelperProtocol::GroupKeyword.size())) +
        ' ' + QByteArray::number(utf8.size()) + ' ' + QByteArray::number(quiet) + '\n';
    for (const QByteArray &passage : utf8) // the helper reads a whole group before it speaks
        request += passageRequest(passage);
    return sendRequest(std::move(request));
}

bool SpeechHelperProcess::sendRequest(QByteArray request)
{
    if (m_passageFd < 0)
        return false;
    m_unsent += request;
    sendPending();
    return m_passageFd >= 0;
}

void SpeechHelperProcess::sendPending()
{
    const qsizetype sent = sendSome(m_passageFd, m_unsent.constData(), m_unsent.size());
    if (sent < 0) { // gone: its end is read next
        ::close(m_passageFd);
        m_passageFd = -1;
        m_unsent.clear();
        dropWriteNotifier();
        return;
    }
    m_unsent.remove(0, sent);
    if (m_unsent.isEmpty()) {
        dropWriteNotifier();
    } else if (!m_writable) {
        // A helper that is not reading (stopped, or busy with a long group) must not hold us up.
        m_writable = std::make_unique<QSocketNotifier>(m_passageFd, QSocketNotifier::Write);
        connect(m_writable.get(), &QSocketNotifier::activated, this, &SpeechHelperProcess::sendPending);
    }
}

void SpeechHelperProcess::dropWriteNotifier()
{
    // It may be the one whose signal is being handled.
    if (m_writable) {
        m_writable->setEnabled(false);
        m_writable.release()->deleteLater();
    }
}

bool SpeechHelperProcess::setAdjustment(const VoiceAdjustment &adjustment)
{
    m_adjustment = adjustment;
    if (m_passageFd < 0)
        return false;
    const std::string request = HelperProtocol::settingsRequest(adjustment);
    return sendRequest(QByteArray(request.data(), qsizetype(request.size())));
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
                case FrameType::Heartbeat:
                    return {Frame::Heartbeat, {}, {}};
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
    return failureDescription();
}

QString SpeechHelperProcess::failureDescription()
{
    if (m_process.error() == QProcess::FailedToStart)
        return couldNotStart(m_process.errorString());
    if (m_process.exitStatus() == QProcess::CrashExit)
        return engineStoppedMessage();
    const QString reason = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    if (m_process.exitCode() == HelperProtocol::ExitFailure && !reason.isEmpty())
        return reason;
    return engineStoppedMessage();
}

void SpeechHelperProcess::kill()
{
    dropWriteNotifier();
    m_unsent.clear();
    if (m_passageFd >= 0) {
        ::close(m_passageFd);
        m_passageFd = -1;
    }
    if (m_process.state() != QProcess::NotRunning) {
        // After SIGKILL the wait is for the kernel to reap it, stopped or not: moments.
        m_process.kill();
        m_process.waitForFinished(1000);
    }
    if (m_audioFd >= 0) {
        ::close(m_audioFd);
        m_audioFd = -1;
    }
    m_ended = true;
    m_buffer.clear(); // nothing it said is wanted any more
    m_consumed = 0;
}
