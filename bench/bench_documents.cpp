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
#include <time.h>

#include <algorithm>
#include <cstdio>

namespace {

// Prose that compresses about as well as a novel's: words drawn at random from a vocabulary of
// a few hundred made-up words, in sentences and paragraphs, a heading every 25 paragraphs.
[[nodiscard]] DocumentParagraphs prose(int words)
{
    QRandomGenerator random(7);
    const QStringList syllables =
        QStringLiteral("ka lo mi ren tas pho dul ver in ste gar bel ort quin sa mu").split(u' ');
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

// A PDF as typesetters write them: one string per line in a standard font, each page's content
// compressed. QPdfWriter places every glyph on its own, which makes its pages about ten times
// as much work for poppler to parse; the benchmark reads both kinds.
int writeCompactPdf(const QString &path, const DocumentParagraphs &paragraphs)
{
    constexpr int LineLength = 95; // characters of 10 pt Helvetica across an A4 page
    constexpr double Top = 780;
    constexpr double Bottom = 60;
    QList<QByteArray> pages;
    QByteArray content;
    double y = Top;
    const auto line = [&](const QByteArray &font, double size, const QByteArray &text) {
        if (y < Bottom) {
            pages.append(content);
            content.clear();
            y = Top;
        }
        QByteArray escaped = text;
        escaped.replace('\\', "\\\\").replace('(', "\\(").replace(')', "\\)");
        content += "BT /" + font + ' ' + QByteArray::number(size) + " Tf 1 0 0 1 72 " +
                   QByteArray::number(y) + " Tm (" + escaped + ") Tj ET\n";
        y -= size * 1.2;
    };
    for (const DocumentParagraph &paragraph : paragraphs) {
        if (paragraph.isHeading) {
            y -= 12;
            line("F2", 16, paragraph.text.toLatin1());
        } else {
            QByteArray text;
            for (const QByteArray &word : paragraph.text.toLatin1().split(' ')) {
                if (text.size() + word.size() + 1 > LineLength) {
                    line("F1", 10, text);
                    text.clear();
                }
                text += (text.isEmpty() ? "" : " ") + word;
            }
            line("F1", 10, text);
        }
        y -= 6;
    }
    pages.append(content);

    // Objects: 1 catalog, 2 page tree, 3 and 4 fonts, then a page and its content per page.
    QList<QByteArray> objects{
        "<< /Type /Catalog /Pages 2 0 R >>", QByteArray(),
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica /Encoding /WinAnsiEncoding >>",
        "<< /Type /Font /Subtype /Type1 /BaseFont /Helvetica-Bold /Encoding /WinAnsiEncoding >>"};
    QByteArray kids;
    for (qsizetype i = 0; i < pages.size(); ++i) {
        const QByteArray number = QByteArray::number(i + 1);
        const QByteArray page =
            "BT /F1 8 Tf 1 0 0 1 260 810 Tm (A Sample Book) Tj ET\nBT /F1 8 Tf 1 0 0 1 290 30 Tm (" + number +
            ") Tj ET\n" + pages.at(i);
        const QByteArray stream = qCompress(page).mid(4); // without Qt's length prefix: a zlib stream
        const qsizetype pageObject = objects.size() + 1;
        kids += QByteArray::number(pageObject) + " 0 R ";
        objects.append(
            "<< /Type /Page /Parent 2 0 R /MediaBox [0 0 595 842] /Resources << /Font << /F1 3 0 R "
            "/F2 4 0 R >> >> /Contents " +
            QByteArray::number(pageObject + 1) + " 0 R >>");
        objects.append("<< /Length " + QByteArray::number(stream.size()) +
                       " /Filter /FlateDecode >>\nstream\n" + stream + "\nendstream");
    }
    objects[1] = "<< /Type /Pages /Kids [" + kids + "] /Count " + QByteArray::number(pages.size()) + " >>";

    QByteArray pdf = "%PDF-1.4\n";
    QList<qsizetype> offsets;
    for (qsizetype i = 0; i < objects.size(); ++i) {
        offsets.append(pdf.size());
        pdf += QByteArray::number(i + 1) + " 0 obj\n" + objects.at(i) + "\nendobj\n";
    }
    const qsizetype xref = pdf.size();
    pdf += "xref\n0 " + QByteArray::number(objects.size() + 1) + "\n0000000000 65535 f \n";
    for (const qsizetype offset : std::as_const(offsets))
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size " + QByteArray::number(objects.size() + 1) + " /Root 1 0 R >>\nstartxref\n" +
           QByteArray::number(xref) + "\n%%EOF\n";
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(pdf) != pdf.size())
        qFatal("cannot write %s", qPrintable(path));
    return int(pages.size());
}

[[nodiscard]] double threadCpuMs()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return double(now.tv_sec) * 1e3 + double(now.tv_nsec) / 1e6;
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
    // window went without answering. On a busy machine that includes time the window's thread
    // waited for a processor, so the processor time it used between firings is kept as well.
    QElapsedTimer sinceTick;
    qint64 longestStallMs = 0;
    double longestBusyMs = 0;
    double cpuAtTick = threadCpuMs();
    QTimer ticks;
    ticks.setTimerType(Qt::PreciseTimer);
    QObject::connect(&ticks, &QTimer::timeout, &window, [&] {
        longestStallMs = std::max(longestStallMs, sinceTick.restart());
        const double cpu = threadCpuMs();
        longestBusyMs = std::max(longestBusyMs, cpu - cpuAtTick);
        cpuAtTick = cpu;
    });

