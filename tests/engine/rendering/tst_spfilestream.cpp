#include "engine/helperspeechengine.h"
#include "engine/rendertofile.h"
#include "engine/client/speecherror.h"
#include "tests/engine/enginetesting.h"
#include "tests/engine/soundfileinfo.h"
#include "tests/support/filecontents.h"
#include "tests/support/scratchmount.h"

#include <QCoreApplication>
#include <QDir>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>

#include <sndfile.h>

#include <optional>

Q_DECLARE_METATYPE(SoundFileFormat)

// Speaking into sound files with the real engine, read back with libsndfile.
class TestSpFileStream : public QObject
{
    Q_OBJECT

private:
    HelperSpeechEngine m_engine{HelperSpeechEngine::defaultHelperPath(), QStringLiteral("en_US")};
    QTemporaryDir m_folder;

    // Speaks text into a new file stream; the stream is closed only when the speech succeeds.
    RenderedSound speakInto(const QString &path, const QString &text,
                            SoundFileFormat format = SoundFileFormat::Wav,
                            std::function<bool(double)> progress = {},
                            const QString &voiceName = QStringLiteral("English (America)"))
    {
        auto voice = m_engine.createVoice();
        voice->setVoice(voice->GetVoices(QStringLiteral("Name=") + voiceName).Item(0));
        return renderToFile(
            *voice, {.text = text, .fileName = path, .format = format, .progress = std::move(progress)});
    }

