// Arbitrary bytes as an DOCX package: see packagefuzzing.h.
#include "documents/docxparagraphs.h"
#include "fuzz/packagefuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzPackage(data, size, docxParagraphs);
}
