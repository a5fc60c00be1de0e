#pragma once

#include <atomic>

// Shared by a document load running on a worker thread and the window that waits for it: the
// reader reports how far it is, the window may ask it to stop.
class DocumentLoadControl final
{
public:
    // share: 0 to 1 of the document read. Throws DocumentLoadCancelled once cancel() was called,
    // so every reader stops at its next report.
    void report(double share);
    void cancel() { m_cancelled.store(true, std::memory_order_relaxed); }

    [[nodiscard]] bool isCancelled() const { return m_cancelled.load(std::memory_order_relaxed); }
    [[nodiscard]] double share() const { return m_share.load(std::memory_order_relaxed); }

private:
    std::atomic<bool> m_cancelled{false};
    std::atomic<double> m_share{0.0};
};
