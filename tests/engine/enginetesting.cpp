#include "tests/engine/enginetesting.h"

#include "engine/helpervoice.h"
#include "engine/rendertofile.h"

#include <QTemporaryDir>

#include <QStringList>

SpObjectToken voiceNamed(const HelperSpeechEngine &engine, const QString &description)
{
    return engine.catalog().query(QStringLiteral("Name=") + description, QString()).Item(0);
}

double renderedSeconds(const HelperSpeechEngine &engine, const QString &voiceName, const QString &text)
{
    HelperVoice voice(engine);
    voice.setVoice(voiceNamed(engine, voiceName));
    QTemporaryDir folder;
    return renderToFile(voice, {.text = text,
                                .fileName = folder.filePath(QStringLiteral("speech.wav")),
                                .format = SoundFileFormat::Wav,
                                .progress = {}})
        .seconds();
}

QString textThatKillsTheEngine()
{
    return QStringLiteral("a.").repeated(100);
}

QString textWithACrasherInTheMiddle()
{
    return QStringLiteral("Before the crash.\n") + textThatKillsTheEngine() +
           QStringLiteral("\nAfter the crash, these words still play.");
}

QString textAroundTheCrasher()
{
    return QStringLiteral("Before the crash.\nAfter the crash, these words still play.");
}

QString crasherSkippedMessage()
{
    return QStringLiteral("The speech engine failed on 1 passage, which was skipped: \"%1...\" (line 2).")
        .arg(QStringLiteral("a.").repeated(30));
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
