#include "voicelibrary/voicecollection.h"

#include <QTest>

using namespace Qt::StringLiterals;

namespace {

// One voice as Piper's voices.json lists it; files: a JSON object's members.
QByteArray entry(const QByteArray &key, const QByteArray &languageName, const QByteArray &files)
{
    return "\"" + key + "\": {\"key\": \"" + key + "\", \"name\": \"" + key.split('-').value(1) +
           "\", \"quality\": \"" + key.split('-').value(2) + "\", \"language\": {\"code\": \"" +
           key.split('-').value(0) + "\", \"name_english\": \"" + languageName +
           "\", \"country_english\": \"United States\"}, \"num_speakers\": 1, \"files\": {" + files + "}}";
}

QByteArray file(const QByteArray &path, const QByteArray &md5 = "0123456789ABCDEF0123456789abcdef")
{
    return "\"" + path + "\": {\"size_bytes\": 1000, \"md5_digest\": \"" + md5 + "\"}";
}

QByteArray voiceFiles(const QByteArray &model)
{
    return file(model) + ", " + file(model + ".json") + ", " + file("en/MODEL_CARD");
}

} // namespace

// Reading Piper's voice collection: which entries can be downloaded, in which order.
class TestVoiceCollection : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void voicesThatCanBeDownloaded_data()
    {
        QTest::addColumn<QByteArray>("json");
        QTest::addColumn<QStringList>("keys");
        QTest::addColumn<QString>("error");
        const QByteArray joe =
            entry("en_US-joe-medium", "English", voiceFiles("en/en_US/joe/medium/en_US-joe-medium.onnx"));
        const QByteArray amy =
            entry("en_US-amy-low", "English", voiceFiles("en/en_US/amy/low/en_US-amy-low.onnx"));
        const QByteArray eva =
            entry("de_DE-eva-x_low", "German", voiceFiles("de/de_DE/eva/x_low/de_DE-eva-x_low.onnx"));
        QTest::newRow("by language, then name")
            << "{" + joe + "," + eva + "," + amy + "}"
            << QStringList{u"en_US-amy-low"_s, u"en_US-joe-medium"_s, u"de_DE-eva-x_low"_s} << QString();
        QTest::newRow("without its configuration")
            << "{" + entry("en_US-joe-medium", "English", file("en/joe.onnx")) + "," + amy + "}"
            << QStringList{u"en_US-amy-low"_s} << QString();
        QTest::newRow("a path out of the folder")
            << "{" + entry("en_US-joe-medium", "English", voiceFiles("../joe.onnx")) + "," + amy + "}"
            << QStringList{u"en_US-amy-low"_s} << QString();
        QTest::newRow("no MD5 sum") << "{" +
                                           entry("en_US-joe-medium", "English",
                                                 file("joe.onnx", "") + "," + file("joe.onnx.json", "")) +
                                           "}"
                                    << QStringList() << u"holds no voice"_s;
        QTest::newRow("not JSON") << QByteArray("<html>") << QStringList() << u"not a voice collection"_s;
        QTest::newRow("a list, not an object")
            << QByteArray("[]") << QStringList() << u"not a voice collection"_s;
    }
    void voicesThatCanBeDownloaded()
    {
        QFETCH(QByteArray, json);
        const VoiceCollection::Parsed parsed = VoiceCollection::fromJson(json);
        QFETCH(QStringList, keys);
        QFETCH(QString, error);
        QStringList found;
        for (const CollectionVoice &voice : parsed.voices)
            found.append(voice.key);
        QCOMPARE(found, keys);
        QCOMPARE(parsed.error.isEmpty(), error.isEmpty());
        QVERIFY2(parsed.error.contains(error), qPrintable(parsed.error));
    }

    void aVoiceKeepsWhatTheDialogShowsAndDownloads()
    {
        const CollectionVoice voice =
            VoiceCollection::fromJson("{" +
                                      entry("en_US-joe-medium", "English",
                                            voiceFiles("en/en_US/joe/medium/en_US-joe-medium.onnx")) +
                                      "}")
                .voices.value(0);
        QCOMPARE(voice.language, u"English (United States)"_s);
        QCOMPARE(voice.name, u"joe"_s);
        QCOMPARE(voice.quality, u"medium"_s);
        QCOMPARE(voice.modelFileName(), u"en_US-joe-medium.onnx"_s);
        QCOMPARE(voice.config.path, u"en/en_US/joe/medium/en_US-joe-medium.onnx.json"_s);
        QCOMPARE(voice.model.md5, QByteArray("0123456789abcdef0123456789abcdef"));
        QCOMPARE(voice.size(), 2000);
        QCOMPARE(VoiceCollection::fileUrl(QUrl(VoiceCollection::defaultAddress()), voice.model.path),
                 QUrl(u"https://huggingface.co/rhasspy/piper-voices/resolve/main/en/en_US/joe/medium/"
                      "en_US-joe-medium.onnx"_s));
    }
};

QTEST_GUILESS_MAIN(TestVoiceCollection)
#include "tst_voicecollection.moc"
