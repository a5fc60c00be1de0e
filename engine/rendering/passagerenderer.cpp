#include "engine/rendering/passagerenderer.h"

#include "engine/client/speecherror.h"
#include "engine/client/speechhelperprocess.h"
#include "engine/client/speechoutcome.h"
#include "engine/rendering/spfilestream.h"

#include <QElapsedTimer>
#include <QScopeGuard>

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

#include <poll.h>

namespace {

// Passages go out in groups fixed by their place in the text, spoken from one copy of the engine:
// a copy per passage costs more than espeak-ng's synthesis of a short sentence. Fixed places keep
// the samples independent of the number of helpers.
constexpr qsizetype GroupSize = 16;
// How far the helpers may run ahead of the file, in passages per helper: enough to keep them
// busy past a long passage, few enough that memory stays flat for any length of text.
constexpr qsizetype PassagesAheadPerHelper = 3 * GroupSize;
constexpr std::size_t PassagesQueuedPerHelper = GroupSize;
constexpr int PollIntervalMs = 100;
constexpr std::chrono::milliseconds GatherInterval(5);
constexpr qint64 ProgressIntervalMs = 50;

// Writes into the file on a thread of its own, so that compressing (MP3, Ogg) goes on while the
// helpers synthesize. The queue is bounded; a writer that falls behind holds the renderer back.
class BackgroundWriter final
{
public:
    explicit BackgroundWriter(SpFileStream &stream) : m_stream(stream), m_thread([this] { run(); }) {}
    ~BackgroundWriter() { stop(true); }
    BackgroundWriter(const BackgroundWriter &) = delete;
    BackgroundWriter &operator=(const BackgroundWriter &) = delete;

    void write(QByteArray pcm)
    {
        std::unique_lock lock(m_mutex);
        m_space.wait(lock, [this] { return m_queuedBytes < QueueBytes || !m_failure.isEmpty(); });
        if (!m_failure.isEmpty())
            throw SpeechError(m_failure);
        m_queuedBytes += pcm.size();
        m_queue.push_back(std::move(pcm));
        m_work.notify_one();
    }

    // Waits until everything queued is in the file.
    void finish()
    {
        stop(false);
        if (!m_failure.isEmpty())
            throw SpeechError(m_failure);
    }

private:
    static constexpr qsizetype QueueBytes = 8 << 20;

    void stop(bool abandon)
    {
        {
            const std::lock_guard lock(m_mutex);
            m_closing = true;
            m_abandoned = m_abandoned || abandon;
        }
        m_work.notify_one();
        if (m_thread.joinable())
            m_thread.join();
    }

    void run()
    {
        for (;;) {
            std::unique_lock lock(m_mutex);
            m_work.wait(lock, [this] { return !m_queue.empty() || m_closing; });
            if (m_abandoned || m_queue.empty())
                return;
            const QByteArray pcm = std::move(m_queue.front());
            m_queue.pop_front();
            lock.unlock();
            try {
                m_stream.writeAudio(reinterpret_cast<const qint16 *>(pcm.constData()), pcm.size() / 2);
            } catch (const SpeechError &error) {
                lock.lock();
                m_failure = error.description();
                m_space.notify_all();
                return;
            }
            lock.lock();
            m_queuedBytes -= pcm.size();
            m_space.notify_all();
        }
    }

    SpFileStream &m_stream;
    std::mutex m_mutex;
    std::condition_variable m_work;
    std::condition_variable m_space;
    std::deque<QByteArray> m_queue;
    qsizetype m_queuedBytes = 0;
    bool m_closing = false;
    bool m_abandoned = false;
    QString m_failure;
    std::thread m_thread; // last: it starts running in the constructor
};

} // namespace

struct PassageRenderer::Helper
{
    std::unique_ptr<SpeechHelperProcess> process;
    // Sent and not finished, in the order it speaks them: the first is being spoken, the next
    // waits in its input so that it starts at once, without a round trip through us.
    std::deque<qsizetype> passages;
    QByteArray audio; // of the first so far
    QElapsedTimer sinceAudio;
};

