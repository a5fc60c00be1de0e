#include "feed/rfc822date.h"

#include <QStringView>

#include <array>

namespace {

// Fixed tables rather than QLocale: RFC 822 names are English in every locale.
constexpr std::array<QStringView, 7> dayNames = {u"Mon", u"Tue", u"Wed", u"Thu", u"Fri", u"Sat", u"Sun"};
constexpr std::array<QStringView, 12> monthNames = {u"Jan", u"Feb", u"Mar", u"Apr", u"May", u"Jun",
                                                    u"Jul", u"Aug", u"Sep", u"Oct", u"Nov", u"Dec"};

[[nodiscard]] QString padded(int number, int width)
{
    return QStringLiteral("%1").arg(number, width, 10, QLatin1Char('0'));
}

} // namespace

QString rfc822Date(const QDateTime &moment)
{
    if (!moment.isValid())
        return {};
    const QDateTime utc = moment.toUTC();
    const QDate date = utc.date();
    const QTime time = utc.time();
    // QDate numbers days of the week from 1 (Monday) and months from 1 (January).
    QString text;
    text.reserve(29);
    text += dayNames.at(static_cast<std::size_t>(date.dayOfWeek() - 1));
    text += u", ";
    text += padded(date.day(), 2);
    text += u' ';
    text += monthNames.at(static_cast<std::size_t>(date.month() - 1));
    text += u' ';
    text += padded(date.year(), 4);
    text += u' ';
    text += padded(time.hour(), 2);
    text += u':';
    text += padded(time.minute(), 2);
    text += u':';
    text += padded(time.second(), 2);
    text += u" GMT";
    return text;
}
