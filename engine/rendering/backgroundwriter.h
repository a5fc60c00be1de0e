#pragma once

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <thread>

class SpFileStream;

// Writes audio into a file stream on a thread of its own, so that compressing (MP3, Ogg) goes on
// while the helpers synthesize and the caller's thread never waits for the disk. Nothing here
// blocks the caller but the destructor, which abandons what is queued.
class BackgroundWriter final
{
public:
    // Above this much queued, the writer is behind and the caller should stop handing it audio.
    static constexpr qsizetype QueueBytes = 8 << 20;
    // Queued pieces are joined into writes of up to this much.
    static constexpr qsizetype JoinedBytes = 256 << 10;

    explicit BackgroundWriter(SpFileStream &stream);
    ~BackgroundWriter();
    BackgroundWriter(const BackgroundWriter &) = delete;
    BackgroundWriter &operator=(const BackgroundWriter &) = delete;

    void write(QByteArray pcm);
    [[nodiscard]] bool isBehind() const;
    // Once everything queued is in the file (or writing failed), done is called on the writer's
    // thread; nothing may be written after.
    void finish(std::function<void()> done);
    // Why writing failed; empty while it has not.
    [[nodiscard]] QString failure() const;

private:
    void run();

    SpFileStream &m_stream;
    mutable std::mutex m_mutex;
    std::condition_variable m_work;
    std::deque<QByteArray> m_queue;
    qsizetype m_queuedBytes = 0;
    bool m_closing = false;
    bool m_abandoned = false;
    std::function<void()> m_done;
    QString m_failure;
    std::thread m_thread; // last: it starts running in the constructor
};
