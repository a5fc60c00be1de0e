// Arbitrary bytes as an ODT package: see packagefuzzing.h.
#include "documents/odtparagraphs.h"
#include "fuzz/packagefuzzing.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    return fuzzPackage(data, size, odtParagraphs);
}
