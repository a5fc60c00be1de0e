#pragma once

#include "documents/documentloadcontrol.h"
#include "documents/documentparagraph.h"

#include <QObject>
#include <QString>

#include <memory>

class QThread;

// Reads one document on a thread of its own, so that the window stays responsive however long
// the document is. The outcome is there once finished() was emitted: paragraphs, or a failure's
// description, or neither when the load was cancelled.
class BackgroundDocumentLoad final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(BackgroundDocumentLoad)

public:
    explicit BackgroundDocumentLoad(QString path, QObject *parent = nullptr);
    // Cancels a load still running and waits for its thread.
    ~BackgroundDocumentLoad() override;

    void start();
    void cancel() { m_control.cancel(); }

    // 0 to 1 of the document read so far.
    [[nodiscard]] double share() const { return m_control.share(); }
    [[nodiscard]] bool isFinished() const { return m_finished; }
    [[nodiscard]] bool wasCancelled() const { return m_control.isCancelled(); }
    [[nodiscard]] const QString &errorDescription() const { return m_errorDescription; }
    [[nodiscard]] DocumentParagraphs takeParagraphs() { return std::move(m_paragraphs); }

Q_SIGNALS:
    void finished();

private:
    void run();

    QString m_path;
    DocumentLoadControl m_control;
    std::unique_ptr<QThread> m_thread;
    bool m_finished = false;
    // Written by the thread, read only after it has finished.
    DocumentParagraphs m_paragraphs;
    QString m_errorDescription;
};
