#include "listening/pronunciationlist.h"

#include <QRegularExpression>
#include <QSettings>

namespace {

const QString ArrayName = QStringLiteral("pronunciations");
const QString WrittenKey = QStringLiteral("written");
const QString SpokenKey = QStringLiteral("spoken");
const QString CaseSensitiveKey = QStringLiteral("caseSensitive");
const QString RegularExpressionKey = QStringLiteral("regularExpression");
const QString LanguageKey = QStringLiteral("language");

const QString CaseFlag = QStringLiteral("case");
const QString RegexFlag = QStringLiteral("regex");
const QString LanguageFlag = QStringLiteral("lang=");

bool holdsBreaks(const QString &text)
{
    return text.contains(u'\t') || text.contains(u'\n') || text.contains(u'\r');
}

// Sets the flags a line names; false on one it does not know.
bool takeFlags(const QString &flags, Pronunciation &entry, QString &unknown)
{
    for (const QString &flag : flags.split(u' ', Qt::SkipEmptyParts)) {
        if (flag == CaseFlag)
            entry.caseSensitive = true;
        else if (flag == RegexFlag)
            entry.regularExpression = true;
        else if (flag.startsWith(LanguageFlag) && flag.size() > LanguageFlag.size())
            entry.language = flag.mid(LanguageFlag.size());
        else {
            unknown = flag;
            return false;
        }
    }
    return true;
}

} // namespace

QList<Pronunciation> PronunciationList::load()
{
    QSettings settings;
    QList<Pronunciation> entries;
    const int count = settings.beginReadArray(ArrayName);
    for (int i = 0; i < count; ++i) {
        settings.setArrayIndex(i);
        Pronunciation entry{settings.value(WrittenKey).toString(), settings.value(SpokenKey).toString(),
                            settings.value(CaseSensitiveKey, false).toBool(),
                            settings.value(RegularExpressionKey, false).toBool(),
                            settings.value(LanguageKey).toString()};
        if (problemOf(entry).isEmpty()) // one edited by hand into something broken is left out
            entries.append(entry);
    }
    settings.endArray();
    return entries;
}

void PronunciationList::save(const QList<Pronunciation> &entries)
{
    QSettings settings;
    settings.remove(ArrayName);
    settings.beginWriteArray(ArrayName, int(entries.size()));
    for (int i = 0; i < int(entries.size()); ++i) {
        const Pronunciation &entry = entries.at(i);
        settings.setArrayIndex(i);
        settings.setValue(WrittenKey, entry.written);
        settings.setValue(SpokenKey, entry.spoken);
        settings.setValue(CaseSensitiveKey, entry.caseSensitive);
        settings.setValue(RegularExpressionKey, entry.regularExpression);
        settings.setValue(LanguageKey, entry.language);
    }
    settings.endArray();
}

PronunciationList::Parsed PronunciationList::fromText(const QByteArray &utf8)
{
    QString text = QString::fromUtf8(utf8);
    if (text.startsWith(QChar(0xfeff)))
        text.remove(0, 1);
    Parsed parsed;
    const QStringList lines = text.split(u'\n');
    for (qsizetype i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(u'\r'))
            line.chop(1);
        if (line.trimmed().isEmpty())
            continue;
        const QStringList columns = line.split(u'\t');
        const QString where = QStringLiteral("Line %1: ").arg(i + 1);
        if (columns.size() < 2 || columns.size() > 3) {
            return {{},
                    where + QStringLiteral("an entry is the written form, a tab and the spoken form, "
                                           "then optionally a tab and flags.")};
        }
        Pronunciation entry{columns.at(0), columns.at(1), false, false, {}};
        QString unknown;
        if (columns.size() == 3 && !takeFlags(columns.at(2), entry, unknown))
            return {{}, where + QStringLiteral("unknown flag \"%1\".").arg(unknown)};
        if (const QString problem = problemOf(entry); !problem.isEmpty())
            return {{}, where + problem};
        parsed.entries.append(entry);
    }
    return parsed;
}

QByteArray PronunciationList::toText(const QList<Pronunciation> &entries)
{
    QString text;
    for (const Pronunciation &entry : entries) {
        QStringList flags;
        if (entry.caseSensitive)
            flags.append(CaseFlag);
        if (entry.regularExpression)
            flags.append(RegexFlag);
        if (!entry.language.isEmpty())
            flags.append(LanguageFlag + entry.language);
        text += entry.written + u'\t' + entry.spoken;
        if (!flags.isEmpty())
            text += u'\t' + flags.join(u' ');
        text += u'\n';
    }
    return text.toUtf8();
}

QString PronunciationList::problemOf(const Pronunciation &entry)
{
    if (entry.written.isEmpty())
        return QStringLiteral("the written form is empty.");
    if (holdsBreaks(entry.written) || holdsBreaks(entry.spoken) || entry.language.contains(u' '))
        return QStringLiteral("an entry cannot hold a tab or a line break.");
    if (entry.regularExpression) {
        const QRegularExpression expression(entry.written);
        if (!expression.isValid())
            return QStringLiteral("the regular expression \"%1\" is not valid: %2 at position %3.")
                .arg(entry.written, expression.errorString())
                .arg(expression.patternErrorOffset());
    }
    return {};
}
