// Arbitrary bytes as an EPUB package: see packagefuzzing.h.
#include "documents/epubparagraphs.h"
#include "fuzz/packagefuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzPackage(data, size, epubParagraphs);
}
