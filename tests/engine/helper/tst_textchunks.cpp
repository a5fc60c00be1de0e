#include "engine/helper/textchunks.h"

#include <QTest>

#include <string>

namespace {

std::string joined(const std::vector<std::string_view> &chunks)
{
    std::string text;
    for (const std::string_view chunk : chunks)
        text += chunk;
    return text;
}

std::size_t longestWord(std::string_view text)
{
    std::size_t longest = 0;
    std::size_t run = 0;
    for (const char c : text) {
        run = (c == ' ' || c == '\n' || c == '\t' || c == '\r') ? 0 : run + 1;
        longest = std::max(longest, run);
    }
    return longest;
}

bool isCharacterStart(char c)
{
    return (static_cast<unsigned char>(c) & 0xC0) != 0x80;
}

} // namespace

// Cutting text into the pieces a sentence-at-a-time engine is fed.
class TestTextChunks : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void cutsAfterSentenceEndsAndLineBreaks()
    {
        const auto chunks = textChunks("One. Two? Three!\nFour e.g.five");
        const std::vector<std::string_view> expected{"One. ", "Two? ", "Three!\n", "Four e.g.five"};
        QVERIFY(chunks == expected);
    }

    void aLongRunIsCutAtWhiteSpaceWithinTheLimit()
    {
        const std::string text = "aaaa bbbb cccc dddd";
        const auto chunks = textChunks(text, 12);
        const std::vector<std::string_view> expected{"aaaa bbbb ", "cccc dddd"};
        QVERIFY(chunks == expected);
    }

    void everyTextComesBackWholeInBoundedPieces_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("maxBytes");
        QTest::newRow("empty") << QByteArray() << 10;
        QTest::newRow("one long word") << QByteArray(5000, 'x') << 1000;
        QTest::newRow("two-byte letters without spaces") << QString(3001, QChar(0xE9)).toUtf8() << 1000;
        QTest::newRow("emoji without spaces")
            << QString::fromUtf8("\xF0\x9F\x8E\x99").repeated(700).toUtf8() << 999;
        QTest::newRow("limit smaller than a character")
            << QString::fromUtf8("\xE2\x82\xAC").repeated(5).toUtf8() << 1;
        QTest::newRow("dots only") << QByteArray(3000, '.') << 1000;
        QTest::newRow("a long word after short ones") << QByteArray("a b ") + QByteArray(900, ',') << 1000;
        QTest::newRow("blank lines") << QByteArray("\n\n\r\n \n") << 1000;
    }
    void everyTextComesBackWholeInBoundedPieces()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, maxBytes);
        const std::string input = text.toStdString();
        const auto chunks = textChunks(input, static_cast<std::size_t>(maxBytes));
        QCOMPARE(joined(chunks), input);
        for (const std::string_view chunk : chunks) {
            QVERIFY(!chunk.empty());
            // A character wider than the limit is one piece of its own, never split.
            QVERIFY(chunk.size() <= static_cast<std::size_t>(std::max(maxBytes, 4)));
            QVERIFY2(isCharacterStart(chunk.front()), "a piece starts in the middle of a character");
            QVERIFY(longestWord(chunk) <= 200 + 3);
        }
    }
};

QTEST_GUILESS_MAIN(TestTextChunks)
#include "tst_textchunks.moc"