    // Our children and theirs.
    static QSet<qint64> descendantProcesses(qint64 parent = QCoreApplication::applicationPid())
    {
        QSet<qint64> found;
        for (const QString &task :
             QDir(QStringLiteral("/proc/%1/task").arg(parent)).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
            QFile children(QStringLiteral("/proc/%1/task/%2/children").arg(parent).arg(task));
            if (!children.open(QIODevice::ReadOnly))
                continue;
            for (const QByteArray &child : children.readAll().split(' ')) {
                if (child.trimmed().isEmpty())
                    continue;
                found.insert(child.trimmed().toLongLong());
                found.unite(descendantProcesses(child.trimmed().toLongLong()));
            }
        }
        return found;
    }

private Q_SLOTS:
    void wavIsMonoSixteenBitAtTheEnginesRate()
    {
        const QString path = m_folder.filePath(QStringLiteral("episode.wav"));
        const RenderedSound rendered = speakInto(path, longText(40));
        const SoundFileInfo info = readSoundFile(path);
        QVERIFY(info.readable);
        QCOMPARE(rendered.frames, info.frames);
        QCOMPARE(rendered.sampleRate, info.sampleRate);
        QCOMPARE(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        QCOMPARE(info.channels, 1);
        QCOMPARE(info.sampleRate, 22050);
        QCOMPARE(QFileInfo(path).size(), 44 + info.frames * 2);
    }

    void durationGrowsWithTheText()
    {
        const QString shortPath = m_folder.filePath(QStringLiteral("short.wav"));
        const QString longPath = m_folder.filePath(QStringLiteral("long.wav"));
        speakInto(shortPath, longText(20));
        speakInto(longPath, longText(200));
        const double shortSeconds = readSoundFile(shortPath).seconds();
        const double longSeconds = readSoundFile(longPath).seconds();
        QVERIFY(shortSeconds > 3.0);
        QVERIFY2(longSeconds > 8 * shortSeconds,
                 qPrintable(QStringLiteral("%1 s vs %2 s").arg(longSeconds).arg(shortSeconds)));
    }

    void emptyTextStillGivesAValidFile()
    {
        const QString path = m_folder.filePath(QStringLiteral("empty.wav"));
        speakInto(path, QString());
        const SoundFileInfo info = readSoundFile(path);
        QVERIFY(info.readable);
        QCOMPARE(info.format, SF_FORMAT_WAV | SF_FORMAT_PCM_16);
        QVERIFY(info.seconds() < 0.1);
    }

    void compressedFormatsReadBack_data()
    {
        QTest::addColumn<SoundFileFormat>("format");
        QTest::addColumn<int>("majorFormat");
        QTest::newRow("MP3") << SoundFileFormat::Mp3 << int(SF_FORMAT_MPEG);
        QTest::newRow("Ogg Vorbis") << SoundFileFormat::OggVorbis << int(SF_FORMAT_OGG);
        QTest::newRow("FLAC") << SoundFileFormat::Flac << int(SF_FORMAT_FLAC);
    }
    void compressedFormatsReadBack()
    {
        QFETCH(SoundFileFormat, format);
        QFETCH(int, majorFormat);
        const QString wavPath = m_folder.filePath(QStringLiteral("reference.wav"));
        const QString path = m_folder.filePath(QStringLiteral("compressed"));
        const QString text = longText(60);
        speakInto(wavPath, text);
        speakInto(path, text, format);
        const SoundFileInfo info = readSoundFile(path);
        QVERIFY(info.readable);
        QCOMPARE(info.format & SF_FORMAT_TYPEMASK, majorFormat);
        QCOMPARE(info.channels, 1);
        QCOMPARE(info.sampleRate, 22050);
        const double wavSeconds = readSoundFile(wavPath).seconds();
        QVERIFY2(qAbs(info.seconds() - wavSeconds) < 0.05 * wavSeconds + 0.2,
                 qPrintable(QStringLiteral("%1 s against %2 s").arg(info.seconds()).arg(wavSeconds)));
        QVERIFY(QFileInfo(path).size() < QFileInfo(wavPath).size());
    }

    void fliteVoicesWriteEveryFormatAtTheirOwnRate_data()
    {
        QTest::addColumn<QString>("voiceName");
        QTest::addColumn<SoundFileFormat>("format");
        QTest::addColumn<int>("rate");
        const std::pair<const char *, SoundFileFormat> formats[] = {
            {"WAV", SoundFileFormat::Wav},
            {"MP3", SoundFileFormat::Mp3},
            {"Ogg Vorbis", SoundFileFormat::OggVorbis},
            {"FLAC", SoundFileFormat::Flac}};
        for (const auto &[name, format] : formats) {
            QTest::addRow("slt %s", name) << "English (America) - slt" << format << 16000;
            QTest::addRow("kal %s", name) << "English (America) - kal" << format << 8000;
        }
    }
    void fliteVoicesWriteEveryFormatAtTheirOwnRate()
    {
        QFETCH(QString, voiceName);
        QFETCH(SoundFileFormat, format);
        QFETCH(int, rate);
        const QString path = m_folder.filePath(QStringLiteral("flite-episode"));
        speakInto(path, longText(30), format, {}, voiceName);
        const SoundFileInfo info = readSoundFile(path);
        QVERIFY(info.readable);
        QCOMPARE(info.channels, 1);
        QCOMPARE(info.sampleRate, rate);
        // Thirty words take about ten seconds to say, whatever the rate.
        QVERIFY2(info.seconds() > 6.0 && info.seconds() < 16.0, qPrintable(QString::number(info.seconds())));
    }

    void mediaTypes()
    {
        QCOMPARE(mediaTypeOf(SoundFileFormat::Wav), QStringLiteral("audio/wav"));
        QCOMPARE(mediaTypeOf(SoundFileFormat::Mp3), QStringLiteral("audio/mpeg"));
        QCOMPARE(mediaTypeOf(SoundFileFormat::OggVorbis), QStringLiteral("audio/ogg"));
        QCOMPARE(mediaTypeOf(SoundFileFormat::Flac), QStringLiteral("audio/flac"));
    }

    void anExistingFileIsReplaced()
    {
        const QString path = m_folder.filePath(QStringLiteral("replace.wav"));
        speakInto(path, longText(100));
        const qint64 before = QFileInfo(path).size();
        speakInto(path, longText(10));
        QVERIFY(QFileInfo(path).size() < before / 5);
        QVERIFY(readSoundFile(path).readable);
    }

    void progressRisesToTheWhole()
    {
        QList<double> shares;
        speakInto(m_folder.filePath(QStringLiteral("progress.wav")), longText(3000), SoundFileFormat::Wav,
                  [&shares](double share) {
                      shares.append(share);
                      return true;
                  });
        QVERIFY(shares.size() > 3);
        QVERIFY(std::is_sorted(shares.cbegin(), shares.cend()));
        QVERIFY(shares.first() < 0.5);
        QCOMPARE(shares.last(), 1.0);
    }

    void oneHelperOrTwoGiveTheSameSamples_data()
    {
        QTest::addColumn<QString>("voiceName");
        QTest::newRow("espeak-ng") << "English (America)";
        QTest::newRow("flite") << "English (America) - slt";
    }
    void oneHelperOrTwoGiveTheSameSamples()
    {
        QFETCH(QString, voiceName);
        const QString one = m_folder.filePath(QStringLiteral("one.wav"));
        const QString two = m_folder.filePath(QStringLiteral("two.wav"));
        m_engine.setRenderingHelperCount(1);
        speakInto(one, longText(200), SoundFileFormat::Wav, {}, voiceName);
        m_engine.setRenderingHelperCount(2);
        speakInto(two, longText(200), SoundFileFormat::Wav, {}, voiceName);
        QVERIFY(readSoundFile(one).seconds() > 30.0);
        QVERIFY(contentsOf(one) == contentsOf(two));
    }

    void cancellingTwoHelpersLeavesTheEarlierFileNoTemporaryAndNoHelper()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("keep.wav"));
        speakInto(path, QStringLiteral("The earlier episode."));
        const QByteArray earlier = contentsOf(path);
        m_engine.setRenderingHelperCount(2);
        QSet<qint64> helpers;
        QVERIFY_THROWS_EXCEPTION(
            SpeechCancelled, speakInto(path, longText(5000), SoundFileFormat::Wav, [&helpers](double share) {
                helpers.unite(descendantProcesses());
                return share < 0.2;
            }));
        QVERIFY2(helpers.size() >= 2, "two helpers, and the children speaking their passages");
        for (const qint64 pid : std::as_const(helpers))
            QTRY_VERIFY_WITH_TIMEOUT(!QFileInfo::exists(QStringLiteral("/proc/%1").arg(pid)), 2000);
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(entriesOf(folder.path()), QStringList{QStringLiteral("keep.wav")});
    }

    void threeCrashesInARowLeaveTheEarlierFileAndNoTemporary()
    {
        QTemporaryDir folder;
        const QString path = folder.filePath(QStringLiteral("keep.wav"));
        speakInto(path, QStringLiteral("The earlier episode."));
        const QByteArray earlier = contentsOf(path);
        try {
            speakInto(path, (textThatKillsTheEngine() + u'\n').repeated(3) + QStringLiteral("Never said."));
            QFAIL("rendering should have failed");
        } catch (const SpeechError &error) {
            QCOMPARE(error.description(), QStringLiteral("The speech engine stopped unexpectedly."));
        }
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(entriesOf(folder.path()), QStringList{QStringLiteral("keep.wav")});
    }

    void targetsThatCannotBeWrittenAreReportedByName_data()
    {
        QTest::addColumn<QString>("target");
        QTest::newRow("missing folder") << "no such folder/episode.wav";
        QTest::newRow("a folder") << "";
    }
    void targetsThatCannotBeWrittenAreReportedByName()
    {
        QFETCH(QString, target);
        const QString path = m_folder.filePath(target);
        try {
            speakInto(path, QStringLiteral("Hello."));
            QFAIL("opening should have failed");
        } catch (const SpeechError &error) {
            QVERIFY2(error.description().contains(QDir::toNativeSeparators(path)),
                     qPrintable(error.description()));
        }
    }

    void aReadOnlyFolderKeepsTheEarlierFile()
    {
        ScratchMount mount(QStringLiteral("size=1m"));
        QVERIFY2(mount.isMounted(), qPrintable(mount.error()));
        const QString path = mount.filePath(QStringLiteral("keep.wav"));
        speakInto(path, QStringLiteral("The earlier episode."));
        const QByteArray earlier = contentsOf(path);
        QVERIFY2(mount.remount(QStringLiteral("remount,ro")), qPrintable(mount.error()));
        try {
            speakInto(path, QStringLiteral("A new episode."));
            QFAIL("opening should have failed");
        } catch (const SpeechError &error) {
            QVERIFY2(error.description().contains(QStringLiteral("keep.wav")),
                     qPrintable(error.description()));
        }
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(entriesOf(mount.path()), QStringList{QStringLiteral("keep.wav")});
    }

    void aFullDiskKeepsTheEarlierFileAndLeavesNoTemporary_data()
    {
        QTest::addColumn<SoundFileFormat>("format");
        QTest::newRow("WAV") << SoundFileFormat::Wav;
        QTest::newRow("Ogg Vorbis") << SoundFileFormat::OggVorbis;
    }
    void aFullDiskKeepsTheEarlierFileAndLeavesNoTemporary()
    {
        QFETCH(SoundFileFormat, format);
        ScratchMount mount(QStringLiteral("size=256k"));
        QVERIFY2(mount.isMounted(), qPrintable(mount.error()));
        const QString path = mount.filePath(QStringLiteral("keep.wav"));
        speakInto(path, QStringLiteral("Short."));
        const QByteArray earlier = contentsOf(path);
        try {
            speakInto(path, longText(2000), format);
            QFAIL("writing should have failed");
        } catch (const SpeechError &error) {
            QVERIFY2(error.description().contains(QStringLiteral("keep.wav")),
                     qPrintable(error.description()));
        }
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(entriesOf(mount.path()), QStringList{QStringLiteral("keep.wav")});
    }

    void theTypedExtensionDecidesTheFormatElseTheChosenEntry()
    {
        using enum SoundFileFormat;
        const std::pair<const char *, std::optional<SoundFileFormat>> typedNames[] = {
            {"episode.wav", Wav},   {"episode.mp3", Mp3},   {"EPISODE.Ogg", OggVorbis},
            {"episode.FLAC", Flac}, {"episode", {}},        {"episode.mp3.txt", {}},
            {"episode.mp33", {}},   {"my.flac/episode", {}}};
        for (const auto &[typed, decided] : typedNames) {
            for (SoundFileFormat chosen : {Wav, Mp3, OggVorbis, Flac}) {
                QVERIFY2(soundFileFormatFor(QString::fromLatin1(typed), chosen) == decided.value_or(chosen),
                         qPrintable(
                             QStringLiteral("%1, entry %2").arg(QLatin1StringView(typed)).arg(int(chosen))));
            }
        }
    }
};

QTEST_GUILESS_MAIN(TestSpFileStream)
#include "tst_spfilestream.moc"
