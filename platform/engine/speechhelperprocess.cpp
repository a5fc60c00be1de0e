#include "platform/engine/speechhelperprocess.h"

#include "platform/engine/speecherror.h"
#include "platform/helper/helperprotocol.h"

#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

namespace {

using HelperProtocol::AudioDescriptor;

QString stoppedUnexpectedly()
{
    return QStringLiteral("The speech engine stopped unexpectedly.");
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

void SpeechHelperProcess::start(const QString &text)
{
    int fds[2];
    if (::pipe2(fds, O_CLOEXEC) != 0)
        throw SpeechError(QStringLiteral("The speech engine could not be started: %1")
                              .arg(QString::fromLocal8Bit(strerror(errno))));
    m_audioFd = fds[0];
    const int writeEnd = fds[1];
    ::fcntl(m_audioFd, F_SETFL, ::fcntl(m_audioFd, F_GETFL) | O_NONBLOCK);

    m_process.setChildProcessModifier([writeEnd] {
        // Runs in the child between fork and exec; dup2 clears close-on-exec on the copy.
        if (writeEnd == AudioDescriptor)
            ::fcntl(AudioDescriptor, F_SETFD, 0);
        else
            ::dup2(writeEnd, AudioDescriptor);
    });
    if (m_purpose == Purpose::Playback) {
        m_process.setStandardOutputFile(QProcess::nullDevice());
    } else {
        ::fcntl(m_audioFd, F_SETPIPE_SZ, 1 << 20); // fewer round trips; a smaller pipe still works
        connect(&m_process, &QProcess::readyReadStandardOutput, this,
                &SpeechHelperProcess::readProgressLines);
    }
    m_process.start(m_helperPath, {QString::fromLatin1(HelperProtocol::SpeakCommand), m_voice.engine(),
                                   m_voice.id(), QString::number(AudioDescriptor)});
    const bool started = m_process.waitForStarted(10000);
    ::close(writeEnd); // only the helper writes; its exit is then our end of the audio
    if (!started)
        throw SpeechError(
            QStringLiteral("The speech engine could not be started: %1").arg(m_process.errorString()));

    m_process.write(text.toUtf8());
    while (m_process.bytesToWrite() > 0) {
        if (!m_process.waitForBytesWritten(10000))
            break; // the helper died or stalled; the audio wait below reports it
    }
    m_process.closeWriteChannel();
}

short SpeechHelperProcess::waitReadable(QDeadlineTimer deadline)
{
    pollfd request{m_audioFd, POLLIN, 0};
    for (;;) {
        const int timeout =
            deadline.isForever() ? -1 : static_cast<int>(std::min<qint64>(deadline.remainingTime(), 1 << 30));
        const int ready = ::poll(&request, 1, timeout);
        if (ready > 0)
            return request.revents;
        if (ready == 0 || errno != EINTR)
            return 0;
    }
}

int SpeechHelperProcess::waitForFirstAudio(QDeadlineTimer deadline)
{
    unsigned char header[HelperProtocol::StreamHeaderSize];
    qint64 received = 0;
    while (received < qint64(sizeof header)) {
        const qint64 count = readAudio(reinterpret_cast<char *>(header) + received,
                                       qint64(sizeof header) - received, deadline);
        if (count < 0)
            break;
        received += count;
    }
    m_sampleRate = received == qint64(sizeof header)
                       ? static_cast<int>(HelperProtocol::sampleRateOfStreamHeader(header))
                       : 0;
    if (m_sampleRate <= 0) {
        const QString failure = failureAfterEnd();
        throw SpeechError(failure.isEmpty() ? stoppedUnexpectedly() : failure);
    }

    // Hold back until there is audio, so that a helper that dies on the first words is
    // reported here instead of as silence.
    const short events = waitReadable(deadline);
    if (events == 0)
        throw SpeechError(QStringLiteral("The speech engine did not respond in time."));
    if ((events & POLLIN) == 0) {
        m_audioEnded = true;
        const QString failure = failureAfterEnd();
        if (!failure.isEmpty())
            throw SpeechError(failure);
        return 0;
    }
    return m_sampleRate;
}

qint64 SpeechHelperProcess::readAvailableAudio(char *data, qint64 maxSize)
{
    if (m_audioEnded || m_audioFd < 0)
        return -1;
    for (;;) {
        const ssize_t count = ::read(m_audioFd, data, static_cast<size_t>(maxSize));
        if (count > 0)
            return count;
        if (count == 0) {
            m_audioEnded = true;
            return -1;
        }
        if (errno == EINTR)
            continue;
        if (errno == EAGAIN || errno == EWOULDBLOCK)
            return 0;
        m_audioEnded = true;
        return -1;
    }
}

qint64 SpeechHelperProcess::readAudio(char *data, qint64 maxSize, QDeadlineTimer deadline)
{
    for (;;) {
        const qint64 count = readAvailableAudio(data, maxSize);
        if (count != 0)
            return count;
        if (waitReadable(deadline) == 0)
            throw SpeechError(QStringLiteral("The speech engine did not respond in time."));
    }
}

QString SpeechHelperProcess::failureAfterEnd()
{
    if (m_process.state() != QProcess::NotRunning && !m_process.waitForFinished(5000)) {
        kill();
        return QStringLiteral("The speech engine did not finish.");
    }
    if (m_process.exitStatus() == QProcess::CrashExit)
        return stoppedUnexpectedly();
    if (m_process.exitCode() == HelperProtocol::ExitSuccess)
        return {};
    const QString reason = QString::fromUtf8(m_process.readAllStandardError()).trimmed();
    if (m_process.exitCode() == HelperProtocol::ExitFailure && !reason.isEmpty())
        return reason;
    return stoppedUnexpectedly();
}

void SpeechHelperProcess::kill()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(5000);
    }
    if (m_audioFd >= 0) {
        ::close(m_audioFd);
        m_audioFd = -1;
    }
    m_audioEnded = true;
}

void SpeechHelperProcess::readProgress()
{
    if (m_process.state() == QProcess::Running)
        m_process.waitForReadyRead(0);
    readProgressLines();
}

void SpeechHelperProcess::readProgressLines()
{
    while (m_process.canReadLine()) {
        const QList<QByteArray> fields = m_process.readLine().trimmed().split(' ');
        if (fields.size() == 3 && fields.at(0) == QByteArrayView(HelperProtocol::ProgressKeyword))
            Q_EMIT progressed(fields.at(1).toLongLong(), fields.at(2).toLongLong());
    }
}