    rusage before{};
    getrusage(RUSAGE_SELF, &before);
    test.fileDialogs.answer(path);
    QElapsedTimer wall;
    wall.start();
    sinceTick.start();
    cpuAtTick = threadCpuMs();
    ticks.start(5);
    window.opn_Click();
    QCoreApplication::processEvents();
    const double seconds = double(wall.nsecsElapsed()) / 1e9;
    ticks.stop();
    rusage after{};
    getrusage(RUSAGE_SELF, &after);

    if (!test.messageBox.messages.isEmpty())
        qFatal("%s", qPrintable(test.messageBox.messages.first()));
    std::printf("%.2f s wall, %.2f s processor, %.0f MiB peak; window: longest stall %lld ms, of which "
                "at most %.0f ms busy; %d lines\n",
                seconds, cpuSeconds(after) - cpuSeconds(before), double(after.ru_maxrss) / 1024.0,
                static_cast<long long>(longestStallMs), longestBusyMs,
                window.Text1->document()->blockCount());
    return 0;
}

void report(const QString &label, const QString &path)
{
    QProcess child;
    child.setProcessChannelMode(QProcess::ForwardedChannels);
    std::printf("  %s:\n    ", qPrintable(label));
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
    const int pages =
        writePdf(pdf, prose(420'000), {.pageWidthMm = 148, .pageHeightMm = 210, .resolution = 1200});
    const QString compactPdf = folder.filePath(QStringLiteral("compact.pdf"));
    const int compactPages = writeCompactPdf(compactPdf, prose(540'000));

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
    report(QStringLiteral("PDF from QPdfWriter, %1 pages, %2 MB")
               .arg(pages)
               .arg(double(QFileInfo(pdf).size()) / 1e6, 0, 'f', 1),
           pdf);
    report(QStringLiteral("PDF with a string per line, %1 pages, %2 MB")
               .arg(compactPages)
               .arg(double(QFileInfo(compactPdf).size()) / 1e6, 0, 'f', 1),
           compactPdf);
    report(QStringLiteral("EPUB, %1 MB, %2 words")
               .arg(double(QFileInfo(epub).size()) / 1e6, 0, 'f', 1)
               .arg(words),
           epub);
    std::printf("load average after: %s\n", qPrintable(loadAverage()));
    return 0;
}
