#include "tests/platform/engine/enginetesting.h"

#include "platform/engine/speechhelperprocess.h"

#include <QStringList>

SpObjectToken voiceNamed(const HelperSpeechEngine &engine, const QString &description)
{
    return engine.catalog().query(QStringLiteral("Name=") + description, QString()).Item(0);
}

double renderedSeconds(const HelperSpeechEngine &engine, const QString &voiceName, const QString &text)
{
    const SpObjectToken voice = voiceNamed(engine, voiceName);
    SpeechHelperProcess helper(engine.helperPath(), voice, SpeechHelperProcess::Purpose::Rendering);
    helper.start(text);
    const int rate = helper.waitForFirstAudio(QDeadlineTimer(30000));
    if (rate == 0)
        return 0.0;
    qint64 bytes = 0;
    char buffer[65536];
    for (;;) {
        const qint64 count = helper.readAudio(buffer, sizeof buffer, QDeadlineTimer(30000));
        if (count < 0)
            break;
        bytes += count;
    }
    return double(bytes) / 2.0 / rate;
}

QString textThatKillsTheEngine()
{
    return QStringLiteral("a.").repeated(100);
}

QString longText(int words)
{
    const QStringList vocabulary{QStringLiteral("the"),     QStringLiteral("quiet"),
                                 QStringLiteral("river"),   QStringLiteral("carries"),
                                 QStringLiteral("stories"), QStringLiteral("past"),
                                 QStringLiteral("old"),     QStringLiteral("mills"),
                                 QStringLiteral("and"),     QStringLiteral("bridges")};
    QString text;
    text.reserve(words * 8);
    for (int i = 0; i < words; ++i) {
        text += vocabulary.at(i % vocabulary.size());
        text += (i % 12 == 11) ? QStringLiteral(". ") : QStringLiteral(" ");
    }
    return text;
}
