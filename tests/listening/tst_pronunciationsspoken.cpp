#include "engine/helpervoice.h"
#include "engine/rendertofile.h"
#include "listening/pronunciationrules.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundfileinfo.h"

#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// A pronunciation changes what the engine says for the passages holding the word, and nothing
// else. flite's samples repeat exactly from one rendering to the next, so they are compared.
class TestPronunciationsSpoken : public QObject
{
    Q_OBJECT

private:
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), u"en_US"_s};
    QTemporaryDir m_folder;

    QList<qint16> render(const QString &text, const QList<Pronunciation> &entries = {})
    {
        HelperVoice voice(m_engine);
        voice.setVoice(voiceNamed(m_engine, u"English (America) - slt"_s));
        const QString fileName = m_folder.filePath(u"speech.wav"_s);
        const SpokenText spoken = PronunciationRules(entries, voice.Voice().languages()).apply(text);
        (void)renderToFile(
            voice,
            {.text = spoken.text(), .fileName = fileName, .format = SoundFileFormat::Wav, .progress = {}});
        return soundFileSamples(fileName);
    }

private Q_SLOTS:
    void onlyThePassageHoldingTheWordChanges()
    {
        const QString first = u"The first line is plain.\n"_s;
        const QString middle = u"Then Siobhan speaks here.\n"_s;
        const QString last = u"The last line is plain too."_s;
        const QList<qint16> plain = render(first + middle + last);
        const QList<qint16> fixed =
            render(first + middle + last, {{u"siobhan"_s, u"shiv awn"_s, false, false, {}}});
        const qsizetype firstLength = render(first).size();
        const qsizetype lastLength = render(last).size();
        QVERIFY(firstLength > 0 && lastLength > 0);

        qsizetype samePrefix = 0;
        while (samePrefix < std::min(plain.size(), fixed.size()) &&
               plain.at(samePrefix) == fixed.at(samePrefix))
            ++samePrefix;
        qsizetype sameSuffix = 0;
        while (sameSuffix < std::min(plain.size(), fixed.size()) &&
               plain.at(plain.size() - 1 - sameSuffix) == fixed.at(fixed.size() - 1 - sameSuffix))
            ++sameSuffix;
        QVERIFY2(samePrefix >= firstLength, qPrintable(u"%1 < %2"_s.arg(samePrefix).arg(firstLength)));
        QVERIFY2(sameSuffix >= lastLength, qPrintable(u"%1 < %2"_s.arg(sameSuffix).arg(lastLength)));
        QVERIFY(samePrefix + sameSuffix < std::min(plain.size(), fixed.size()));
    }
};

QTEST_GUILESS_MAIN(TestPronunciationsSpoken)
#include "tst_pronunciationsspoken.moc"
