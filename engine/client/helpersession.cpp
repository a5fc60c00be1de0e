#include "engine/client/helpersession.h"

#include "engine/client/speecherror.h"
#include "engine/client/speechoutcome.h"

#include <QPointer>
#include <QSocketNotifier>

namespace {

// Read at most this much per wake-up, so that a fast helper cannot keep the thread to itself.
constexpr qint64 ReadBudgetBytes = 1 << 20;
// A renderer lets a helper's output gather for a moment: a few large reads cost far less than a
// wake-up for every frame, and with its next passages queued the helper never waits for us.
constexpr int GatherMs = 5;

} // namespace

HelperSession::HelperSession(QString helperPath, SpObjectToken voice, Purpose purpose, QObject *parent)
    : QObject(parent), m_helperPath(std::move(helperPath)), m_voice(std::move(voice)), m_purpose(purpose)
{
    const int factor = m_voice.loadsSlowly() ? SlowVoiceTimeoutFactor : 1;
    m_stallTimer.setSingleShot(true);
    m_stallTimer.setInterval(int(PassageStallTimeoutMs) * factor);
    connect(&m_stallTimer, &QTimer::timeout, this, [this] { replaceHelper(false); });
    m_startTimer.setSingleShot(true);
    m_startTimer.setInterval(HelperStartTimeoutMs * factor);
    connect(&m_startTimer, &QTimer::timeout, this,
            [this] { fail(QStringLiteral("The speech engine did not respond in time.")); });
    m_gatherTimer.setSingleShot(true);
    m_gatherTimer.setInterval(GatherMs);
    connect(&m_gatherTimer, &QTimer::timeout, this, [this] {
        if (m_readable)
            m_readable->setEnabled(!m_heldBack);
    });
}

HelperSession::~HelperSession()
{
    stop();
}

void HelperSession::start()
{
    if (!m_process && !m_failed && !m_stopped)
        launch();
}

void HelperSession::launch()
{
    // The old helper goes first: its end, reported while it is destroyed, must not be taken
    // for the new one's.
    dropNotifier();
    m_process.reset();
    m_process = std::make_unique<SpeechHelperProcess>(m_helperPath, m_voice, m_purpose);
    m_process->setWordMarkersWanted(m_wordMarkersWanted);
    (void)m_process->setAdjustment(m_adjustment);
    try {
        m_process->launch();
    } catch (const SpeechError &error) {
        fail(error.description());
        return;
    }
    // Only matters before the stream header: after it, the end of the audio tells.
    connect(m_process.get(), &SpeechHelperProcess::ended, this, [this, process = m_process.get()] {
        if (m_process.get() == process && process->sampleRate() == 0 && process->readHeader() <= 0)
            fail(process->failureDescription());
    });
    m_readable = std::make_unique<QSocketNotifier>(m_process->audioFd(), QSocketNotifier::Read);
    connect(m_readable.get(), &QSocketNotifier::activated, this, &HelperSession::readAvailable);
    m_readable->setEnabled(!m_heldBack);
    m_startTimer.start();
    for (std::size_t i = 0; i < m_groups.size(); ++i)
        send(m_groups[i], i == 0 ? m_groups[i].spoken : 0);
    updateWatch();
}

void HelperSession::speak(QList<SessionPassage> group)
{
    if (m_failed || m_stopped || group.isEmpty())
        return;
    m_groups.push_back({std::move(group), 0});
    if (!m_process)
        launch(); // sends every group
    else
        send(m_groups.back(), 0);
    updateWatch();
}

void HelperSession::send(const Group &group, qsizetype quiet)
{
    QList<QByteArray> texts;
    for (const SessionPassage &passage : group.passages)
        texts.append(passage.utf8);
    // A helper that is gone cannot take it; its end is read next, and a fresh one gets it.
    (void)m_process->sendGroup(texts, quiet);
}

void HelperSession::setHeldBack(bool heldBack)
{
    if (heldBack == m_heldBack)
        return;
    m_heldBack = heldBack;
    if (m_readable && !m_gatherTimer.isActive())
        m_readable->setEnabled(!heldBack);
    updateWatch();
    // Frames already read from the pipe would wait for more to come: take them now.
    if (!heldBack && m_process)
        QMetaObject::invokeMethod(this, &HelperSession::readAvailable, Qt::QueuedConnection);
}

void HelperSession::setWordMarkersWanted(bool wanted)
{
    m_wordMarkersWanted = wanted;
    if (m_process)
        m_process->setWordMarkersWanted(wanted);
}

void HelperSession::setAdjustment(const VoiceAdjustment &adjustment)
{
    m_adjustment = adjustment;
    if (m_process)
        (void)m_process->setAdjustment(adjustment); // one that is gone is replaced with it
}

void HelperSession::stop()
{
    m_stopped = true;
    m_stallTimer.stop();
    m_startTimer.stop();
    m_gatherTimer.stop();
    dropNotifier();
    m_process.reset();
    m_groups.clear();
}

qsizetype HelperSession::passagesInFlight() const
{
    qsizetype count = 0;
    for (const Group &group : m_groups)
        count += group.passages.size() - group.spoken;
    return count;
}

