#include "engine/client/speecherror.h"
#include "engine/client/voicecatalog.h"

#include <QTest>

namespace {

const QByteArray Listing =
    "espeak-ng\tgmw/de\tGerman\tde\n"
    "espeak-ng\tgmw/en-US-nyc\tEnglish (America, New York City)\ten-us-nyc\n"
    "espeak-ng\tgmw/en\tEnglish (Great Britain)\ten-gb,en\n"
    "espeak-ng\tgmw/en-GB-x-rp\tEnglish (Received Pronunciation)\ten-gb-x-rp,en-gb,en\n"
    "espeak-ng\tgmw/en-US\tEnglish (America)\ten-us,en\n"
    "espeak-ng\troa/fr\tFrench (France)\tfr-fr,fr\n"
    "espeak-ng\troa/fr-BE\tFrench (Belgium)\tfr-be,fr\n"
    "not a voice line\n"
    "\n";

QStringList descriptions(const VoiceCatalog &catalog)
{
    QStringList result;
    for (const SpObjectToken &token : catalog.tokens())
        result.append(token.GetDescription());
    return result;
}

} // namespace

class TestVoiceCatalog : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void firstVoiceSpeaksTheUsersLanguage_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("first");
        QTest::newRow("American English") << "en_US.UTF-8"
                                          << "English (America)";
        QTest::newRow("British English") << "en_GB"
                                         << "English (Great Britain)";
        QTest::newRow("German in Austria") << "de_AT"
                                           << "German";
        QTest::newRow("French") << "fr_FR"
                                << "French (France)";
        QTest::newRow("Belgian French") << "fr_BE"
                                        << "French (Belgium)";
        QTest::newRow("POSIX locale falls back to American English") << "C"
                                                                     << "English (America)";
        QTest::newRow("unlisted language falls back") << "ja_JP"
                                                      << "English (America)";
    }
    void firstVoiceSpeaksTheUsersLanguage()
    {
        QFETCH(QString, locale);
        QFETCH(QString, first);
        const VoiceCatalog catalog = VoiceCatalog::fromListing(Listing, locale);
        QCOMPARE(catalog.tokens().size(), 7);
        QCOMPARE(catalog.tokens().first().GetDescription(), first);
    }

    void othersFollowByDescription()
    {
        QStringList rest = descriptions(VoiceCatalog::fromListing(Listing, QStringLiteral("de_DE")));
        rest.removeFirst();
        QStringList sorted = rest;
        std::sort(sorted.begin(), sorted.end(),
                  [](const QString &a, const QString &b) { return QString::localeAwareCompare(a, b) < 0; });
        QCOMPARE(rest, sorted);
    }

    void theMostNaturalVoiceOfTheLanguageComesFirst_data()
    {
        QTest::addColumn<QString>("locale");
        QTest::addColumn<QString>("first");
        QTest::newRow("American English") << "en_US"
                                          << "English (America) - slt";
        QTest::newRow("British English takes the more natural voice over the closer dialect")
            << "en_GB"
            << "English (America) - slt";
        QTest::newRow("fallback") << "ja_JP"
                                  << "English (America) - slt";
        QTest::newRow("another language is untouched") << "de_DE"
                                                       << "German";
    }
    void theMostNaturalVoiceOfTheLanguageComesFirst()
    {
        QFETCH(QString, locale);
        QFETCH(QString, first);
        const QByteArray listing = Listing + "flite\tkal\tEnglish (America) - kal\ten-us,en\t1\n"
                                             "flite\tslt\tEnglish (America) - slt\ten-us,en\t4\n"
                                             "flite\tawb\tEnglish (Scotland) - awb\ten-gb-scotland,en\t3\n";
        const VoiceCatalog catalog = VoiceCatalog::fromListing(listing, locale);
        QCOMPARE(catalog.tokens().size(), 10);
        QCOMPARE(catalog.tokens().first().GetDescription(), first);
        QCOMPARE(catalog.tokens().first().engine(),
                 first.contains(u'-') ? QStringLiteral("flite") : QStringLiteral("espeak-ng"));
    }

    void duplicateDescriptionsAreMadeUnique()
    {
        const QByteArray listing = "espeak-ng\ta/one\tSame\ten\nespeak-ng\tb/two\tSame\tde\n";
        const QStringList names = descriptions(VoiceCatalog::fromListing(listing, QStringLiteral("en_US")));
        QCOMPARE(names.size(), 2);
        QVERIFY(names.at(0) != names.at(1));
    }

    void nameQueryFindsExactlyThatVoice_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("id");
        QTest::newRow("plain") << "German"
                               << "gmw/de";
        QTest::newRow("with parentheses") << "English (America)"
                                          << "gmw/en-US";
        QTest::newRow("a name that prefixes another") << "English (America, New York City)"
                                                      << "gmw/en-US-nyc";
    }
    void nameQueryFindsExactlyThatVoice()
    {
        QFETCH(QString, name);
        QFETCH(QString, id);
        const VoiceCatalog catalog = VoiceCatalog::fromListing(Listing, QStringLiteral("en_US"));
        const SpObjectTokens found = catalog.query(QStringLiteral("Name=") + name, QString());
        QCOMPARE(found.Count(), 1);
        QCOMPARE(found.Item(0).id(), id);
        QCOMPARE(found.Item(0).attribute(QStringLiteral("Name")), name);
    }

    void emptyQueryGivesEveryVoiceInOrder()
    {
        const VoiceCatalog catalog = VoiceCatalog::fromListing(Listing, QStringLiteral("en_US"));
        const SpObjectTokens all = catalog.query(QString(), QString());
        QCOMPARE(all.Count(), catalog.tokens().size());
        QCOMPARE(all.Item(0), catalog.tokens().first());
    }

    void unknownNameFailsWithTheNameAsked_data()
    {
        QTest::addColumn<QString>("name");
        QTest::newRow("unknown") << "Klingon";
        QTest::newRow("differs in case") << "german";
        QTest::newRow("trailing space") << "German ";
        QTest::newRow("empty") << "";
    }
    void unknownNameFailsWithTheNameAsked()
    {
        QFETCH(QString, name);
        const VoiceCatalog catalog = VoiceCatalog::fromListing(Listing, QStringLiteral("en_US"));
        const SpObjectTokens found = catalog.query(QStringLiteral("Name=") + name, QString());
        QCOMPARE(found.Count(), 0);
        try {
            (void)found.Item(0);
            QFAIL("Item(0) on an empty result must fail");
        } catch (const SpeechError &error) {
            QVERIFY2(error.description().contains(u'"' + name + u'"'), qPrintable(error.description()));
        }
    }
};

QTEST_GUILESS_MAIN(TestVoiceCatalog)
#include "tst_voicecatalog.moc"
