#include "engine/rendering/passagerenderer.h"

#include "engine/client/helpersession.h"
#include "engine/client/speecherror.h"
#include "engine/rendering/backgroundwriter.h"
#include "engine/rendering/spfilestream.h"

#include <QEventLoop>

#include <deque>

#include <malloc.h>

namespace {

// Passages go out in groups fixed by the text alone, spoken from one copy of the engine: a copy
// per passage costs more than espeak-ng's synthesis of a short sentence, and fixed groups keep
// the samples independent of the number of helpers. A group ends after GroupPassages passages
// or GroupTextBytes of text (about half a minute of speech), so that a helper can finish its
// group within its look-ahead while another finishes the group before, and a crash replays
// little.
constexpr qsizetype GroupPassages = 16;
constexpr qsizetype GroupTextBytes = 600;
// Groups a helper holds: the one it speaks and the next, queued so that it never waits for us.
// Near the end each holds one, so that the last groups go to whichever helper is free first
// rather than waiting in the queue of one while another has nothing left.
constexpr std::size_t GroupsPerHelper = 2;
constexpr int WriterWaitMs = 20;
constexpr int ProgressIntervalMs = 50;

} // namespace

struct PassageRenderer::Helper
{
    std::unique_ptr<HelperSession> session;
    std::deque<qsizetype> passages;  // given and not finished, in the order it speaks them
    std::deque<qsizetype> groupEnds; // the last passage of each group it holds
    qint64 pendingBytes = 0;         // of its audio not yet in the file
};

PassageRenderer::PassageRenderer(QString helperPath, SpObjectToken voice, int helperCount, QObject *parent)
    : QObject(parent), m_helperPath(std::move(helperPath)), m_voice(std::move(voice)),
      m_helperCount(std::clamp(helperCount, 1, 8))
{
    m_writerWait.setInterval(WriterWaitMs);
    m_writerWait.setSingleShot(true);
    connect(&m_writerWait, &QTimer::timeout, this, &PassageRenderer::writeReady);
    m_progressTimer.setInterval(ProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &PassageRenderer::reportProgress);
}

PassageRenderer::~PassageRenderer()
{
    stopHelpers();
    m_writer.reset();
    m_audio.clear();
    // A file's audio went through here by the megabyte. What the allocator kept of it goes back
    // to the system, or the program would stay at its peak after every save.
    ::malloc_trim(0);
}

void PassageRenderer::start(const QList<Passage> &passages, SpFileStream &stream)
{
    m_passages = passages;
    m_stream = &stream;
    for (const Passage &passage : passages) {
        m_charactersTotal += passage.characters;
        m_textBytesLeft += passage.utf8.size();
    }
    // One helper even for no passages: it checks the voice and gives the file its rate. They
    // get their engines ready side by side.
    const qsizetype helperCount = std::clamp<qsizetype>(passages.size(), 1, m_helperCount);
    for (qsizetype i = 0; i < helperCount; ++i)
        addHelper();
    for (const auto &helper : m_helpers)
        handOut(*helper);
    m_progressTimer.start();
}

void PassageRenderer::addHelper()
{
    const std::size_t index = m_helpers.size();
    auto helper = std::make_unique<Helper>();
    helper->session = std::make_unique<HelperSession>(m_helperPath, m_voice, HelperSession::Purpose::Rendering);
    helper->session->setAdjustment(m_adjustment);
    HelperSession *session = helper->session.get();
    session->setWordMarkersWanted(m_wordMarkersWanted);
    connect(session, &HelperSession::ready, this, &PassageRenderer::helperReady);
    connect(session, &HelperSession::audioReceived, this,
            [this, index](qsizetype passage, const QByteArray &pcm) { takeAudio(index, passage, pcm); });
    connect(session, &HelperSession::wordMarked, this,
            [this](qsizetype passage, const HelperProtocol::WordMarkerPayload &word) {
                m_audio[passage].words.append(word);
            });
    connect(session, &HelperSession::passageFinished, this,
            [this, index](qsizetype passage, bool spoken) { passageFinished(index, passage, spoken); });
    connect(session, &HelperSession::failed, this, [this](const QString &description) { finish(description); });
    m_helpers.push_back(std::move(helper));
    session->start();
}

void PassageRenderer::helperReady(int sampleRate)
{
    if (m_sampleRate != 0 || m_finished)
        return;
    m_sampleRate = sampleRate;
    try {
        m_stream->beginAudio(sampleRate);
    } catch (const SpeechError &error) {
        finish(error.description());
        return;
    }
    m_writer = std::make_unique<BackgroundWriter>(*m_stream);
    writeReady(); // no passages: done already
}

void PassageRenderer::handOut(Helper &helper)
{
    const qint64 aheadBytes = lookAheadBytes();
    const auto groupsToHold = [this] {
        const bool nearEnd = m_textBytesLeft < qsizetype(m_helpers.size() * GroupsPerHelper) * GroupTextBytes;
        return nearEnd ? std::size_t(1) : GroupsPerHelper;
    };
    while (helper.groupEnds.size() < groupsToHold() && m_nextToTake < m_passages.size() &&
           helper.pendingBytes < aheadBytes) {
        QList<SessionPassage> group;
        qsizetype textBytes = 0;
        while (m_nextToTake < m_passages.size() && group.size() < GroupPassages && textBytes < GroupTextBytes) {
            const QByteArray &text = m_passages.at(m_nextToTake).utf8;
            group.append({m_nextToTake, text});
            helper.passages.push_back(m_nextToTake++);
            textBytes += text.size();
            m_textBytesLeft -= text.size();
        }
        helper.groupEnds.push_back(m_nextToTake - 1);
        helper.session->speak(std::move(group));
    }
}

