#include "fuzz/packagefuzzing.h"

#include "documents/documenterror.h"
#include "documents/documentloadcontrol.h"
#include "documents/zippackage.h"

#include <QByteArray>

#include <cstdio>
#include <cstdlib>

namespace {

[[noreturn]] void broken(const char *promise)
{
    std::fprintf(stderr, "paragraph breaks its promise: %s\n", promise);
    std::abort();
}

} // namespace

int fuzzPackage(const uint8_t *data, size_t size, const PackageReader &read)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    DocumentLoadControl control;
    try {
        ZipPackage package(bytes, QStringLiteral("fuzzed"));
        for (const DocumentParagraph &paragraph : read(package, control)) {
            if (paragraph.text.isEmpty())
                broken("not empty");
            if (paragraph.text.front().isSpace() || paragraph.text.back().isSpace())
                broken("trimmed");
            for (const QChar c : paragraph.text) {
                if (c.category() == QChar::Other_Control)
                    broken("no control characters");
            }
        }
    } catch (const DocumentError &) {
    }
    return 0;
}
