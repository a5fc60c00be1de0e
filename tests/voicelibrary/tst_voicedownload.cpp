#include "engine/naturalvoices/naturalvoicefolders.h"
#include "tests/support/filecontents.h"
#include "tests/support/localwebserver.h"
#include "tests/support/naturalvoicemaker.h"
#include "voicelibrary/voicedownload.h"

#include <QCryptographicHash>
#include <QDir>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>

using namespace Qt::StringLiterals;

// Downloading a voice from a collection served on 127.0.0.1 into a voices folder of the test's
// own: only a voice whose files are whole and that the speech helper can open is installed, and
// nothing is left of one that is not.
class TestVoiceDownload : public QObject
{
    Q_OBJECT

private:
    QTemporaryDir m_data;
    QTemporaryDir m_made;
    QString m_model; // the voice the server has
    std::unique_ptr<LocalWebServer> m_server;
    const QString m_modelPath = u"en/en_US/tiny/x_low/en_US-tiny-x_low.onnx"_s;

    static QString folder() { return NaturalVoiceFolders::userFolder(); }
    static QString installed(const QString &ending = {})
    {
        return folder() + u"/en_US-tiny-x_low.onnx"_s + ending;
    }

    static CollectionFile listed(const QString &path, const QByteArray &bytes)
    {
        return {path, bytes.size(), QCryptographicHash::hash(bytes, QCryptographicHash::Md5).toHex()};
    }
    // The voice as the collection lists it, with the model it says the server has.
    CollectionVoice voice(const QByteArray &listedModel)
    {
        return {u"en_US-tiny-x_low"_s,
                u"tiny"_s,
                u"English (United States)"_s,
                u"x_low"_s,
                listed(m_modelPath, listedModel),
                listed(m_modelPath + u".json"_s, contentsOf(m_model + u".json"_s))};
    }
    QUrl collectionUrl() const { return m_server->url(u"/voices/voices.json"_s); }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_data.isValid() && m_made.isValid());
        qputenv("XDG_DATA_HOME", QFile::encodeName(m_data.path()));
        m_model = makeNaturalVoice(m_made.path(), u"tiny"_s);
        QVERIFY(!m_model.isEmpty());
    }

    void init()
    {
        QVERIFY(QDir(folder()).removeRecursively());
        m_server = std::make_unique<LocalWebServer>();
        m_server->serve(u"/voices/"_s + m_modelPath, contentsOf(m_model));
        m_server->serve(u"/voices/"_s + m_modelPath + u".json"_s, contentsOf(m_model + u".json"_s));
    }

    void aWholeVoiceIsInstalled()
    {
        VoiceDownload download(QCoreApplication::applicationDirPath() + u"/parlora-speech-helper"_s,
                               folder());
        QSignalSpy downloaded(&download, &VoiceDownload::downloaded);
        QSignalSpy progressed(&download, &VoiceDownload::progressed);
        download.start(collectionUrl(), voice(contentsOf(m_model)));
        QVERIFY(downloaded.wait(20000));
        QCOMPARE(downloaded.first().first().toString(), installed());
        QCOMPARE(contentsOf(installed()), contentsOf(m_model));
        QCOMPARE(contentsOf(installed(u".json"_s)), contentsOf(m_model + u".json"_s));
        QCOMPARE(entriesOf(folder()),
                 (QStringList{u"en_US-tiny-x_low.onnx"_s, u"en_US-tiny-x_low.onnx.json"_s}));
        QCOMPARE(progressed.last().at(0), progressed.last().at(1));
    }

    void aFailedDownloadKeepsTheEarlierVoice_data()
    {
        QTest::addColumn<QByteArray>("served");
        QTest::addColumn<QByteArray>("listed"); // empty: what is served
        QTest::addColumn<QString>("reason");
        const QByteArray model = contentsOf(m_model);
        QByteArray damaged = model;
        damaged[damaged.size() / 2] = char(damaged.at(damaged.size() / 2) ^ 1);
        QTest::newRow("damaged on the way") << damaged << model << u"MD5 sum"_s;
        QTest::newRow("longer than listed")
            << model + "more" << model << u"larger than the voice list says"_s;
        QTest::newRow("missing on the server") << QByteArray() << model << u"404 Not Found"_s;
        QTest::newRow("not a model") << QByteArray("not a model") << QByteArray() << u"cannot be used"_s;
    }
    void aFailedDownloadKeepsTheEarlierVoice()
    {
        QFETCH(QByteArray, served);
        QFETCH(QByteArray, listed);
        QFETCH(QString, reason);
        if (!served.isEmpty())
            m_server->serve(u"/voices/"_s + m_modelPath, served);
        else
            m_server = std::make_unique<LocalWebServer>(); // serves nothing
        QVERIFY(QDir().mkpath(folder()));
        writeFile(installed(), "earlier model");
        writeFile(installed(u".json"_s), "earlier configuration");

        VoiceDownload download(QCoreApplication::applicationDirPath() + u"/parlora-speech-helper"_s,
                               folder());
        QSignalSpy failed(&download, &VoiceDownload::failed);
        download.start(collectionUrl(), voice(listed.isEmpty() ? served : listed));
        QVERIFY(failed.wait(20000));
        const QString given = failed.first().first().toString();
        QVERIFY2(given.contains(reason), qPrintable(given));
        QCOMPARE(contentsOf(installed()), QByteArray("earlier model"));
        QCOMPARE(contentsOf(installed(u".json"_s)), QByteArray("earlier configuration"));
        QCOMPARE(entriesOf(folder()).size(), 2);
    }

    void aCancelledDownloadLeavesNothing()
    {
        m_server->holdAfter(u"/voices/"_s + m_modelPath, 100);
        VoiceDownload download(QCoreApplication::applicationDirPath() + u"/parlora-speech-helper"_s,
                               folder());
        QSignalSpy progressed(&download, &VoiceDownload::progressed);
        QSignalSpy finished(&download, &VoiceDownload::failed);
        const CollectionVoice held = voice(contentsOf(m_model));
        download.start(collectionUrl(), held);
        QTRY_VERIFY_WITH_TIMEOUT(
            !progressed.isEmpty() && progressed.last().first().toLongLong() > held.config.size, 20000);
        download.cancel();
        QVERIFY(!download.isRunning());
        QCOMPARE(entriesOf(folder()), QStringList());
        QVERIFY(finished.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestVoiceDownload)
#include "tst_voicedownload.moc"
