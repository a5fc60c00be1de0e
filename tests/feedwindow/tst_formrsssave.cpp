#include "feed/feeddocument.h"
#include "tests/feedwindow/feedwindowfixture.h"
#include "tests/support/filecontents.h"
#include "tests/support/scratchmount.h"

#include <QAction>
#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

const QString ChannelEmpty = u"Please enter the values in the Channel tags first"_s;

} // namespace

// "&Save Rss": the channel check, the save dialog and the file as written, and failures that
// leave an earlier file as it was.
class TestFormRssSave : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FeedWindowFixture> m_feed;
    std::unique_ptr<QTemporaryDir> m_folder;

    FormRss &window() { return m_feed->window(); }
    QStringList &messages() { return m_feed->messages(); }
    ScriptedFileDialogs &dialogs() { return m_feed->test().fileDialogs; }
    QString pathOf(const QString &name) const { return m_folder->filePath(name); }

    // What a save of the window as it stands should write, from the document builder.
    QByteArray documentBytes()
    {
        FormRss &feed = window();
        return feedFileBytes(
            feedDocument(feedHeaderTemplate(),
                         channelBlock({feed.Text1->text(), feed.Text12->text(),
                                       m_feed->value(u"channel description"_s), feed.Text3->text()}),
                         feed.Text7.text(), feedFooterTemplate()));
    }

    // Saves through the dialog answering path; returns what was written.
    QByteArray saveTo(const QString &path)
    {
        dialogs().answer(path);
        window().Command1_Click();
        return contentsOf(path);
    }

    void addItem(const QString &title)
    {
        m_feed->fillItem(title);
        window().Command2_Click();
    }

