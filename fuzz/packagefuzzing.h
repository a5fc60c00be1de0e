#pragma once

#include "documents/documentparagraph.h"

#include <cstddef>
#include <cstdint>
#include <functional>

class DocumentLoadControl;
class ZipPackage;

using PackageReader = std::function<DocumentParagraphs(ZipPackage &, DocumentLoadControl &)>;

// Arbitrary bytes as a zip package through one of the document readers. A DocumentError is
// the expected answer to a broken package; anything else that escapes, or a paragraph that
// breaks the readers' promises (empty, or with line breaks or control characters), is a fault.
int fuzzPackage(const uint8_t *data, size_t size, const PackageReader &read);
