#include "listening/pronunciationlist.h"
#include "listening/pronunciationrules.h"

#include <QRegularExpression>
#include <QTest>

using namespace Qt::StringLiterals;

// What the engine is given for a written text, the way back to the written words, and the
// list's text form.
class TestPronunciations : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void entriesReplaceWholeWords_data()
    {
        QTest::addColumn<Pronunciation>("entry");
        QTest::addColumn<QString>("written");
        QTest::addColumn<QString>("spoken");
        QTest::newRow("whatever the case") << Pronunciation{u"Siobhan"_s, u"shiv awn"_s, false, false, {}}
                                           << u"SIOBHAN and siobhan."_s << u"shiv awn and shiv awn."_s;
        QTest::newRow("not inside a word") << Pronunciation{u"SQL"_s, u"sequel"_s, false, false, {}}
                                           << u"SQL, MySQL, SQL_x"_s << u"sequel, MySQL, SQL_x"_s;
        QTest::newRow("case-sensitive") << Pronunciation{u"US"_s, u"you ess"_s, true, false, {}}
                                        << u"Let us see the US."_s << u"Let us see the you ess."_s;
        QTest::newRow("regex with groups")
            << Pronunciation{u"(\\d+)km"_s, u"\\1 kilometres"_s, false, true, {}} << u"Ran 5km, then 12km."_s
            << u"Ran 5 kilometres, then 12 kilometres."_s;
        QTest::newRow("symbols at the ends") << Pronunciation{u"C++"_s, u"see plus plus"_s, false, false, {}}
                                             << u"I like C++."_s << u"I like see plus plus."_s;
        QTest::newRow("language of the voice")
            << Pronunciation{u"GIF"_s, u"jif"_s, false, false, u"en"_s} << u"A GIF."_s << u"A jif."_s;
        QTest::newRow("another language")
            << Pronunciation{u"GIF"_s, u"jif"_s, false, false, u"de"_s} << u"A GIF."_s << u"A GIF."_s;
    }
    void entriesReplaceWholeWords()
    {
        QFETCH(Pronunciation, entry);
        QFETCH(QString, written);
        QFETCH(QString, spoken);
        const PronunciationRules rules({entry}, {u"en-us"_s, u"en"_s});
        QCOMPARE(rules.apply(written).text(), spoken);
    }

    void theFirstEntryWinsWhereTwoOverlap()
    {
        const PronunciationRules rules(
            {{u"New York"_s, u"noo york"_s, false, false, {}}, {u"York"_s, u"yawk"_s, false, false, {}}}, {});
        QCOMPARE(rules.apply(u"New York and York"_s).text(), u"noo york and yawk"_s);
    }

    void spokenWordsMapBackToTheWrittenOnes()
    {
        const QString written = u"Hi Siobhan, meet Al and Bo."_s;
        const PronunciationRules rules({{u"Siobhan"_s, u"shiv awn"_s, false, false, {}},
                                        {u"Al"_s, u"Alexander"_s, false, false, {}},
                                        {u"Bo"_s, u"B"_s, false, false, {}}},
                                       {});
        const SpokenText spoken = rules.apply(written);
        QCOMPARE(spoken.text(), u"Hi shiv awn, meet Alexander and B."_s);
        const auto writtenOf = [&](const QString &spokenWord) {
            const TextRange range = spoken.writtenRange(
                {spoken.text().indexOf(QRegularExpression(u"\\b"_s + spokenWord + u"\\b"_s)),
                 spokenWord.size()});
            return written.mid(range.start, range.length);
        };
        QCOMPARE(writtenOf(u"shiv"_s), u"Siobhan"_s); // longer: both spoken words
        QCOMPARE(writtenOf(u"awn"_s), u"Siobhan"_s);
        QCOMPARE(writtenOf(u"meet"_s), u"meet"_s);
        QCOMPARE(writtenOf(u"Alexander"_s), u"Al"_s);
        QCOMPARE(writtenOf(u"and"_s), u"and"_s);
        QCOMPARE(writtenOf(u"B"_s), u"Bo"_s); // shorter
        QCOMPARE(writtenOf(u"Hi"_s), u"Hi"_s);
    }

    void theListGoesToTextAndBack()
    {
        const QList<Pronunciation> entries{{u"Siobhan"_s, u"shiv awn"_s, false, false, {}},
                                           {u"(\\d+)km"_s, u"\\1 kilometres"_s, true, true, u"en"_s},
                                           {u"Zoë"_s, u"zo ee"_s, false, false, {}}};
        const QByteArray text = PronunciationList::toText(entries);
        QCOMPARE(text.split('\n').at(1), QByteArray("(\\d+)km\t\\1 kilometres\tcase regex lang=en"));
        const PronunciationList::Parsed parsed = PronunciationList::fromText(text);
        QCOMPARE(parsed.problem, QString());
        QCOMPARE(parsed.entries, entries);
    }

    void aBadLineIsNamedAndNothingIsTaken_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<QString>("problem");
        QTest::newRow("no tab")
            << QByteArray("a\tb\n\nno tab here\n")
            << u"Line 3: an entry is the written form, a tab and the spoken form, then optionally a tab and flags."_s;
        QTest::newRow("unknown flag") << QByteArray("a\tb\tloud\n") << u"Line 1: unknown flag \"loud\"."_s;
        QTest::newRow("broken regex")
            << QByteArray("a\tb\n(x\ty\tregex\n")
            << u"Line 2: the regular expression \"(x\" is not valid: missing closing parenthesis at position 2."_s;
    }
    void aBadLineIsNamedAndNothingIsTaken()
    {
        QFETCH(QByteArray, text);
        QFETCH(QString, problem);
        const PronunciationList::Parsed parsed = PronunciationList::fromText(text);
        QCOMPARE(parsed.problem, problem);
        QVERIFY(parsed.entries.isEmpty());
    }
};

QTEST_APPLESS_MAIN(TestPronunciations)
#include "tst_pronunciations.moc"
