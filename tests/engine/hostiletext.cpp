#include "tests/engine/hostiletext.h"

#include "tests/engine/enginetesting.h"

#include <QByteArray>
#include <QRandomGenerator>
#include <QStringList>

namespace {

constexpr qsizetype MillionCharacters = 1 << 20;

[[nodiscard]] QByteArray randomBytes(QRandomGenerator &random, qsizetype size)
{
    QByteArray bytes(size, Qt::Uninitialized);
    for (char &byte : bytes)
        byte = char(random.bounded(256));
    return bytes;
}

[[nodiscard]] QString randomCodeUnits(QRandomGenerator &random, qsizetype size)
{
    QString text(size, Qt::Uninitialized);
    for (QChar &c : text)
        c = QChar(char16_t(random.bounded(0x10000)));
    return text;
}

[[nodiscard]] QString randomRun(QRandomGenerator &random, qsizetype size, char16_t first, char16_t last)
{
    QString text(size, Qt::Uninitialized);
    for (QChar &c : text)
        c = QChar(char16_t(first + random.bounded(last - first + 1)));
    return text;
}

// Digit groups of up to forty digits joined by the separators numbers are read with.
[[nodiscard]] QString digitGroups(QRandomGenerator &random, int groups)
{
    static const QString separators = QStringLiteral(".,:/-+ ");
    QString text;
    for (int i = 0; i < groups; ++i) {
        text += randomRun(random, 1 + random.bounded(40), u'0', u'9');
        text += separators.at(random.bounded(separators.size()));
    }
    return text;
}

[[nodiscard]] QString dottedLetters(QRandomGenerator &random, int pairs)
{
    QString text;
    for (int i = 0; i < pairs; ++i) {
        text += QChar(char16_t(u'a' + random.bounded(26)));
        text += u'.';
    }
    return text;
}

// Every C0 and C1 control and DEL, each between two words.
[[nodiscard]] QString controlCharacters()
{
    QString text;
    for (char16_t c = 0; c <= 0x9F; ++c) {
        if (c < 0x20 || c >= 0x7F) {
            text += QStringLiteral("word");
            text += QChar(c);
        }
    }
    return text + QChar(1) + QStringLiteral("80S slow") + QChar(1) + QStringLiteral("5A quiet");
}

[[nodiscard]] QString nulBytes()
{
    return QStringLiteral("before").append(QChar(0)).append(QStringLiteral("after")).repeated(50) +
           QString(200, QChar(0)) + QStringLiteral("end");
}

// Code points drawn from many scripts, Greek, Armenian and Arabic among them, in words.
[[nodiscard]] QString mixedScripts(QRandomGenerator &random, int words)
{
    struct Range
    {
        char16_t first;
        char16_t last;
    };
    static const Range ranges[] = {
        {0x0041, 0x007A}, {0x00C0, 0x024F}, {0x0370, 0x03FF}, {0x0400, 0x04FF}, {0x0530, 0x058F},
        {0x0590, 0x05FF}, {0x0600, 0x06FF}, {0x0900, 0x097F}, {0x0E00, 0x0E7F}, {0x10A0, 0x10FF},
        {0x1200, 0x137F}, {0x3040, 0x30FF}, {0x4E00, 0x9FFF}, {0xAC00, 0xD7A3}, {0x0300, 0x036F},
    };
    QString text;
    for (int i = 0; i < words; ++i) {
        const Range &range = ranges[random.bounded(int(std::size(ranges)))];
        text += randomRun(random, 1 + random.bounded(12), range.first, range.last);
        text += u' ';
    }
    return text;
}

[[nodiscard]] QString emoji(QRandomGenerator &random, int count)
{
    static const QStringList pieces{
        QStringLiteral("😀"),
        QStringLiteral("👩‍👩‍👧‍👦"),
        QStringLiteral("👍🏽"),
        QStringLiteral("🇩🇪"),
        QStringLiteral("1️⃣"),
        QStringLiteral("🏴󠁧󠁢󠁳󠁣󠁴󠁿"),
        QStringLiteral("❤\uFE0F"),
        QStringLiteral("🎙"),
        QStringLiteral("\u200D\u200D"),
        QStringLiteral("🧑🏿‍🚀"),
        QStringLiteral(" "),
        QStringLiteral("🙂🙃"),
    };
    QString text;
    for (int i = 0; i < count; ++i)
        text += pieces.at(random.bounded(pieces.size()));
    return text;
}

[[nodiscard]] QString markup(QRandomGenerator &random, int count)
{
    static const QStringList pieces{
        QStringLiteral("<speak>"),
        QStringLiteral("</speak>"),
        QStringLiteral("<"),
        QStringLiteral(">"),
        QStringLiteral("&"),
        QStringLiteral("&amp;"),
        QStringLiteral("&#0;"),
        QStringLiteral("[["),
        QStringLiteral("]]"),
        QStringLiteral("<?xml"),
        QStringLiteral("<!--"),
        QStringLiteral("-->"),
        QStringLiteral("<break time='99999s'/>"),
        QStringLiteral("<audio src='/dev/zero'/>"),
        QStringLiteral("word"),
        QStringLiteral(" "),
    };
    QString text;
    for (int i = 0; i < count; ++i)
        text += pieces.at(random.bounded(pieces.size()));
    return text;
}

// Plain sentences with the other texts mixed in, to a million characters. The dotted runs stay
// out: they would end the synthesis at the first one.
[[nodiscard]] QString millionCharacters(const QList<HostileText> &others)
{
    QString text;
    text.reserve(MillionCharacters + 100000);
    const QString sentences = longText(200);
    while (text.size() < MillionCharacters) {
        for (const HostileText &other : others) {
            if (other.name.contains(QStringLiteral("dotted")))
                continue;
            text += sentences;
            text += other.text;
            text += u'\n';
        }
    }
    text.truncate(MillionCharacters);
    return text;
}

} // namespace

QList<HostileText> hostileTexts(quint32 seed)
{
    QRandomGenerator random(seed);
    QList<HostileText> texts{
        {QStringLiteral("random bytes read as UTF-8"), QString::fromUtf8(randomBytes(random, 2000))},
        {QStringLiteral("random bytes read as Latin-1"), QString::fromLatin1(randomBytes(random, 2000))},
        {QStringLiteral("random UTF-16 code units"), randomCodeUnits(random, 1000)},
        {QStringLiteral("very long word"), randomRun(random, 5000, u'a', u'z')},
        {QStringLiteral("very long number"), randomRun(random, 3000, u'0', u'9')},
        {QStringLiteral("digit groups"), digitGroups(random, 200)},
        {QStringLiteral("dotted run that kills espeak-ng"), textThatKillsTheEngine()},
        {QStringLiteral("dotted random letters"), dottedLetters(random, 300)},
        {QStringLiteral("control characters"), controlCharacters()},
        {QStringLiteral("NUL characters"), nulBytes()},
        {QStringLiteral("mixed scripts"), mixedScripts(random, 300)},
        {QStringLiteral("emoji"), emoji(random, 400)},
        {QStringLiteral("markup and entities"), markup(random, 400)},
    };
    texts.append({QStringLiteral("a million characters"), millionCharacters(texts)});
    return texts;
}
