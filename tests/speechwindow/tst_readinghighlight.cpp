#include "engine/reading/readingtimeline.h"
#include "speechwindow/readinghighlight.h"

#include <QPlainTextEdit>
#include <QScrollBar>
#include <QTest>

// The highlight over a reading whose played time the test sets.
class TestReadingHighlight : public QObject
{
    Q_OBJECT

private:
    QPlainTextEdit m_textBox;
    std::shared_ptr<ReadingTimeline> m_timeline;
    qint64 m_played = 0;

    // A reading of the text box's words, one every 300 ms.
    void startReading(const QString &text)
    {
        m_textBox.setPlainText(text);
        m_played = 0;
        m_timeline = std::make_shared<ReadingTimeline>();
        m_timeline->setClock([this] { return m_played; });
        qint64 at = 0;
        qsizetype start = 0;
        for (const QString &word : text.split(QLatin1Char(' '))) {
            m_timeline->add(at, {start, word.size()});
            at += 300000;
            start += word.size() + 1;
        }
    }

private Q_SLOTS:
    void theHeardWordIsHighlightedWithoutTouchingTheText()
    {
        startReading(QStringLiteral("alpha beta gamma"));
        QTest::keyClick(&m_textBox, Qt::Key_Right, Qt::ShiftModifier); // the user's own selection
        const int undoSteps = m_textBox.document()->availableUndoSteps();

        ReadingHighlight highlight(m_textBox);
        highlight.follow(m_timeline);
        m_played = 350000;
        QTRY_COMPARE(highlight.highlightedWord(), (TextRange{6, 4}));
        const QList<QTextEdit::ExtraSelection> shown = m_textBox.extraSelections();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first().cursor.selectedText(), QStringLiteral("beta"));
        QCOMPARE(shown.first().format.background(), m_textBox.palette().brush(QPalette::Highlight));
        QCOMPARE(shown.first().format.foreground(), m_textBox.palette().brush(QPalette::HighlightedText));

        m_timeline->finish();
        QTRY_VERIFY(!highlight.isFollowing());
        QVERIFY(m_textBox.extraSelections().isEmpty());
        QCOMPARE(m_textBox.toPlainText(), QStringLiteral("alpha beta gamma"));
        QCOMPARE(m_textBox.textCursor().selectedText(), QStringLiteral("a"));
        QCOMPARE(m_textBox.document()->availableUndoSteps(), undoSteps);
    }

    void theWordIsKeptInView()
    {
        startReading(QStringList(400, QStringLiteral("word")).join(QLatin1Char(' ')) +
                     QStringLiteral(" last"));
        ReadingHighlight highlight(m_textBox);
        m_textBox.resize(300, 100);
        m_textBox.show();
        highlight.follow(m_timeline);
        m_played = 1000000000;
        QTRY_COMPARE(highlight.highlightedWord(), (TextRange{m_textBox.toPlainText().size() - 4, 4}));
        QVERIFY(m_textBox.verticalScrollBar()->value() > 0);
        QTextCursor last(m_textBox.document());
        last.movePosition(QTextCursor::End);
        QVERIFY(m_textBox.viewport()->rect().contains(m_textBox.cursorRect(last)));
    }
};

QTEST_MAIN(TestReadingHighlight)
#include "tst_readinghighlight.moc"
