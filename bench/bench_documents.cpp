// Opening a 1,000-page PDF and a 2 MB EPUB through the speech window: wall and processor time,
// peak memory, and the longest the window went without handling its events. Each document is
// opened in a fresh process, so that making the documents does not count.
// Run by hand: QT_QPA_PLATFORM=offscreen bin/bench_documents
// (bin/bench_documents --write FOLDER only writes the two books there, to open them by hand.)
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"
#include "tests/support/sampledocuments.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileInfo>
#include <QPlainTextEdit>
#include <QProcess>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>

namespace {

// Prose that compresses about as well as a novel's: words drawn at random from a vocabulary of
// a few hundred made-up words, in sentences and paragraphs, a heading every 25 paragraphs.
[[nodiscard]] DocumentParagraphs prose(int words)
{
    QRandomGenerator random(7);
    const QStringList syllables = QStringLiteral("ka lo mi ren tas pho dul ver in ste gar bel ort quin sa mu").split(u' ');
    QStringList vocabulary;
    for (int i = 0; i < 600; ++i) {
        QString word;
        for (int s = 0, n = 1 + random.bounded(3); s < n; ++s)
            word += syllables.at(random.bounded(syllables.size()));
        vocabulary.append(word);
    }
    DocumentParagraphs paragraphs;
    int chapter = 0;
    for (int written = 0; written < words;) {
        if (paragraphs.size() % 26 == 0)
            paragraphs.append({QStringLiteral("Chapter %1").arg(++chapter), true});
        QString text;
        const int length = 60 + random.bounded(120);
        for (int i = 0; i < length; ++i) {
            QString word = vocabulary.at(random.bounded(vocabulary.size()));
            if (text.isEmpty() || text.endsWith(u'.'))
                word[0] = word[0].toUpper();
            text += (text.isEmpty() ? QString() : QStringLiteral(" ")) + word;
            if (random.bounded(12) == 0 || i + 1 == length)
                text += u'.';
        }
        written += length;
        paragraphs.append({text, false});
    }
    return paragraphs;
}

[[nodiscard]] double cpuSeconds(const rusage &usage)
{
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// In the child process: opens the document and prints one line of figures.
int measureOpening(const QString &path)
{
    TestServices test;
    FormWav window(test.services());
    window.show();
    QCoreApplication::processEvents();

    // A timer that should fire every 5 ms: the longest pause between firings is how long the
    // window went without answering.
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, &window, [&] {
        longestStallMs = std::max(longestStallMs, sinceTick.restart());
    });

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    test.fileDialogs.answer(path);
    QElapsedTimer wall;
    wall.start();
    sinceTick.start();
    ticks.start(5);
    window.opn_Click();
    QCoreApplication::processEvents();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    ticks.stop();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    if (!test.messageBox.messages.isEmpty())
        qFatal("%s", qPrintable(test.messageBox.messages.first()));
    std::printf("%.2f s wall, %.2f s processor, %.0f MiB peak, longest stall %lld ms, %d lines\n", seconds,
                cpuSeconds(after) - cpuSeconds(before), double(after.ru_maxrss) / 1024.0,
                static_cast<long long>(longestStallMs), window.Text1->document()->blockCount());
    return 0;
}

void report(const QString &label, const QString &path)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    std::printf("  %s: ", qPrintable(label));
    std::fflush(stdout);
    child.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--open"), path});
    child.waitForFinished(-1);
}

[[nodiscard]] QString loadAverage()
{
    QFile file(QStringLiteral("/proc/loadavg"));
    return file.open(QIODevice::ReadOnly) ? QString::fromLatin1(file.readAll()).trimmed() : QString();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    if (argc == 3 && QByteArray(argv[1]) == "--open")
        return measureOpening(QString::fromLocal8Bit(argv[2]));

    const bool writeOnly = argc == 3 && QByteArray(argv[1]) == "--write";
    QTemporaryDir temporary;
    const QDir folder(writeOnly ? QString::fromLocal8Bit(argv[2]) : temporary.path());
    const QString pdf = folder.filePath(QStringLiteral("book.pdf"));
    const int pages = writePdf(pdf, prose(420'000), {.pageWidthMm = 148, .pageHeightMm = 210, .resolution = 1200});

    // Sized by trial: a first guess, then scaled to come out at 2 MB.
    const QString epub = folder.filePath(QStringLiteral("book.epub"));
    int words = 300'000;
    writeEpub(epub, prose(words));
    words = int(double(words) * 2.0e6 / double(QFileInfo(epub).size()));
    writeEpub(epub, prose(words));
    if (writeOnly)
        return 0;

    std::printf("Opening documents through the speech window (targets: under 3 s, under 300 MB, no stall "
                "over 50 ms)\nload average before: %s\n",
                qPrintable(loadAverage()));
    report(QStringLiteral("PDF, %1 pages, %2 MB").arg(pages).arg(double(QFileInfo(pdf).size()) / 1e6, 0, 'f', 1), pdf);
    report(QStringLiteral("EPUB, %1 MB, %2 words").arg(double(QFileInfo(epub).size()) / 1e6, 0, 'f', 1).arg(words),
           epub);
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    return 0;
}
