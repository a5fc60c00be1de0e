#include "engine/client/passage.h"
#include "engine/client/speechoutcome.h"

#include <QTest>

// Cutting the text into passages, and naming the ones the engine failed on.
class TestPassage : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void passagesKnowTheirLineAndSkipBlankStretches()
    {
        const QList<Passage> passages = passagesOf(QStringLiteral("One. Two?\n\n\nThree\nFour é.g."));
        QStringList texts;
        QList<int> lines;
        for (const Passage &passage : passages) {
            texts.append(QString::fromUtf8(passage.utf8));
            lines.append(passage.line);
        }
        QCOMPARE(texts, (QStringList{QStringLiteral("One. "), QStringLiteral("Two?\n"),
                                     QStringLiteral("Three\n"), QStringLiteral("Four é.g.")}));
        QCOMPARE(lines, (QList<int>{1, 1, 4, 5}));
        qsizetype characters = 0;
        for (const Passage &passage : passages)
            characters += passage.characters;
        QCOMPARE(characters, QStringLiteral("One. Two?\n\n\nThree\nFour é.g.").size());
    }

    void aReadingOpensWithItsFirstClauseAlone()
    {
        const QString text = QStringLiteral("\n\nWhen the tide turned, the boats went out.\nThen rain.");
        const QList<Passage> passages = withShortOpening(passagesOf(text));
        QCOMPARE(passages.size(), 3);
        QCOMPARE(passages.at(0).utf8, QByteArray("When the tide turned, "));
        QCOMPARE(passages.at(1).utf8, QByteArray("the boats went out.\n"));
        QCOMPARE((QList<int>{passages.at(0).line, passages.at(1).line, passages.at(2).line}),
                 (QList<int>{3, 3, 4}));
        QCOMPARE(text.mid(passages.at(1).start, passages.at(1).characters), QStringLiteral("the boats went out.\n"));
        // No early clause: nothing is cut.
        QCOMPARE(withShortOpening(passagesOf(QStringLiteral("Short, one."))).size(), 1);
    }

    void aReadingCanOpenWithItsFirstWordsAlone()
    {
        const auto openingOf = [](const QString &text) {
            const QList<Passage> passages = withShortOpening(passagesOf(text), OpeningCut::AtClauseOrWords);
            QString joined;
            for (const Passage &passage : passages)
                joined += QString::fromUtf8(passage.utf8);
            [&] { QCOMPARE(joined, text); }(); // every word is still spoken, once
            return passages.first().utf8;
        };
        QCOMPARE(openingOf(QStringLiteral("The morning light fell across the harbour while fishermen mended nets.")),
                 QByteArray("The morning light fell "));
        // An early clause is the better place.
        QCOMPARE(openingOf(QStringLiteral("When the tide turned, the light fell across the harbour.")),
                 QByteArray("When the tide turned, "));
        QCOMPARE(openingOf(QStringLiteral("Too short to cut.")), QByteArray("Too short to cut."));
    }

    void theOpeningIsSixtyCharactersOnOneLine()
    {
        const Passage passage = passagesOf(QStringLiteral("e.g.").repeated(40) + u'\n').first();
        QCOMPARE(passage.opening(), QStringLiteral("e.g.").repeated(15) + QStringLiteral("..."));
        QCOMPARE(passagesOf(QStringLiteral("Short\tone.")).first().opening(), QStringLiteral("Short one."));
    }

    void theMessageNamesAtMostFivePassages_data()
    {
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("message");
        QTest::newRow("none") << 0 << "";
        QTest::newRow("one") << 1
                             << "The speech engine failed on 1 passage, which was skipped: \"p1\" (line 1).";
        QTest::newRow("two")
            << 2
            << "The speech engine failed on 2 passages, which were skipped: \"p1\" (line 1), "
               "\"p2\" (line 2).";
        QTest::newRow("seven")
            << 7
            << "The speech engine failed on 7 passages, which were skipped: \"p1\" (line 1), "
               "\"p2\" (line 2), \"p3\" (line 3), \"p4\" (line 4), \"p5\" (line 5) and 2 more.";
    }
    void theMessageNamesAtMostFivePassages()
    {
        QFETCH(int, count);
        QFETCH(QString, message);
        QList<SkippedPassage> skipped;
        for (int i = 1; i <= count; ++i)
            skipped.append({QStringLiteral("p%1").arg(i), i});
        QCOMPARE(skippedPassagesMessage(skipped), message);
    }

    void aPercentSignInThePassageIsShownAsWritten()
    {
        QCOMPARE(skippedPassagesMessage({{QStringLiteral("100%1 sure"), 3}}),
                 QStringLiteral(
                     "The speech engine failed on 1 passage, which was skipped: \"100%1 sure\" (line 3)."));
    }
};

QTEST_APPLESS_MAIN(TestPassage)
#include "tst_passage.moc"