private Q_SLOTS:
    void init()
    {
        m_folder = std::make_unique<QTemporaryDir>();
        QVERIFY(m_folder->isValid());
        m_feed = std::make_unique<FeedWindowFixture>();
        m_feed->fillAll();
    }

    void cleanup()
    {
        m_feed.reset();
        m_folder.reset();
    }

    void eachChannelValueLeftEmptyRefusesToSave_data()
    {
        QTest::addColumn<QString>("value");
        for (const char *value : {"channel title", "channel description", "channel link", "channel author"})
            QTest::newRow(value) << QString::fromLatin1(value);
    }
    void eachChannelValueLeftEmptyRefusesToSave()
    {
        QFETCH(QString, value);
        m_feed->setValue(value, QString());
        dialogs().answer(pathOf(u"feed.xml"_s));
        window().Command1_Click();
        QCOMPARE(messages(), QStringList{ChannelEmpty});
        QVERIFY(dialogs().shown.isEmpty());
        QVERIFY(entriesOf(m_folder->path()).isEmpty());
    }

    void theDialogHasNoFilterAndKeepsTheLastName()
    {
        const QString path = pathOf(u"feed.xml"_s);
        saveTo(path);
        saveTo(pathOf(u"other.xml"_s));
        QCOMPARE(dialogs().shown.size(), 2);
        QVERIFY(dialogs().shown.at(0).save);
        QCOMPARE(dialogs().shown.at(0).dialog.Filter, QString());
        QCOMPARE(dialogs().shown.at(0).dialog.FileName, QString());
        QCOMPARE(dialogs().shown.at(1).dialog.FileName, path);
    }

    void aFeedWithoutItemsIsSaved()
    {
        const QByteArray written = saveTo(pathOf(u"feed.xml"_s));
        QVERIFY(messages().isEmpty());
        QVERIFY(written.endsWith("<link>https://example.org/</link></channel>\r\n</rss>\r\n\r\n"));
        QCOMPARE(written, documentBytes());
    }

    void oneItemIsWrittenAsTheDocumentAndOneMoreLineBreak()
    {
        addItem(u"Episode 1"_s);
        const QByteArray written = saveTo(pathOf(u"feed.xml"_s));
        QVERIFY(messages().isEmpty());
        QCOMPARE(written, documentBytes());
    }

    void oneItemFileByteForByte()
    {
        m_feed->setValue(u"channel title"_s, u"Parlora Wöchentlich"_s);
        addItem(u"Episode 1"_s);
        const QByteArray expected =
            "<?xml version=\"1.0\" encoding=\"UTF-8\" ?> \r\n"
            "<rss version=\"2.0\" xmlns:content=\"http://purl.org/rss/1.0/modules/content/\""
            " xmlns:dc=\"http://purl.org/dc/elements/1.1/\""
            " xmlns:itunes=\"http://www.itunes.com/dtds/podcast-1.0.dtd\">\r\n"
            "<channel>\r\n"
            "<title>Parlora W\xc3\xb6"
            "chentlich</title>\r\n"
            "<itunes:author>Ada Lovelace</itunes:author>\r\n"
            "<description>Spoken articles.</description>\r\n"
            "<link>https://example.org/</link>\r\n"
            "<item><title>Episode 1</title>\r\n"
            "<description>About Episode 1</description>\r\n"
            "<link>https://example.org/episodes/1</link>\r\n"
            "<pubDate>Sun, 06 Dec 2026 03:05:09 GMT</pubDate>\r\n"
            "<dc:creator>Ada Lovelace</dc:creator>\r\n"
            "<enclosure url='https://example.org/audio/1.wav' length='1,234,567' type='audio/wav' />\r\n"
            "</item></channel>\r\n"
            "</rss>\r\n"
            "\r\n";
        QCOMPARE(saveTo(pathOf(u"feed.xml"_s)), expected);
    }

    void theMenuCommandAndTheButtonSaveAsTheHandlerDoes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Options, &Save RSS") << "menu";
        QTest::newRow("&Save Rss button") << "button";
    }
    void theMenuCommandAndTheButtonSaveAsTheHandlerDoes()
    {
        QFETCH(QString, command);
        addItem(u"Episode 1"_s);
        const QString path = pathOf(u"feed.xml"_s);
        dialogs().answer(path);
        if (command == u"menu"_s)
            window().srss->trigger();
        else
            window().Command1->click();
        QCOMPARE(contentsOf(path), documentBytes());
    }

    void savingAgainReplacesTheWholeFile()
    {
        const QString path = pathOf(u"feed.xml"_s);
        addItem(u"Episode 1"_s);
        addItem(u"Episode 2"_s);
        saveTo(path);
        m_feed->setValue(u"channel description"_s, u"Short."_s);
        const QByteArray shorter = documentBytes();
        QCOMPARE(saveTo(path), shorter);
        QCOMPARE(entriesOf(m_folder->path()), QStringList{u"feed.xml"_s});
    }

    void aNameWithoutExtensionIsUsedAsTyped()
    {
        saveTo(pathOf(u"feed"_s));
        QCOMPARE(entriesOf(m_folder->path()), QStringList{u"feed"_s});
        QCOMPARE(contentsOf(pathOf(u"feed"_s)), documentBytes());
    }

    void cancelBeforeAnySaveWritesNothing()
    {
        dialogs().cancel();
        window().Command1_Click();
        QCOMPARE(dialogs().shown.size(), 1);
        QVERIFY(messages().isEmpty());
        QVERIFY(entriesOf(m_folder->path()).isEmpty());
    }

    void cancelAfterAnEarlierSaveLeavesThatFileAlone()
    {
        const QString path = pathOf(u"feed.xml"_s);
        const QByteArray earlier = saveTo(path);
        addItem(u"Episode 1"_s);
        dialogs().cancel();
        window().Command1_Click();
        QVERIFY(messages().isEmpty());
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(window().dc.FileName, path);
    }

    void aFolderAsTargetIsReported()
    {
        const QString path = pathOf(u"feeds"_s);
        QVERIFY(QDir().mkdir(path));
        saveTo(path);
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(path) && messages().first().contains(u"directory"_s),
                 qPrintable(messages().first()));
        QVERIFY(QFileInfo(path).isDir());
        QCOMPARE(entriesOf(m_folder->path()), QStringList{u"feeds"_s});
    }

    void aMissingFolderIsReported()
    {
        const QString path = pathOf(u"missing/feed.xml"_s);
        saveTo(path);
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(path) &&
                     messages().first().contains(QString::fromLocal8Bit(std::strerror(ENOENT))),
                 qPrintable(messages().first()));
        QVERIFY(entriesOf(m_folder->path()).isEmpty());
    }

    void aReadOnlyTargetIsReportedAndKeepsTheEarlierFile()
    {
        ScratchMount mount(u"size=64k"_s);
        QVERIFY2(mount.isMounted(), qPrintable(mount.error()));
        const QString disk = mount.path();
        const QString path = disk + u"/feed.xml"_s;
        const QByteArray earlier = saveTo(path);
        QVERIFY(!earlier.isEmpty());
        QVERIFY2(mount.remount(u"remount,ro"_s), qPrintable(mount.error()));
        addItem(u"Episode 1"_s);
        saveTo(path);
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(path) && messages().first().contains(u"writable"_s),
                 qPrintable(messages().first()));
        QCOMPARE(contentsOf(path), earlier);
    }

    void aFullDiskIsReportedAndKeepsTheEarlierFile()
    {
        ScratchMount mount(u"size=16k"_s);
        QVERIFY2(mount.isMounted(), qPrintable(mount.error()));
        const QString disk = mount.path();
        const QString path = disk + u"/feed.xml"_s;
        const QByteArray earlier = saveTo(path);
        QVERIFY(!earlier.isEmpty());
        m_feed->fillItem(u"Episode 1"_s);
        m_feed->setValue(u"item description"_s, QString(40000, u'x'));
        window().Command2_Click();
        saveTo(path);
        QCOMPARE(messages().size(), 1);
        QVERIFY2(messages().first().contains(path) &&
                     messages().first().contains(QString::fromLocal8Bit(std::strerror(ENOSPC))),
                 qPrintable(messages().first()));
        QCOMPARE(contentsOf(path), earlier);
        QCOMPARE(entriesOf(disk), QStringList{u"feed.xml"_s});
    }
};

QTEST_MAIN(TestFormRssSave)
#include "tst_formrsssave.moc"
