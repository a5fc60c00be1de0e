#include "engine/rendering/backgroundwriter.h"

#include "engine/client/speecherror.h"
#include "engine/rendering/spfilestream.h"

BackgroundWriter::BackgroundWriter(SpFileStream &stream) : m_stream(stream), m_thread([this] { run(); })
{}

BackgroundWriter::~BackgroundWriter()
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
        m_abandoned = true;
    }
    m_work.notify_one();
    m_thread.join();
}

void BackgroundWriter::write(QByteArray pcm)
{
    const std::lock_guard lock(m_mutex);
    if (!m_failure.isEmpty() || m_closing)
        return;
    m_queuedBytes += pcm.size();
    m_queue.push_back(std::move(pcm));
    if (m_queue.size() == 1) // a thread that is writing looks at the queue again by itself
        m_work.notify_one();
}

bool BackgroundWriter::isBehind() const
{
    const std::lock_guard lock(m_mutex);
    return m_queuedBytes >= QueueBytes;
}

void BackgroundWriter::finish(std::function<void()> done)
{
    {
        const std::lock_guard lock(m_mutex);
        m_closing = true;
        m_done = std::move(done);
    }
    m_work.notify_one();
}

QString BackgroundWriter::failure() const
{
    const std::lock_guard lock(m_mutex);
    return m_failure;
}

void BackgroundWriter::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_work.wait(lock, [this] { return !m_queue.empty() || m_closing; });
        if (m_abandoned)
            return;
        if (m_queue.empty() || !m_failure.isEmpty()) {
            if (m_done)
                m_done();
            return;
        }
        // Pieces arrive as the engine makes them, a few kilobytes each; written together they
        // cost one system call instead of dozens.
        QByteArray pcm = std::move(m_queue.front());
        m_queue.pop_front();
        if (!m_queue.empty() && pcm.size() < JoinedBytes) {
            pcm.reserve(JoinedBytes);
            while (!m_queue.empty() && pcm.size() + m_queue.front().size() <= JoinedBytes) {
                pcm.append(m_queue.front());
                m_queue.pop_front();
            }
        }
        lock.unlock();
        QString failure;
        try {
            m_stream.writeAudio(reinterpret_cast<const qint16 *>(pcm.constData()), pcm.size() / 2);
        } catch (const SpeechError &error) {
            failure = error.description();
        }
        lock.lock();
        m_queuedBytes -= pcm.size();
        if (!failure.isEmpty()) {
            m_failure = failure;
            m_queue.clear();
            m_queuedBytes = 0;
        }
    }
}
