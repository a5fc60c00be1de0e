#include "engine/helpervoice.h"
#include "speechwindow/optionsmenu.h"
#include "speechwindow/readinghighlight.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundserver.h"
#include "tests/engine/soundtestmain.h"
#include "tests/speechwindow/selectvoice.h"
#include "tests/support/realenginewindow.h"

#include <QPlainTextEdit>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// The word being heard, highlighted in Text1 while the real engines read to a null sink.
class TestFormWavHighlight : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<RealEngineWindow> m_real;
    FormWav *m_window = nullptr; // m_real's
    QTemporaryDir m_configuration;

    HelperVoice *windowVoice() const { return dynamic_cast<HelperVoice *>(m_window->windowVoice()); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY2(soundServerReachable(), "run the tests through the test command");
        qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_configuration.path())); // the pronunciations go there
    }

    void init() { m_window = &(m_real = std::make_unique<RealEngineWindow>())->window(); }

    void cleanup()
    {
        m_real.reset();
        QTRY_VERIFY_WITH_TIMEOUT(sinkInputs().isEmpty(), 5000);
    }

    void theHighlightMovesForwardToTheLastWord_data()
    {
        QTest::addColumn<QString>("voice");
        QTest::newRow("espeak-ng") << QStringLiteral("English (America)");
        QTest::newRow("flite") << QStringLiteral("English (America) - slt");
    }
    void theHighlightMovesForwardToTheLastWord()
    {
        QFETCH(QString, voice);
        selectVoice(*m_window, voice);
        // Two passages, an emoji and a combining mark before the words that are checked.
        const QString text = QStringLiteral("Zoe\u0301 \U0001F600 reads well.\nThen she stops at the end.");
        m_window->Text1->setPlainText(text);
        QList<TextRange> shown;
        connect(&m_window->readingHighlight(), &ReadingHighlight::moved, this, [&] {
            if (const auto word = m_window->readingHighlight().highlightedWord())
                shown.append(*word);
        });
        m_window->Command2_Click();
        QSignalSpy finished(windowVoice(), &HelperVoice::readingFinished);
        QVERIFY(finished.wait(20000));

        QVERIFY(shown.size() >= 6);
        for (qsizetype i = 1; i < shown.size(); ++i)
            QVERIFY(shown.at(i).start > shown.at(i - 1).start);
        QCOMPARE(text.mid(shown.last().start, shown.last().length), QStringLiteral("end"));
        QVERIFY(shown.contains(TextRange{text.indexOf(QStringLiteral("reads")), 5}));
        QTRY_VERIFY(!m_window->readingHighlight().isFollowing());
        QVERIFY(m_window->Text1->extraSelections().isEmpty());
    }

    void theHighlightStaysOnTheWrittenWordsOfPronunciations_data()
    {
        theHighlightMovesForwardToTheLastWord_data();
    }
    void theHighlightStaysOnTheWrittenWordsOfPronunciations()
    {
        QFETCH(QString, voice);
        selectVoice(*m_window, voice);
        m_window->options().setPronunciationList(
            {{u"Bo"_s, u"Robert the bold"_s, false, false, {}}, {u"Siobhan"_s, u"Shiv"_s, false, false, {}}});
        const QString text = u"Hello Bo and Siobhan, goodbye."_s;
        m_window->Text1->setPlainText(text);
        QStringList shown;
        connect(&m_window->readingHighlight(), &ReadingHighlight::moved, this, [&] {
            if (const auto word = m_window->readingHighlight().highlightedWord())
                shown.append(text.mid(word->start, word->length));
        });
        m_window->Command2_Click();
        QSignalSpy finished(windowVoice(), &HelperVoice::readingFinished);
        QVERIFY(finished.wait(20000));

        QCOMPARE(m_window->Text1->toPlainText(), text);
        QCOMPARE(shown, (QStringList{u"Hello"_s, u"Bo"_s, u"and"_s, u"Siobhan"_s, u"goodbye"_s}));
    }

    void anEditStopsTheHighlightAndTheReadingGoesOn()
    {
        m_window->show();
        m_window->Text1->setPlainText(longText(300));
        m_window->Command2_Click();
        QTRY_VERIFY_WITH_TIMEOUT(m_window->readingHighlight().highlightedWord(), 10000);

        m_window->Text1->setFocus();
        m_window->Text1->moveCursor(QTextCursor::End);
        QTest::keyClicks(m_window->Text1, QStringLiteral(" typed"));
        QVERIFY(!m_window->readingHighlight().isFollowing());
        QVERIFY(m_window->Text1->extraSelections().isEmpty());
        QCOMPARE(m_window->Text1->toPlainText(), longText(300) + QStringLiteral(" typed"));
        const qint64 played = windowVoice()->playedUSecs();
        QTRY_VERIFY_WITH_TIMEOUT(windowVoice()->playedUSecs() > played + 300000, 10000);
        QVERIFY(m_window->Text1->extraSelections().isEmpty());
    }
};

PARLORA_SOUND_TEST_MAIN(TestFormWavHighlight)
#include "tst_formwavhighlight.moc"
