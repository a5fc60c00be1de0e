#include "engine/naturalvoices/wordtimeestimate.h"

#include <QTest>

namespace {

// A sentence written as its words' phoneme counts, clauses ending in their punctuation:
// "4 2 6, 3 5." is two clauses of three and two words.
std::vector<PhonemizedClause> sentence(const QString &words)
{
    std::vector<PhonemizedClause> clauses(1);
    std::uint32_t start = 0;
    for (QString word : words.split(u' ')) {
        const QChar last = word.back();
        if (!last.isDigit())
            word.chop(1);
        clauses.back().words.push_back({start, 1, word.toDouble()});
        start += 2;
        if (!last.isDigit()) {
            clauses.back().terminator = last.unicode();
            clauses.emplace_back();
        }
    }
    if (clauses.back().words.empty())
        clauses.pop_back();
    return clauses;
}

} // namespace

class TestWordTimeEstimate : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyWordStartsInsideItsSentenceAndInOrder_data()
    {
        QTest::addColumn<QString>("words");
        QTest::addColumn<qulonglong>("samples");
        QTest::newRow("one word") << QStringLiteral("5.") << 22050ull;
        QTest::newRow("clauses") << QStringLiteral("4 2 6, 3 5; 2 7.") << 90000ull;
        QTest::newRow("question") << QStringLiteral("3 3?") << 15000ull;
        QTest::newRow("no final punctuation") << QStringLiteral("3 4 5") << 30000ull;
        QTest::newRow("a number spoken long") << QStringLiteral("2 40 3.") << 70000ull;
        QTest::newRow("words without phonemes") << QStringLiteral("0 0 3.") << 9000ull;
        QTest::newRow("a few samples only") << QStringLiteral("4 4, 4.") << 3ull;
    }
    void everyWordStartsInsideItsSentenceAndInOrder()
    {
        QFETCH(QString, words);
        QFETCH(qulonglong, samples);
        const std::vector<PhonemizedClause> clauses = sentence(words);
        const std::vector<std::uint64_t> starts = estimatedWordStarts(clauses, samples);
        QCOMPARE(starts.size(), std::size_t(words.count(u' ') + 1));
        for (std::size_t i = 0; i < starts.size(); ++i) {
            QVERIFY2(starts[i] < samples, qPrintable(QStringLiteral("word %1").arg(i)));
            if (i > 0)
                QVERIFY2(starts[i] >= starts[i - 1], qPrintable(QStringLiteral("word %1").arg(i)));
        }
    }

    void theFirstWordStartsAfterALeadIn()
    {
        QVERIFY(estimatedWordStarts(sentence(QStringLiteral("4 4.")), 22050).front() > 0);
    }

    void aCommaPushesTheNextWordLater()
    {
        const auto secondStart = [](const QString &words) {
            return estimatedWordStarts(sentence(words), 40000).at(1);
        };
        QCOMPARE_GT(secondStart(QStringLiteral("4, 4.")), secondStart(QStringLiteral("4 4.")));
    }

    void aLongerWordPushesTheNextWordLater()
    {
        const auto lastStart = [](const QString &words) {
            return estimatedWordStarts(sentence(words), 40000).back();
        };
        QCOMPARE_GT(lastStart(QStringLiteral("3 9 3.")), lastStart(QStringLiteral("3 3 3.")));
    }

    void aSentenceWithoutWordsHasNoStarts() { QVERIFY(estimatedWordStarts({}, 1000).empty()); }
};

QTEST_APPLESS_MAIN(TestWordTimeEstimate)
#include "tst_wordtimeestimate.moc"
