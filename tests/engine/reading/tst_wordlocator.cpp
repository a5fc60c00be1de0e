#include "engine/reading/wordlocator.h"

#include <QTest>

// From the positions the engines report, in code points, to whole words of the QString.
class TestWordLocator : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void findsTheWholeWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<qint64>("codePoint");
        QTest::addColumn<qint64>("length");
        QTest::addColumn<QString>("expected"); // the text with the word in brackets; empty: none

        QTest::newRow("plain") << QStringLiteral("one two three") << 4ll << 3ll
                               << QStringLiteral("one [two] three");
        QTest::newRow("reported too short")
            << QStringLiteral("It's fine") << 0ll << 2ll << QStringLiteral("[It's] fine");
        QTest::newRow("inside a number read as words")
            << QStringLiteral("costs 123 now") << 7ll << 3ll << QStringLiteral("costs [123] now");
        QTest::newRow("after emoji") << QStringLiteral("\U0001F600 ok \U0001F600\U0001F600 end.") << 8ll
                                     << 3ll << QStringLiteral("\U0001F600 ok \U0001F600\U0001F600 [end].");
        QTest::newRow("after combining marks") << QStringLiteral("cafe\u0301 na\u0308ive end") << 13ll << 3ll
                                               << QStringLiteral("cafe\u0301 na\u0308ive [end]");
        QTest::newRow("space after an emoji")
            << QStringLiteral("a \U0001F600 b") << 3ll << 1ll << QStringLiteral("a [\U0001F600] b");
        QTest::newRow("ideographs") << QStringLiteral("我们是学生。") << 2ll << 1ll
                                    << QStringLiteral("我们[是]学生。");
        QTest::newRow("ideographs read as one word")
            << QStringLiteral("我们是学生。") << 3ll << 2ll << QStringLiteral("我们是[学生]。");
        QTest::newRow("Greek") << QStringLiteral("Καλή μέρα") << 5ll << 4ll << QStringLiteral("Καλή [μέρα]");
        QTest::newRow("never across a space")
            << QStringLiteral("ab cd") << 0ll << 5ll << QStringLiteral("[ab] cd");
        QTest::newRow("blank start") << QStringLiteral("  word") << 0ll << 1ll << QString();
        QTest::newRow("past the end") << QStringLiteral("word") << 4ll << 1ll << QString();
    }
    void findsTheWholeWord()
    {
        QFETCH(QString, text);
        QFETCH(qint64, codePoint);
        QFETCH(qint64, length);
        QFETCH(QString, expected);
        const std::optional<TextRange> word = WordLocator(text).locate(codePoint, length);
        if (expected.isEmpty()) {
            QVERIFY(!word);
            return;
        }
        QVERIFY(word);
        QString marked = text;
        marked.insert(word->end(), QLatin1Char(']'));
        marked.insert(word->start, QLatin1Char('['));
        QCOMPARE(marked, expected);
    }
};

QTEST_APPLESS_MAIN(TestWordLocator)
#include "tst_wordlocator.moc"