PassageRenderer::PassageRenderer(QString helperPath, SpObjectToken voice, int helperCount)
    : m_helperPath(std::move(helperPath)), m_voice(std::move(voice)),
      m_helperCount(std::clamp(helperCount, 1, 8))
{}

PassageRenderer::~PassageRenderer()
{
    killAll();
}

QList<SkippedPassage> PassageRenderer::render(const QList<Passage> &passages, SpFileStream &stream,
                                              const std::function<bool(double)> &progress)
{
    m_passages = &passages;
    m_finished.clear();
    m_nextToTake = 0;
    m_nextToWrite = 0;
    m_words = PassageWordTimes();
    m_wordsWanted = stream.recordsEvents();
    const auto stopHelpers = qScopeGuard([this] { killAll(); });
    // One helper even for no passages: it checks the voice and gives the file its rate.
    const qsizetype helperCount = std::clamp<qsizetype>(passages.size(), 1, m_helperCount);
    for (qsizetype i = 0; i < helperCount; ++i) {
        m_helpers.push_back(std::make_unique<Helper>());
        m_helpers.back()->process = std::make_unique<SpeechHelperProcess>(
            m_helperPath, m_voice, SpeechHelperProcess::Purpose::Rendering);
        m_helpers.back()->process->setWordMarkersWanted(m_wordsWanted);
        m_helpers.back()->process->launch(); // they get their engines ready side by side
    }
    for (const auto &helper : m_helpers) {
        const int rate = helper->process->waitForHeader(QDeadlineTimer(HelperStartTimeoutMs));
        if (m_sampleRate == 0)
            m_sampleRate = rate;
    }
    stream.beginAudio(m_sampleRate);
    BackgroundWriter writer(stream);

    qsizetype total = 0;
    for (const Passage &passage : passages)
        total += passage.characters;
    qsizetype done = 0;
    QElapsedTimer sinceProgress;
    sinceProgress.start();
    QList<SkippedPassage> skipped;
    int failuresInARow = 0;
    qint64 framesQueued = 0;
    while (m_nextToWrite < passages.size()) {
        for (const auto &helper : m_helpers)
            handOut(*helper);

        std::vector<pollfd> waiting;
        for (const auto &helper : m_helpers)
            if (!helper->passages.empty())
                waiting.push_back({helper->process->audioFd(), POLLIN, 0});
        (void)::poll(waiting.data(), waiting.size(), PollIntervalMs);
        // Let the output gather for a moment: a few large reads cost far less than a wake-up
        // for every frame, and with their next passage queued the helpers never wait for us.
        std::this_thread::sleep_for(GatherInterval);
        for (const auto &helper : m_helpers)
            if (!helper->passages.empty())
                readFrom(*helper);
        checkForStalls();

        // Into the file in text order, whichever helper finished first.
        for (auto next = m_finished.find(m_nextToWrite); next != m_finished.end();
             next = m_finished.find(m_nextToWrite)) {
            const Passage &passage = passages.at(m_nextToWrite);
            if (next->second) {
                failuresInARow = 0;
                if (m_wordsWanted)
                    stream.recordWords(m_words.place(m_nextToWrite, passage, framesQueued));
                framesQueued += next->second->size() / qsizetype(sizeof(qint16));
                if (!next->second->isEmpty())
                    writer.write(std::move(*next->second));
            } else {
                skipped.append({passage.opening(), passage.line});
                if (++failuresInARow >= FailedPassagesThatEndIt)
                    throw SpeechError(engineStoppedMessage());
            }
            done += passage.characters;
            m_finished.erase(next);
            ++m_nextToWrite;
        }
        if (progress && sinceProgress.elapsed() >= ProgressIntervalMs) {
            sinceProgress.restart();
            if (!progress(total > 0 ? double(done) / double(total) : 0.0))
                throw SpeechCancelled();
        }
    }
    killAll();
    writer.finish();
    if (progress)
        (void)progress(1.0);
    return skipped;
}

