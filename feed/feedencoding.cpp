#include "feed/feedencoding.h"

#include <QRegularExpression>
#include <QStringDecoder>

#include <algorithm>

namespace {

const QRegularExpression &encodingDeclaration()
{
    // The encoding pseudo-attribute of an XML declaration at the very start.
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*<\\?xml\\s[^>]*?encoding\\s*=\\s*([\"'])([A-Za-z][A-Za-z0-9._-]*)\\1"));
    return pattern;
}

[[nodiscard]] bool isUtf8Name(const QString &name)
{
    const QString lower = name.toLower();
    return lower == u"utf-8" || lower == u"utf8" || lower == u"us-ascii" || lower == u"ascii";
}

[[nodiscard]] bool isAscii(const QByteArray &bytes)
{
    return std::all_of(bytes.begin(), bytes.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

// The decoder is not moved or copied: Qt 6.4's decoders through ICU then no longer report errors.
[[nodiscard]] Utf8Feed decoded(const QByteArray &bytes, QStringDecoder &decoder, const QString &name)
{
    QString text = decoder.decode(bytes);
    // A lone surrogate (UTF-7 can spell one) has no UTF-8 form.
    if (decoder.hasError() || !text.isValidUtf16())
        return {{}, QStringLiteral("Its text is not valid %1.").arg(name)};
    if (text.startsWith(QChar::ByteOrderMark))
        text.remove(0, 1);
    const QRegularExpressionMatch match = encodingDeclaration().match(text);
    if (match.hasMatch())
        text.replace(match.capturedStart(2), match.capturedLength(2), QStringLiteral("UTF-8"));
    return {text.toUtf8(), {}};
}

} // namespace

Utf8Feed feedAsUtf8(const QByteArray &bytes)
{
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return {bytes, {}};
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith(QByteArrayView("<\0?\0", 4))) {
        QStringDecoder decoder(QStringDecoder::Utf16LE);
        return decoded(bytes, decoder, QStringLiteral("UTF-16"));
    }
    if (bytes.startsWith("\xFE\xFF") || bytes.startsWith(QByteArrayView("\0<\0?", 4))) {
        QStringDecoder decoder(QStringDecoder::Utf16BE);
        return decoded(bytes, decoder, QStringLiteral("UTF-16"));
    }

    const QRegularExpressionMatch match =
        encodingDeclaration().match(QString::fromLatin1(bytes.left(bytes.indexOf("?>", 0) + 2).left(400)));
    if (!match.hasMatch() || isUtf8Name(match.captured(2)))
        return {bytes, {}};
    const QString name = match.captured(2);
    QStringDecoder decoder(name.toLatin1().constData());
    if (!decoder.isValid())
        return {{}, QStringLiteral("Its encoding \"%1\" is not known.").arg(name)};
    // Text that is all ASCII reads the same in any encoding that extends it, so it is kept as
    // it is, declaration and all.
    if (isAscii(bytes) && decoder.decode(bytes) == QString::fromLatin1(bytes))
        return {bytes, {}};
    return decoded(bytes, decoder, name);
}
