#pragma once

#include <QByteArrayView>
#include <QString>

// The characters XML 1.0 allows.
[[nodiscard]] bool isXmlCharacter(char32_t c);
// Whether the bytes are valid UTF-8 of characters XML 1.0 allows.
[[nodiscard]] bool isXmlUtf8(const char *data, qsizetype size);
// An attribute value's text, its references to XML's five entities and to characters resolved;
// the value must hold no other references.
[[nodiscard]] QString xmlAttributeText(QByteArrayView value);