qsizetype HelperSession::currentPassage() const
{
    return m_groups.empty() ? -1 : m_groups.front().passages.at(m_groups.front().spoken).id;
}

qint64 HelperSession::processId() const
{
    return m_process ? m_process->processId() : 0;
}

void HelperSession::readAvailable()
{
    if (!m_process || m_heldBack)
        return;
    const QPointer<HelperSession> alive(this);
    if (m_process->sampleRate() == 0) {
        const int rate = m_process->readHeader();
        if (rate == 0)
            return;
        if (rate < 0) {
            helperEnded();
            return;
        }
        m_startTimer.stop();
        const bool first = m_sampleRate == 0;
        m_sampleRate = rate;
        if (first) {
            Q_EMIT ready(rate);
            if (!alive || m_stopped)
                return;
        }
        updateWatch();
    }
    qint64 budget = ReadBudgetBytes;
    while (budget > 0 && m_process && !m_heldBack) {
        SpeechHelperProcess::Frame frame = m_process->readFrame();
        if (frame.kind == SpeechHelperProcess::Frame::Nothing)
            break;
        if (frame.kind == SpeechHelperProcess::Frame::Ended) {
            helperEnded();
            return;
        }
        budget -= frame.audio.size() + qint64(HelperProtocol::FrameHeaderSize);
        if (!take(frame) || !alive)
            return;
    }
    if (m_purpose == Purpose::Rendering && m_readable) {
        m_readable->setEnabled(false);
        m_gatherTimer.start();
    }
}

bool HelperSession::take(SpeechHelperProcess::Frame &frame)
{
    if (m_groups.empty())
        return true; // a broken helper says more than it was asked; nobody wants it
    const QPointer<HelperSession> alive(this);
    const qsizetype passage = currentPassage();
    updateWatch();
    switch (frame.kind) {
    case SpeechHelperProcess::Frame::Audio: {
        const qint64 before = m_passageBytes;
        m_passageBytes += frame.audio.size();
        if (m_passageBytes <= m_bytesHeard)
            break; // heard before the last helper died
        if (before < m_bytesHeard)
            frame.audio.remove(0, m_bytesHeard - before);
        Q_EMIT audioReceived(passage, frame.audio);
        break;
    }
    case SpeechHelperProcess::Frame::WordMarker:
        if (qint64(frame.word.sample) * 2 >= m_bytesHeard)
            Q_EMIT wordMarked(passage, frame.word);
        break;
    case SpeechHelperProcess::Frame::PassageDone:
        finishPassage(true);
        break;
    case SpeechHelperProcess::Frame::PassageFailed:
        finishPassage(false);
        break;
    default: // a heartbeat: only the watch needed it
        break;
    }
    return alive && !m_stopped;
}

void HelperSession::finishPassage(bool spoken)
{
    Group &group = m_groups.front();
    const qsizetype passage = group.passages.at(group.spoken).id;
    if (spoken)
        ++group.spoken;
    else
        group.passages.removeAt(group.spoken);
    if (group.spoken == group.passages.size())
        m_groups.pop_front();
    m_passageBytes = 0;
    m_bytesHeard = 0;
    m_retrying = false;
    updateWatch();
    Q_EMIT passageFinished(passage, spoken);
}

void HelperSession::helperEnded()
{
    if (m_process->sampleRate() == 0) {
        if (m_process->hasEnded()) {
            fail(m_process->failureDescription());
        } else if (m_process->readHeader() == -2) {
            fail(engineStoppedMessage()); // it speaks something else than our protocol
        } else {
            dropNotifier(); // its exit, reported by ended(), says why
        }
        return;
    }
    if (m_groups.empty()) { // an idle helper: a fresh one starts with the next passages
        dropNotifier();
        m_process.reset();
        updateWatch();
        return;
    }
    replaceHelper(!m_retrying);
}

void HelperSession::replaceHelper(bool again)
{
    dropNotifier();
    m_process.reset();
    m_gatherTimer.stop();
    if (again) {
        m_bytesHeard = std::max(m_bytesHeard, m_passageBytes);
        m_retrying = true;
    } else if (!m_groups.empty()) {
        const QPointer<HelperSession> alive(this);
        finishPassage(false);
        if (!alive || m_stopped)
            return;
    }
    m_passageBytes = 0;
    // Passing the result on may have started a helper already.
    if (!m_groups.empty() && !m_process)
        launch();
    updateWatch();
}

void HelperSession::fail(const QString &description)
{
    if (m_failed || m_stopped)
        return;
    m_failed = true;
    stop();
    m_stopped = false; // failed, not stopped by the owner: it is told
    Q_EMIT failed(description);
}

void HelperSession::dropNotifier()
{
    // It may be the one whose signal is being handled.
    if (m_readable) {
        m_readable->setEnabled(false);
        m_readable.release()->deleteLater();
    }
}

void HelperSession::updateWatch()
{
    const bool watching = m_process && !m_heldBack && !m_groups.empty() && m_process->sampleRate() > 0;
    if (watching)
        m_stallTimer.start();
    else
        m_stallTimer.stop();
}