qint64 PassageRenderer::lookAheadBytes() const
{
    const int seconds = std::min(LookAheadSeconds, TotalLookAheadSeconds / m_helperCount);
    return qint64(seconds) * 2 * std::max(m_sampleRate, 8000);
}

void PassageRenderer::takeAudio(std::size_t helper, qsizetype passage, const QByteArray &pcm)
{
    PassageAudio &audio = m_audio[passage];
    audio.pcm.append(pcm);
    audio.bytes += pcm.size();
    audio.helper = helper;
    m_helpers[helper]->pendingBytes += pcm.size();
    updateHold(*m_helpers[helper]);
}

void PassageRenderer::passageFinished(std::size_t index, qsizetype passage, bool spoken)
{
    Helper &helper = *m_helpers[index];
    PassageAudio &audio = m_audio[passage];
    audio.helper = index;
    audio.done = true;
    audio.spoken = spoken;
    if (!helper.passages.empty() && helper.passages.front() == passage)
        helper.passages.pop_front();
    if (!helper.groupEnds.empty() && helper.groupEnds.front() == passage)
        helper.groupEnds.pop_front();
    writeReady();
    if (!m_finished)
        handOut(helper);
}

void PassageRenderer::updateHold(Helper &helper)
{
    // The helper that holds the next passage for the file is never held back, or nothing moves.
    const qint64 aheadBytes = lookAheadBytes();
    const bool holdsNext = !helper.passages.empty() && helper.passages.front() == m_nextToWrite;
    helper.session->setHeldBack(helper.pendingBytes >= aheadBytes && !holdsNext);
}

void PassageRenderer::writeReady()
{
    if (m_finished || m_draining || !m_writer)
        return;
    // Into the file in text order, whichever helper finished first.
    for (auto next = m_audio.find(m_nextToWrite); next != m_audio.end() && next->second.done;
         next = m_audio.find(m_nextToWrite)) {
        if (m_writer->isBehind()) {
            m_writerWait.start();
            return;
        }
        PassageAudio &audio = next->second;
        if (!m_tally.record(m_passages.at(m_nextToWrite), audio.spoken)) {
            finish(m_tally.outcome().failure);
            return;
        }
        Helper &helper = *m_helpers[audio.helper];
        helper.pendingBytes -= audio.bytes;
        if (audio.spoken && audio.bytes > 0) {
            Q_EMIT passageWritten(m_nextToWrite, m_framesWritten, audio.words);
            m_framesWritten += audio.bytes / 2;
            for (QByteArray &pcm : audio.pcm)
                m_writer->write(std::move(pcm));
        }
        m_charactersDone += m_passages.at(m_nextToWrite).characters;
        m_audio.erase(next);
        ++m_nextToWrite;
        for (const auto &each : m_helpers)
            updateHold(*each);
        handOut(helper);
    }
    if (m_nextToWrite < m_passages.size())
        return;
    // All handed to the writer: once it is in the file, the rendering is done.
    m_draining = true;
    stopHelpers();
    // Called on the writer's thread; the writer, and so the call, ends before we do.
    m_writer->finish([this] {
        QMetaObject::invokeMethod(
            this, [this] { finish(m_writer ? m_writer->failure() : QString()); }, Qt::QueuedConnection);
    });
}

void PassageRenderer::reportProgress()
{
    Q_EMIT progressed(m_charactersTotal > 0 ? double(m_charactersDone) / double(m_charactersTotal) : 0.0);
}

void PassageRenderer::cancel()
{
    if (m_finished)
        return;
    m_cancelled = true;
    finish();
}

void PassageRenderer::finish(const QString &failure)
{
    if (m_finished)
        return;
    if (!failure.isEmpty())
        m_tally.setFailure(failure);
    m_finished = true;
    m_progressTimer.stop();
    m_writerWait.stop();
    stopHelpers();
    m_writer.reset(); // all in the file by now, or abandoned
    Q_EMIT finished();
}

void PassageRenderer::stopHelpers()
{
    for (const auto &helper : m_helpers)
        helper->session->stop();
}

QList<SkippedPassage> PassageRenderer::render(const QList<Passage> &passages, SpFileStream &stream,
                                              const std::function<bool(double)> &progress)
{
    QEventLoop loop;
    connect(this, &PassageRenderer::finished, &loop, &QEventLoop::quit);
    if (progress)
        connect(this, &PassageRenderer::progressed, &loop, [this, &progress](double share) {
            if (!progress(share))
                cancel();
        });
    start(passages, stream);
    if (!m_finished)
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    if (m_cancelled)
        throw SpeechCancelled();
    if (m_tally.hasFailed())
        throw SpeechError(m_tally.outcome().failure);
    if (progress)
        (void)progress(1.0);
    return m_tally.outcome().skippedPassages;
}
