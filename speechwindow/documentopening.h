#pragma once

#include "platform/platformservices.h"

#include <QObject>
#include <QString>

class QPlainTextEdit;
class QWidget;

// Adds files to the speech window's text: text and log files as one run-on line, the way they
// have always been added, and documents (EPUB, PDF, DOCX, ODT, HTML, Markdown) as their
// paragraphs, one line each. Documents are read off the window's thread with a progress
// display that shows after half a second and can cancel; a cancelled or failed load leaves the
// text as it was. Files dropped on the text box are added the same way.
class DocumentOpening final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(DocumentOpening)

public:
    DocumentOpening(QWidget &window, QPlainTextEdit &text, const PlatformServices &services);

    // The open dialog's entries: text files, documents, all of them, log files.
    [[nodiscard]] static QString openFilter();

    // Returns once the file has been added, or refused with a message, or cancelled. Does
    // nothing while another file is being added.
    void append(const QString &path);

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void appendTextFile(const QString &path);
    void appendDocument(const QString &path);
    void appendDropped(const QStringList &paths);

    QWidget &m_window;
    QPlainTextEdit &m_text;
    // Kept from the start: while the window closes, the text box is no longer one to ask.
    QObject *m_viewport = nullptr;
    PlatformServices m_services;
    bool m_busy = false;
};
