#include "feed/rfc822date.h"
#include "tests/support/scopedtimezone.h"

#include <QDateTime>
#include <QLocale>
#include <QTest>
#include <QTimeZone>

using namespace Qt::StringLiterals;

namespace {

class ScopedDefaultLocale final
{
public:
    explicit ScopedDefaultLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~ScopedDefaultLocale() { QLocale::setDefault(m_oldLocale); }
    Q_DISABLE_COPY_MOVE(ScopedDefaultLocale)

private:
    QLocale m_oldLocale;
};

[[nodiscard]] QDateTime utc(int year, int month, int day, int hour, int minute, int second)
{
    return QDateTime(QDate(year, month, day), QTime(hour, minute, second), Qt::UTC);
}

// Covers every day and month name, zero padding and an instant given with a UTC offset.
void addInstantRows()
{
    QTest::addColumn<QDateTime>("moment");
    QTest::addColumn<QString>("expected");

    QTest::newRow("early morning in December")
        << utc(2026, 12, 6, 3, 5, 9) << u"Sun, 06 Dec 2026 03:05:09 GMT"_s;
    QTest::newRow("one-digit values padded")
        << utc(2026, 1, 5, 1, 2, 3) << u"Mon, 05 Jan 2026 01:02:03 GMT"_s;
    QTest::newRow("midnight") << utc(2026, 3, 1, 0, 0, 0) << u"Sun, 01 Mar 2026 00:00:00 GMT"_s;
    QTest::newRow("last second of the year")
        << utc(2026, 12, 31, 23, 59, 59) << u"Thu, 31 Dec 2026 23:59:59 GMT"_s;
    QTest::newRow("leap day") << utc(2028, 2, 29, 12, 0, 0) << u"Tue, 29 Feb 2028 12:00:00 GMT"_s;
    QTest::newRow("February") << utc(2026, 2, 1, 10, 0, 0) << u"Sun, 01 Feb 2026 10:00:00 GMT"_s;
    QTest::newRow("April") << utc(2026, 4, 1, 10, 0, 0) << u"Wed, 01 Apr 2026 10:00:00 GMT"_s;
    QTest::newRow("May") << utc(2026, 5, 1, 10, 0, 0) << u"Fri, 01 May 2026 10:00:00 GMT"_s;
    QTest::newRow("June") << utc(2026, 6, 1, 10, 0, 0) << u"Mon, 01 Jun 2026 10:00:00 GMT"_s;
    QTest::newRow("July") << utc(2026, 7, 1, 10, 0, 0) << u"Wed, 01 Jul 2026 10:00:00 GMT"_s;
    QTest::newRow("August") << utc(2026, 8, 1, 10, 0, 0) << u"Sat, 01 Aug 2026 10:00:00 GMT"_s;
    QTest::newRow("September") << utc(2026, 9, 1, 10, 0, 0) << u"Tue, 01 Sep 2026 10:00:00 GMT"_s;
    QTest::newRow("October") << utc(2026, 10, 1, 10, 0, 0) << u"Thu, 01 Oct 2026 10:00:00 GMT"_s;
    QTest::newRow("November") << utc(2026, 11, 1, 10, 0, 0) << u"Sun, 01 Nov 2026 10:00:00 GMT"_s;
    QTest::newRow("offset nine hours ahead, already the new year")
        << QDateTime(QDate(2027, 1, 1), QTime(8, 30), QTimeZone(9 * 3600))
        << u"Thu, 31 Dec 2026 23:30:00 GMT"_s;
}

} // namespace

class TestRfc822Date : public QObject
{
    Q_OBJECT

private slots:
    void formatsInstant_data();
    void formatsInstant();
    void ignoresUserLanguageAndZone_data();
    void ignoresUserLanguageAndZone();
    void convertsLocalTimeToUtc_data();
    void convertsLocalTimeToUtc();
    void invalidDateGivesEmptyText();
};

void TestRfc822Date::formatsInstant_data()
{
    addInstantRows();
}

void TestRfc822Date::formatsInstant()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);

    QCOMPARE(rfc822Date(moment), expected);
}

void TestRfc822Date::ignoresUserLanguageAndZone_data()
{
    addInstantRows();
}

void TestRfc822Date::ignoresUserLanguageAndZone()
{
    QFETCH(QDateTime, moment);
    QFETCH(QString, expected);

    const ScopedDefaultLocale german(QLocale(QLocale::German, QLocale::Germany));
    // New Zealand: thirteen hours ahead in December, so most rows fall on another local day.
    const ScopedTimeZone newZealand("NZST-12NZDT,M9.5.0,M4.1.0/3");
    QCOMPARE(rfc822Date(moment), expected);
    QCOMPARE(rfc822Date(moment.toLocalTime()), expected);
}

void TestRfc822Date::convertsLocalTimeToUtc_data()
{
    QTest::addColumn<QByteArray>("tz");
    QTest::addColumn<QDate>("localDate");
    QTest::addColumn<QTime>("localTime");
    QTest::addColumn<QString>("expected");

    QTest::newRow("Tokyo already in the new year")
        << QByteArray("JST-9") << QDate(2027, 1, 1) << QTime(8, 30) << u"Thu, 31 Dec 2026 23:30:00 GMT"_s;
    QTest::newRow("New York still on the day before")
        << QByteArray("EST5EDT,M3.2.0,M11.1.0") << QDate(2026, 12, 5) << QTime(22, 5, 9)
        << u"Sun, 06 Dec 2026 03:05:09 GMT"_s;
    QTest::newRow("Berlin summer time across midnight")
        << QByteArray("CET-1CEST,M3.5.0,M10.5.0/3") << QDate(2026, 7, 1) << QTime(1, 59, 59)
        << u"Tue, 30 Jun 2026 23:59:59 GMT"_s;
}

void TestRfc822Date::convertsLocalTimeToUtc()
{
    QFETCH(QByteArray, tz);
    QFETCH(QDate, localDate);
    QFETCH(QTime, localTime);
    QFETCH(QString, expected);

    const ScopedTimeZone zone(tz);
    const QDateTime local(localDate, localTime, Qt::LocalTime);
    QCOMPARE(rfc822Date(local), expected);
}

void TestRfc822Date::invalidDateGivesEmptyText()
{
    QCOMPARE(rfc822Date(QDateTime()), QString());
}

QTEST_APPLESS_MAIN(TestRfc822Date)
#include "tst_rfc822date.moc"
