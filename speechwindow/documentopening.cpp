#include "speechwindow/documentopening.h"

#include "documents/backgrounddocumentload.h"
#include "documents/documentfile.h"
#include "documents/textfileforappend.h"
#include "platform/messagebox.h"
#include "platform/progressdialogs.h"
#include "speechwindow/paragraphinsertion.h"

#include <QApplication>
#include <QDropEvent>
#include <QEventLoop>
#include <QFileInfo>
#include <QMimeData>
#include <QPlainTextEdit>
#include <QScopeGuard>
#include <QTextCursor>
#include <QTimer>

namespace {

using namespace std::chrono_literals;

// How often the progress display is brought up to date while the document is read.
constexpr auto ProgressInterval = 50ms;
// The longest the window goes without answering while paragraphs are put into the text box.
constexpr auto InsertionSlice = 20ms;
// Reading takes most of a load's time; putting the text in the text box, the rest.
constexpr double ReadingShare = 0.8;

[[nodiscard]] QStringList droppedFiles(const QMimeData *data)
{
    QStringList paths;
    if (data == nullptr || !data->hasUrls())
        return paths;
    for (const QUrl &url : data->urls()) {
        if (!url.isLocalFile())
            return {}; // a web address is dropped as text, as before
        paths.append(url.toLocalFile());
    }
    return paths;
}

} // namespace

DocumentOpening::DocumentOpening(QWidget &window, QPlainTextEdit &text, const PlatformServices &services)
    : QObject(&window), m_window(window), m_text(text), m_services(services)
{
    m_viewport = m_text.viewport();
    m_viewport->installEventFilter(this);
}

QString DocumentOpening::openFilter()
{
    const QString documents = documentFilePatterns();
    QString documentList = documents;
    documentList.replace(u';', u' ');
    return QStringLiteral("Text file (*.txt)|*.txt|Documents (%1)|%2|All supported files|*.txt;*.log;%2|"
                          "Log files (*.log)|*.log")
        .arg(documentList, documents);
}

void DocumentOpening::append(const QString &path)
{
    if (m_busy)
        return;
    m_busy = true;
    const auto notBusy = qScopeGuard([this] { m_busy = false; });
    if (isDocumentFile(path))
        appendDocument(path);
    else
        appendTextFile(path);
}

void DocumentOpening::appendTextFile(const QString &path)
{
    const TextLoadResult loaded = readTextFileForAppend(path);
    if (!loaded.isSuccess()) {
        m_services.messageBox.showMessage(&m_window, loaded.errorDescription());
        return;
    }
    if (loaded.text().isEmpty())
        return;
    // One edit at the end: the text box is written once however many lines the file has, and
    // the user can undo the load in one step. Laying out a paragraph of megabytes takes the
    // text box a while, so say that it is busy.
    QApplication::setOverrideCursor(Qt::WaitCursor);
    const auto restoreCursor = qScopeGuard([] { QApplication::restoreOverrideCursor(); });
    QTextCursor end(m_text.document());
    end.movePosition(QTextCursor::End);
    end.insertText(loaded.text());
}

void DocumentOpening::appendDocument(const QString &path)
{
    // Typing while the document goes in would land between its paragraphs.
    const bool wasReadOnly = m_text.isReadOnly();
    m_text.setReadOnly(true);
    const auto restoreEditing = qScopeGuard([this, wasReadOnly] { m_text.setReadOnly(wasReadOnly); });

    std::unique_ptr<Progress> progress = m_services.progressDialogs.start(
        &m_window, QStringLiteral("Reading %1...").arg(QFileInfo(path).fileName()));
    BackgroundDocumentLoad load(path);
    QEventLoop loop;
    connect(&load, &BackgroundDocumentLoad::finished, &loop, &QEventLoop::quit);
    const auto update = [&] {
        progress->setShare(ReadingShare * load.share());
        if (progress->wasCanceled())
            load.cancel();
    };
    QTimer ticks;
    connect(&ticks, &QTimer::timeout, &loop, update);
    load.start();
    ticks.start(ProgressInterval);
    update(); // a cancel asked for at once is seen at once
    if (!load.isFinished())
        loop.exec();
    ticks.stop();
    // Leaving early means the program is ending: the load stops with the object.
    if (!load.isFinished() || progress->wasCanceled() || load.wasCancelled())
        return;
    if (!load.errorDescription().isEmpty()) {
        progress.reset();
        m_services.messageBox.showMessage(&m_window, load.errorDescription());
        return;
    }

    ParagraphInsertion insertion(*m_text.document(), load.takeParagraphs());
    while (!insertion.insertFor(InsertionSlice)) {
        progress->setShare(ReadingShare + (1.0 - ReadingShare) * insertion.share());
        QCoreApplication::processEvents();
        if (progress->wasCanceled()) {
            insertion.undo();
            return;
        }
    }
}

bool DocumentOpening::eventFilter(QObject *watched, QEvent *event)
{
    if (watched != m_viewport)
        return QObject::eventFilter(watched, event);
    switch (event->type()) {
    case QEvent::DragEnter:
    case QEvent::DragMove: {
        auto *drag = static_cast<QDragMoveEvent *>(event);
        if (droppedFiles(drag->mimeData()).isEmpty())
            return false;
        drag->acceptProposedAction();
        return true;
    }
    case QEvent::Drop: {
        auto *drop = static_cast<QDropEvent *>(event);
        const QStringList paths = droppedFiles(drop->mimeData());
        if (paths.isEmpty())
            return false; // plain text goes in where it is dropped, as always
        drop->acceptProposedAction();
        // The drag source waits for the drop to be answered: add the files after that.
        QMetaObject::invokeMethod(
            this, [this, paths] { appendDropped(paths); }, Qt::QueuedConnection);
        return true;
    }
    default:
        return false;
    }
}

void DocumentOpening::appendDropped(const QStringList &paths)
{
    for (const QString &path : paths)
        append(path);
}
