#include "speechwindow/readinghighlight.h"

#include "engine/reading/readingtimeline.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextLayout>

#include <algorithm>

namespace {

// Marks our extra selection among any others the text box shows.
constexpr int HighlightProperty = QTextFormat::UserProperty + 16;
// How often to look while no next word is known yet, or while the reading is paused.
constexpr int IdleLookMs = 100;

bool isOurs(const QTextEdit::ExtraSelection &selection)
{
    return selection.format.hasProperty(HighlightProperty);
}

} // namespace

ReadingHighlight::ReadingHighlight(QPlainTextEdit &textBox, QObject *parent)
    : QObject(parent), m_textBox(textBox)
{
    m_timer.setSingleShot(true);
    // A word lasts a few hundred milliseconds; the coarse timer's 5 % slack would show.
    m_timer.setTimerType(Qt::PreciseTimer);
    connect(&m_timer, &QTimer::timeout, this, &ReadingHighlight::update);
}

ReadingHighlight::~ReadingHighlight()
{
    // The text box may be going away too; only forget the reading.
    m_timeline.reset();
}

void ReadingHighlight::follow(std::shared_ptr<const ReadingTimeline> timeline, SpokenText spoken)
{
    detach();
    if (!timeline) {
        show(std::nullopt);
        return;
    }
    m_timeline = std::move(timeline);
    m_spoken = std::move(spoken);
    m_editWatch = connect(m_textBox.document(), &QTextDocument::contentsChange, this,
                          [this](int, int removed, int added) {
                              if (removed != 0 || added != 0)
                                  stop();
                          });
    update();
}

void ReadingHighlight::stop()
{
    detach();
    show(std::nullopt);
}

void ReadingHighlight::detach()
{
    m_timer.stop();
    disconnect(m_editWatch);
    m_timeline.reset();
}

void ReadingHighlight::update()
{
    if (!m_timeline)
        return;
    const ReadingTimeline::Now now = m_timeline->now();
    if (now.finished) {
        stop();
        return;
    }
    if (now.word)
        show(m_spoken.writtenRange(*now.word));
    // Wake when the next word is due; look now and then while none is known or the output is
    // paused, when played time stands still.
    const qint64 waitMs = now.usecsToNextWord < 0 ? IdleLookMs : (now.usecsToNextWord + 999) / 1000;
    m_timer.start(int(std::clamp<qint64>(waitMs, 1, IdleLookMs)));
}

void ReadingHighlight::show(std::optional<TextRange> word)
{
    if (word == m_shown)
        return;
    m_shown = word;
    QList<QTextEdit::ExtraSelection> selections = m_textBox.extraSelections();
    selections.removeIf(isOurs);
    if (word) {
        QTextEdit::ExtraSelection selection;
        selection.cursor = QTextCursor(m_textBox.document());
        selection.cursor.setPosition(int(word->start));
        selection.cursor.setPosition(int(word->end()), QTextCursor::KeepAnchor);
        const QPalette &palette = m_textBox.palette();
        selection.format.setBackground(palette.brush(QPalette::Active, QPalette::Highlight));
        selection.format.setForeground(palette.brush(QPalette::Active, QPalette::HighlightedText));
        selection.format.setProperty(HighlightProperty, true);
        selections.append(selection);
    }
    m_textBox.setExtraSelections(selections);
    if (word)
        keepInView(*word);
    Q_EMIT moved();
}

void ReadingHighlight::keepInView(const TextRange &word)
{
    QTextCursor cursor(m_textBox.document());
    cursor.setPosition(int(word.start));
    const QRect top = m_textBox.cursorRect(cursor);
    cursor.setPosition(int(word.end()));
    const QRect bottom = m_textBox.cursorRect(cursor);
    const QRect visible = m_textBox.viewport()->rect();
    if (top.top() >= visible.top() && bottom.bottom() <= visible.bottom())
        return;
    // The scroll bar of a plain text box counts lines. Put the word's line one below the top:
    // the reading goes down, so a page is read before the next scroll, and the line before
    // it stays for context.
    const QTextBlock block = m_textBox.document()->findBlock(int(word.start));
    const QTextLayout *layout = block.layout();
    const QTextLine line =
        layout != nullptr ? layout->lineForTextPosition(int(word.start) - block.position()) : QTextLine();
    const int lineNumber = block.firstLineNumber() + (line.isValid() ? line.lineNumber() : 0);
    m_textBox.verticalScrollBar()->setValue(std::max(0, lineNumber - 1));
}
