#include "feed/xmltext.h"

#include <QTest>

using namespace Qt::StringLiterals;

class TestXmlText : public QObject
{
    Q_OBJECT

private slots:
    void escapesValue_data();
    void escapesValue();
};

void TestXmlText::escapesValue_data()
{
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("elementText");
    QTest::addColumn<QString>("attributeValue");

    const auto row = [](const char *name, const QString &value, const QString &elementText,
                        const QString &attributeValue) {
        QTest::newRow(name) << value << elementText << attributeValue;
    };
    const auto unchanged = [&row](const char *name, const QString &value) { row(name, value, value, value); };

    unchanged("plain text", u"Episode 1: the beginning"_s);
    unchanged("empty", QString());
    unchanged("spaces at both ends", u"  two  spaces  "_s);
    unchanged("tab", u"a\tb"_s);
    unchanged("non-ASCII", u"Café Zürich – 日本語"_s);
    unchanged("surrogate pair", u"mic 🎙 on"_s);
    unchanged("DEL and C1 controls, which XML 1.0 allows", u"a\u007Fb\u0085c"_s);
    unchanged("replacement character and private use", u"\uFFFD\uE000\uFFFD"_s);

    row("ampersand", u"Q&A"_s, u"Q&amp;A"_s, u"Q&amp;A"_s);
    row("angle brackets", u"<b>x</b>"_s, u"&lt;b&gt;x&lt;/b&gt;"_s, u"&lt;b&gt;x&lt;/b&gt;"_s);
    row("end of a CDATA section", u"]]>"_s, u"]]&gt;"_s, u"]]&gt;"_s);
    row("typed entity is escaped again", u"&amp;"_s, u"&amp;amp;"_s, u"&amp;amp;"_s);
    row("apostrophe only in attributes", u"it's"_s, u"it's"_s, u"it&apos;s"_s);
    row("quotation mark only in attributes", u"say \"hi\""_s, u"say \"hi\""_s, u"say &quot;hi&quot;"_s);

    row("LF becomes CR LF", u"a\nb"_s, u"a\r\nb"_s, u"a\r\nb"_s);
    row("CR LF stays", u"a\r\nb"_s, u"a\r\nb"_s, u"a\r\nb"_s);
    row("lone CR becomes CR LF", u"a\rb"_s, u"a\r\nb"_s, u"a\r\nb"_s);
    row("LF CR is two line breaks", u"a\n\rb"_s, u"a\r\n\r\nb"_s, u"a\r\n\r\nb"_s);
    row("CR CR LF is two line breaks", u"a\r\r\nb"_s, u"a\r\n\r\nb"_s, u"a\r\n\r\nb"_s);
    row("empty line between LFs", u"a\n\nb"_s, u"a\r\n\r\nb"_s, u"a\r\n\r\nb"_s);
    row("line break at either end", u"\na\r"_s, u"\r\na\r\n"_s, u"\r\na\r\n"_s);

    const QString highSurrogate(QChar(0xD83C));
    const QString lowSurrogate(QChar(0xDF99));
    row("NUL and other C0 controls dropped", u"\0a\x01z\x0B-\x1F!"_s, u"az-!"_s, u"az-!"_s);
    row("U+FFFE and U+FFFF dropped", u"a\uFFFEb\uFFFFc"_s, u"abc"_s, u"abc"_s);
    row("lone high surrogate dropped", u"a"_s + highSurrogate + u"b"_s, u"ab"_s, u"ab"_s);
    row("lone low surrogate dropped", u"a"_s + lowSurrogate + u"b"_s, u"ab"_s, u"ab"_s);
    row("reversed surrogate pair dropped", lowSurrogate + highSurrogate, QString(), QString());
    row("high surrogate at the end dropped", u"a"_s + highSurrogate, u"a"_s, u"a"_s);
    row("dropping keeps the escaping around it", u"<\x01&\x02>"_s, u"&lt;&amp;&gt;"_s, u"&lt;&amp;&gt;"_s);
}

void TestXmlText::escapesValue()
{
    QFETCH(QString, value);
    QFETCH(QString, elementText);
    QFETCH(QString, attributeValue);

    QCOMPARE(xmlElementText(value), elementText);
    QCOMPARE(xmlAttributeValue(value), attributeValue);
}

QTEST_APPLESS_MAIN(TestXmlText)
#include "tst_xmltext.moc"
