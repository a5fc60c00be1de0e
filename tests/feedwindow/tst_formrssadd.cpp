#include "feed/feeddocument.h"
#include "tests/feedwindow/feedwindowfixture.h"

#include <QAction>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

namespace {

const QString ItemTextEmpty = u"Please do not leave Item text empty"_s;

} // namespace

// "&Add item": the check, the block appended to the item store, and the fields cleared.
class TestFormRssAdd : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<FeedWindowFixture> m_feed;

    FormRss &window() { return m_feed->window(); }
    QStringList &messages() { return m_feed->messages(); }
    // The block the fixture's ordinary values make, with the item titled as given.
    QString expectedBlock(const QString &title, const QString &author = u"Ada Lovelace"_s,
                          const QString &enclosureUrl = u"https://example.org/audio/1.wav"_s) const
    {
        return itemBlock({title, u"About "_s + title, u"https://example.org/episodes/1"_s,
                          FeedWindowFixture::defaultDate(), author, enclosureUrl, u"1,234,567"_s,
                          u"audio/wav"_s});
    }

private Q_SLOTS:
    void init()
    {
        m_feed = std::make_unique<FeedWindowFixture>();
        m_feed->fillAll();
    }
    void cleanup() { m_feed.reset(); }

    void eachCheckedValueLeftEmptyRefusesTheItem_data()
    {
        QTest::addColumn<QString>("value");
        for (const char *value : {"item title", "item link", "item description", "enclosure address",
                                  "channel link", "item date", "channel title", "channel description"})
            QTest::newRow(value) << QString::fromLatin1(value);
    }
    void eachCheckedValueLeftEmptyRefusesTheItem()
    {
        QFETCH(QString, value);
        m_feed->setValue(value, QString());
        const QStringList before = m_feed->snapshot();
        window().Command2_Click();
        QCOMPARE(messages(), QStringList{ItemTextEmpty});
        QCOMPARE(m_feed->snapshot(), before);
    }

    void spacesAreNotEmpty()
    {
        for (const QString &name : {u"item title"_s, u"item description"_s, u"channel title"_s})
            m_feed->setValue(name, u" "_s);
        window().Command2_Click();
        QVERIFY(messages().isEmpty());
        QVERIFY(window().Text7.text().startsWith(u"\r\n<item><title> </title>"_s));
    }

    void authorAndEnclosureSizeAndTypeMayBeEmpty()
    {
        for (const QString &name : {u"channel author"_s, u"enclosure size"_s, u"enclosure type"_s})
            m_feed->setValue(name, QString());
        window().Command2_Click();
        QVERIFY(messages().isEmpty());
        QCOMPARE(window().Text7.text(),
                 itemBlock({u"Episode 1"_s, u"About Episode 1"_s, u"https://example.org/episodes/1"_s,
                            FeedWindowFixture::defaultDate(), QString(), u"https://example.org/audio/1.wav"_s,
                            QString(), QString()}));
    }

    void fortyThousandCharactersInAFieldReachTheItemWhole()
    {
        const QString address = u"https://example.org/"_s + QString(40000, u'a');
        m_feed->setValue(u"enclosure address"_s, address);
        window().Command2_Click();
        QVERIFY(window().Text7.text().contains(u"url='"_s + address + u'\''));
    }

    void firstAddMakesTheStoreExactlyOneBlockStartingWithALineBreak()
    {
        window().Command2_Click();
        QVERIFY(messages().isEmpty());
        QCOMPARE(window().Text7.text(), expectedBlock(u"Episode 1"_s));
        QVERIFY(window().Text7.text().startsWith(u"\r\n<item><title>Episode 1</title>\r\n"_s));
    }

    void addClearsTitleDescriptionAndLinkInThatOrder()
    {
        QStringList cleared;
        connect(window().Text5, &QLineEdit::textChanged, this, [&] { cleared.append(u"title"_s); });
        connect(window().Text4, &QPlainTextEdit::textChanged, this,
                [&] { cleared.append(u"description"_s); });
        connect(window().Text6, &QLineEdit::textChanged, this, [&] { cleared.append(u"link"_s); });
        window().Command2_Click();
        QCOMPARE(cleared, (QStringList{u"title"_s, u"description"_s, u"link"_s}));
        for (const QString &name : {u"item title"_s, u"item description"_s, u"item link"_s})
            QCOMPARE(m_feed->value(name), QString());
    }

    void addKeepsTheDateTheChannelAndTheEnclosure()
    {
        const QStringList before = m_feed->snapshot();
        window().Command2_Click();
        const QStringList after = m_feed->snapshot();
        for (const QString &name :
             {u"item date"_s, u"channel title"_s, u"channel description"_s, u"channel author"_s,
              u"channel link"_s, u"enclosure address"_s, u"enclosure size"_s, u"enclosure type"_s}) {
            const qsizetype index = FeedWindowFixture::valueNames().indexOf(name);
            QCOMPARE(after.at(index), before.at(index));
        }
    }

    void addingTwiceWithoutRefillingIsRefusedTheSecondTime()
    {
        window().Command2_Click();
        const QString store = window().Text7.text();
        window().Command2_Click();
        QCOMPARE(messages(), QStringList{ItemTextEmpty});
        QCOMPARE(window().Text7.text(), store);
    }

    void laterItemsFollowInOrderAndEarlierOnesKeepTheOldAuthor()
    {
        window().Command2_Click();
        m_feed->setValue(u"channel author"_s, u"Grace Hopper"_s);
        m_feed->fillItem(u"Episode 2"_s);
        window().Command2_Click();
        QVERIFY(messages().isEmpty());
        QCOMPARE(window().Text7.text(),
                 expectedBlock(u"Episode 1"_s) + expectedBlock(u"Episode 2"_s, u"Grace Hopper"_s));
    }

    void theEnclosureIsReadFromTheSpeechWindowAtEachAdd()
    {
        window().Command2_Click();
        m_feed->setValue(u"enclosure address"_s, u"https://example.org/audio/2.wav"_s);
        m_feed->fillItem(u"Episode 2"_s);
        window().Command2_Click();
        QCOMPARE(window().Text7.text(),
                 expectedBlock(u"Episode 1"_s) +
                     expectedBlock(u"Episode 2"_s, u"Ada Lovelace"_s, u"https://example.org/audio/2.wav"_s));
    }

    void withoutASpeechWindowThereIsNoEnclosureAndTheItemIsRefused()
    {
        m_feed->unloadSpeechWindow();
        window().Command2_Click();
        QCOMPARE(messages(), QStringList{ItemTextEmpty});
        QCOMPARE(window().Text7.text(), QString());
    }

    void theMenuCommandAndTheButtonAddAsTheHandlerDoes_data()
    {
        QTest::addColumn<QString>("command");
        QTest::newRow("Options, &Add item") << "menu";
        QTest::newRow("&Add item button") << "button";
    }
    void theMenuCommandAndTheButtonAddAsTheHandlerDoes()
    {
        QFETCH(QString, command);
        if (command == u"menu"_s)
            window().add->trigger();
        else
            window().Command2->click();
        QCOMPARE(window().Text7.text(), expectedBlock(u"Episode 1"_s));
        window().add->trigger();
        QCOMPARE(messages(), QStringList{ItemTextEmpty});
    }

    void enterInAnyFieldAdds_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<int>("key");
        for (const char *field : {"Text1", "Text2", "Text12", "Text3", "Text5", "Text4", "Text6", "Text10"}) {
            QTest::addRow("Return in %s", field) << QString::fromLatin1(field) << int(Qt::Key_Return);
            QTest::addRow("keypad Enter in %s", field) << QString::fromLatin1(field) << int(Qt::Key_Enter);
        }
    }
    void enterInAnyFieldAdds()
    {
        QFETCH(QString, field);
        QFETCH(int, key);
        const QMap<QString, QWidget *> fields{{u"Text1"_s, window().Text1},   {u"Text2"_s, window().Text2},
                                              {u"Text12"_s, window().Text12}, {u"Text3"_s, window().Text3},
                                              {u"Text5"_s, window().Text5},   {u"Text4"_s, window().Text4},
                                              {u"Text6"_s, window().Text6},   {u"Text10"_s, window().Text10}};
        const Qt::KeyboardModifiers modifiers = key == Qt::Key_Enter ? Qt::KeypadModifier : Qt::NoModifier;
        QTest::keyClick(fields.value(field), Qt::Key(key), modifiers);
        QVERIFY(messages().isEmpty());
        // The store holds the item exactly as typed: no line break went into a description.
        QCOMPARE(window().Text7.text(), expectedBlock(u"Episode 1"_s));
    }

    void ctrlEnterInADescriptionTypesALineBreak_data()
    {
        QTest::addColumn<QString>("value");
        QTest::newRow("channel description") << "channel description";
        QTest::newRow("item description") << "item description";
    }
    void ctrlEnterInADescriptionTypesALineBreak()
    {
        QFETCH(QString, value);
        auto *description = value == u"item description"_s ? window().Text4 : window().Text2;
        m_feed->setValue(value, QString());
        QTest::keyClicks(description, u"first"_s);
        QTest::keyClick(description, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(description, u"second"_s);
        QCOMPARE(m_feed->value(value), u"first\nsecond"_s);
        QCOMPARE(window().Text7.text(), QString());
        QVERIFY(messages().isEmpty());
    }

    void aDescriptionOverSeveralLinesKeepsItsLinesInTheBlock()
    {
        QTest::keyClick(window().Text4, Qt::Key_End, Qt::ControlModifier);
        QTest::keyClick(window().Text4, Qt::Key_Return, Qt::ControlModifier);
        QTest::keyClicks(window().Text4, u"more"_s);
        QTest::keyClick(window().Text4, Qt::Key_Return);
        QVERIFY(window().Text7.text().contains(u"<description>About Episode 1\r\nmore</description>"_s));
    }
};

QTEST_MAIN(TestFormRssAdd)
#include "tst_formrssadd.moc"