void PassageRenderer::startHelper(Helper &helper)
{
    helper.process =
        std::make_unique<SpeechHelperProcess>(m_helperPath, m_voice, SpeechHelperProcess::Purpose::Rendering);
    helper.process->setWordMarkersWanted(m_wordsWanted);
    const int rate = helper.process->start(QDeadlineTimer(HelperStartTimeoutMs));
    if (m_sampleRate == 0)
        m_sampleRate = rate;
    helper.audio.clear();
    helper.sinceAudio.start();
    // What the one before had queued and not begun goes to the fresh one, the rest of a group
    // spoken together as it would have been.
    QList<QByteArray> group;
    for (const qsizetype passage : helper.passages) {
        if (passage % GroupSize == 0 && !group.isEmpty()) {
            if (!helper.process->sendGroup(group))
                throw SpeechError(engineStoppedMessage());
            group.clear();
        }
        group.append(m_passages->at(passage).utf8);
    }
    if (!group.isEmpty() && !helper.process->sendGroup(group))
        throw SpeechError(engineStoppedMessage());
}

void PassageRenderer::handOut(Helper &helper)
{
    const qsizetype ahead = PassagesAheadPerHelper * qsizetype(m_helpers.size());
    while (helper.passages.size() < PassagesQueuedPerHelper && m_nextToTake < m_passages->size() &&
           m_nextToTake - m_nextToWrite < ahead) {
        const qsizetype end = std::min(m_passages->size(), (m_nextToTake / GroupSize + 1) * GroupSize);
        QList<QByteArray> group;
        for (qsizetype passage = m_nextToTake; passage < end; ++passage)
            group.append(m_passages->at(passage).utf8);
        if (!helper.process->sendGroup(group)) {
            replaceHelper(helper); // it died between passages; its end is not read yet
            if (!helper.process->sendGroup(group))
                throw SpeechError(engineStoppedMessage());
        }
        if (helper.passages.empty())
            helper.sinceAudio.start();
        while (m_nextToTake < end)
            helper.passages.push_back(m_nextToTake++);
    }
}

void PassageRenderer::readFrom(Helper &helper)
{
    while (!helper.passages.empty()) {
        SpeechHelperProcess::Frame frame = helper.process->readFrame();
        switch (frame.kind) {
        case SpeechHelperProcess::Frame::Nothing:
            return;
        case SpeechHelperProcess::Frame::Audio:
            helper.audio += frame.audio;
            helper.sinceAudio.start();
            break;
        case SpeechHelperProcess::Frame::WordMarker:
            m_words.mark(helper.passages.front(), frame.word);
            break;
        case SpeechHelperProcess::Frame::PassageDone:
            finishPassage(helper, std::move(helper.audio));
            break;
        case SpeechHelperProcess::Frame::PassageFailed:
            finishPassage(helper, std::nullopt);
            break;
        case SpeechHelperProcess::Frame::Ended:
            replaceHelper(helper);
            return;
        }
    }
}

void PassageRenderer::finishPassage(Helper &helper, std::optional<QByteArray> audio)
{
    if (!audio)
        m_words.drop(helper.passages.front());
    m_finished[helper.passages.front()] = std::move(audio);
    helper.passages.pop_front();
    helper.audio = QByteArray();
    helper.sinceAudio.start();
}

void PassageRenderer::replaceHelper(Helper &helper)
{
    // The passage it was speaking is lost; a fresh helper goes on with the rest.
    helper.process->kill();
    if (!helper.passages.empty())
        finishPassage(helper, std::nullopt);
    startHelper(helper);
}

void PassageRenderer::checkForStalls()
{
    for (const auto &helper : m_helpers)
        if (!helper->passages.empty() && helper->sinceAudio.elapsed() > PassageStallTimeoutMs)
            replaceHelper(*helper);
}

void PassageRenderer::killAll()
{
    for (const auto &helper : m_helpers)
        if (helper->process)
            helper->process->kill();
    m_helpers.clear();
}
