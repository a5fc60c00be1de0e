#include "documents/decodedfiletext.h"

#include <QStringDecoder>

QString decodedFileText(const QByteArray &bytes)
{
    // Stateless, so a sequence cut short at the end counts as an error instead of being held
    // back for input that never comes. The default flags drop a leading byte-order mark.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    // One character more than decoding can need lets appendedLines work without reallocating;
    // truncating keeps the capacity. Latin-1 needs no more room than UTF-8.
    QString text(utf8.requiredSpace(bytes.size()) + 1, Qt::Uninitialized);
    const QChar *end = utf8.appendToBuffer(text.data(), bytes);
    if (utf8.hasError())
        end = QStringDecoder(QStringDecoder::Latin1).appendToBuffer(text.data(), bytes);
    text.truncate(end - text.constData());
    return text;
}
