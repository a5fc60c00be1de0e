#include "engine/client/speechoutcome.h"

#include <QStringList>

namespace {

constexpr qsizetype NamedAtMost = 5;

} // namespace

QString skippedPassagesMessage(const QList<SkippedPassage> &skipped)
{
    if (skipped.isEmpty())
        return {};
    QStringList named;
    for (qsizetype i = 0; i < std::min(skipped.size(), NamedAtMost); ++i)
        named.append(QStringLiteral("\"%1\" (line %2)")
                         .arg(skipped.at(i).opening, QString::number(skipped.at(i).line)));
    QString list = named.join(QStringLiteral(", "));
    if (skipped.size() > NamedAtMost)
        list += QStringLiteral(" and %1 more").arg(skipped.size() - NamedAtMost);
    return skipped.size() == 1
               ? QStringLiteral("The speech engine failed on 1 passage, which was skipped: %1.").arg(list)
               : QStringLiteral("The speech engine failed on %1 passages, which were skipped: %2.")
                     .arg(QString::number(skipped.size()), list);
}

QString engineStoppedMessage()
{
    return QStringLiteral("The speech engine stopped unexpectedly.");
}
