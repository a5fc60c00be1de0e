#include "documents/backgrounddocumentload.h"

#include "documents/documenterror.h"
#include "documents/documentfile.h"

#include <QThread>

#include <new>

BackgroundDocumentLoad::BackgroundDocumentLoad(QString path, QObject *parent)
    : QObject(parent), m_path(std::move(path))
{}

BackgroundDocumentLoad::~BackgroundDocumentLoad()
{
    if (m_thread) {
        m_control.cancel();
        m_thread->wait();
    }
}

void BackgroundDocumentLoad::start()
{
    m_thread.reset(QThread::create([this] { run(); }));
    connect(m_thread.get(), &QThread::finished, this, [this] {
        m_finished = true;
        Q_EMIT finished();
    });
    m_thread->start();
}

void BackgroundDocumentLoad::run()
{
    try {
        m_paragraphs = readDocument(m_path, m_control);
    } catch (const DocumentError &error) {
        m_errorDescription = error.description();
    } catch (const DocumentLoadCancelled &) {
        m_paragraphs.clear();
    } catch (const std::bad_alloc &) {
        m_errorDescription =
            QStringLiteral("There is not enough memory to read the file \"%1\".").arg(m_path);
    }
}
