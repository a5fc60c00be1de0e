// Times loading large log files for appending, to show the cost grows linearly with the file.
#include "documents/textfileforappend.h"

#include <QByteArray>
#include <QElapsedTimer>
#include <QFile>
#include <QList>
#include <QTemporaryDir>
#include <QTextStream>

#include <algorithm>
#include <cstdlib>
#include <limits>

#include <malloc.h>

namespace {

// Every generated line has this many characters before its CR LF, so a million lines make 50 MB.
constexpr qsizetype lineLength = 48;
constexpr int rounds = 7;
// Each sample loads the smaller files this many lines' worth of times, so that all samples last
// about as long and a busy machine cannot favour the short ones.
constexpr int linesPerSample = 1'000'000;

struct Case
{
    QString label;
    int lines;
    qint64 bytes;
    QString path;
    qsizetype expectedLength;
    qint64 bestNanoseconds = std::numeric_limits<qint64>::max();

    [[nodiscard]] double seconds() const { return double(bestNanoseconds) / 1e9; }
};

// Log lines ending in CR LF; with a trailing Latin-1 byte the file is not valid UTF-8, which
// costs a UTF-8 pass over the whole file before the Latin-1 one.
[[nodiscard]] QByteArray logFile(int lines, bool endsInLatin1)
{
    QByteArray bytes;
    bytes.reserve(lines * (lineLength + 2) + 1);
    for (int i = 0; i < lines; ++i) {
        bytes += "2024-05-01 12:00:00 INFO worker request ";
        bytes += QByteArray::number(i).rightJustified(7, '0');
        bytes += ".\r\n";
    }
    if (endsInLatin1)
        bytes += '\xE9';
    return bytes;
}

[[nodiscard]] Case prepare(const QTemporaryDir &dir, const QString &label, int lines, bool endsInLatin1)
{
    const QByteArray content = logFile(lines, endsInLatin1);
    const QString path = dir.filePath(label + QStringLiteral(".log"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size())
        qFatal("cannot write %s", qPrintable(path));
    const qsizetype expectedLength = lines * (lineLength + 1) + (endsInLatin1 ? 2 : 0);
    return {label, lines, content.size(), path, expectedLength};
}

void timeSample(Case &measured)
{
    const int loads = std::max(1, linesPerSample / measured.lines);
    QElapsedTimer timer;
    timer.start();
    for (int load = 0; load < loads; ++load) {
        const TextLoadResult result = readTextFileForAppend(measured.path);
        if (!result.isSuccess() || result.text().size() != measured.expectedLength) {
            qFatal("wrong result for %s: %s", qPrintable(measured.label),
                   qPrintable(result.errorDescription()));
        }
    }
    measured.bestNanoseconds = std::min(measured.bestNanoseconds, timer.nsecsElapsed() / loads);
}

} // namespace

int main()
{
    // glibc recycles freed blocks of up to 32 MiB but maps larger ones afresh, so by default the
    // small file would be timed on warm memory and the large one on pages the kernel must first
    // supply. A fixed threshold makes every run pay for fresh pages, as a first load does.
    mallopt(M_MMAP_THRESHOLD, 1024 * 1024);

    QTemporaryDir dir;
    if (!dir.isValid())
        qFatal("cannot create a temporary folder: %s", qPrintable(dir.errorString()));

    QList<Case> cases{
        prepare(dir, QStringLiteral("utf8-100k"), 100'000, false),
        prepare(dir, QStringLiteral("utf8-1m"), 1'000'000, false),
        prepare(dir, QStringLiteral("latin1-1m"), 1'000'000, true),
    };
    // Rounds take turns over the files, so a busy moment of the machine costs each of them
    // alike; the best round of each is the one the machine disturbed least.
    for (int round = 0; round < rounds; ++round) {
        for (Case &measured : cases)
            timeSample(measured);
    }

    QTextStream out(stdout);
    out << QStringLiteral("%1 %2 %3 %4 %5\n")
               .arg(u"file", -10)
               .arg(u"lines", 10)
               .arg(u"MB", 8)
               .arg(u"seconds", 9)
               .arg(u"MB/s", 8);
    for (const Case &measured : std::as_const(cases)) {
        out << QStringLiteral("%1 %2 %3 %4 %5\n")
                   .arg(measured.label, -10)
                   .arg(measured.lines, 10)
                   .arg(double(measured.bytes) / 1e6, 8, 'f', 1)
                   .arg(measured.seconds(), 9, 'f', 3)
                   .arg(double(measured.bytes) / 1e6 / measured.seconds(), 8, 'f', 0);
    }

    const Case &small = cases.at(0);
    const Case &large = cases.at(1);
    const Case &latin1 = cases.at(2);
    const double ratio = large.seconds() / small.seconds();
    const bool fastEnough = large.seconds() < 2.0 && latin1.seconds() < 2.0;
    const bool linear = ratio <= 12.0;
    out << QStringLiteral("\n1,000,000 lines under 2 s: %1\n").arg(fastEnough ? u"yes" : u"NO");
    out << QStringLiteral("1,000,000 / 100,000 lines time ratio: %1 (at most 12: %2)\n")
               .arg(ratio, 0, 'f', 2)
               .arg(linear ? u"yes" : u"NO");
    out.flush();
    return fastEnough && linear ? EXIT_SUCCESS : EXIT_FAILURE;
}
