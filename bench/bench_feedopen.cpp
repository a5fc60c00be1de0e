// Opening a feed of 10,000 items (about 50 MB) in the feed window and saving it back, through
// the window's own handlers, and the memory that takes at its peak. The feed is written by a
// child run of this program, so that making it does not count. Run with
// QT_QPA_PLATFORM=offscreen (set when unset).
#include "feed/feeddocument.h"
#include "feed/itemstore.h"
#include "feed/rfc822date.h"
#include "feedwindow/formrss.h"
#include "tests/doubles/testservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

constexpr int ItemCount = 10'000;

[[nodiscard]] double elapsedMs(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// A feed as Parlora writes it, with descriptions of about 5 KB: a long article per episode.
[[nodiscard]] QByteArray largeFeed()
{
    QString description;
    while (description.size() < 3'900)
        description += u"An episode read aloud: news & notes about <speech> synthesis. Ünïcödé too.\n"_s;
    const QString date = rfc822Date(QDateTime(QDate(2026, 12, 6), QTime(3, 5, 9), Qt::UTC));
    ItemStore items;
    for (int i = 0; i < ItemCount; ++i) {
        const QString number = QString::number(i);
        items.append({u"Episode "_s + number, description, u"https://example.org/episodes/"_s + number, date,
                      u"Ada Lovelace"_s, u"https://example.org/audio/episode"_s + number + u".mp3"_s,
                      u"12345678"_s, u"audio/mpeg"_s});
    }
    return feedFileBytes(feedDocument(feedHeaderTemplate(),
                                      channelBlock({u"Parlora Weekly"_s, u"Ada Lovelace"_s,
                                                    u"Spoken articles."_s, u"https://example.org/"_s}),
                                      items.text(), feedFooterTemplate()));
}

// The process's resident memory now and at its peak, in bytes, from /proc/self/status.
[[nodiscard]] qint64 memoryKiB(const char *field)
{
    QFile status(u"/proc/self/status"_s);
    if (!status.open(QIODevice::ReadOnly))
        return 0;
    for (const QByteArray &line : status.readAll().split('\n')) {
        if (line.startsWith(field))
            return line.mid(qstrlen(field)).trimmed().split(' ').first().toLongLong() * 1024;
    }
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (argc == 3 && qstrcmp(argv[1], "--write") == 0) {
        QCoreApplication core(argc, argv);
        const QByteArray bytes = largeFeed();
        QFile file(QString::fromLocal8Bit(argv[2]));
        return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size() ? 0 : 1;
    }
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString feedPath = folder.filePath(u"feed.xml"_s);
    const QString savedPath = folder.filePath(u"saved.xml"_s);
    if (QProcess::execute(QCoreApplication::applicationFilePath(), {u"--write"_s, feedPath}) != 0)
        return 1;
    QByteArray bytes;
    qint64 baseline = 0;

    constexpr int rounds = 5;
    double bestOpenMs = 1e12;
    double bestSaveMs = 1e12;
    bool identical = true;
    std::printf("%-6s  %10s  %10s\n", "round", "open (ms)", "save (ms)");
    for (int round = 1; round <= rounds; ++round) {
        TestServices test;
        FormRss window(test.services());
        if (round == 1)
            baseline = memoryKiB("VmRSS:");
        test.fileDialogs.answer(feedPath);
        QElapsedTimer timer;
        timer.start();
        window.opn_Click();
        const double openMs = elapsedMs(timer);

        test.fileDialogs.answer(savedPath);
        timer.restart();
        window.Command1_Click();
        const double saveMs = elapsedMs(timer);
        std::printf("%-6d  %10.1f  %10.1f\n", round, openMs, saveMs);
        bestOpenMs = std::min(bestOpenMs, openMs);
        bestSaveMs = std::min(bestSaveMs, saveMs);

        if (round == 1) {
            const qint64 peak = memoryKiB("VmHWM:");
            QFile original(feedPath);
            if (!original.open(QIODevice::ReadOnly))
                return 1;
            bytes = original.readAll();
            std::printf("peak memory above the window's own: %.1f MB, %.2fx the file (target under 4x): %s\n",
                        static_cast<double>(peak - baseline) / 1e6,
                        static_cast<double>(peak - baseline) / static_cast<double>(bytes.size()),
                        peak - baseline < 4 * bytes.size() ? "met" : "MISSED");
        }
        QFile saved(savedPath);
        identical = identical && saved.open(QIODevice::ReadOnly) && saved.readAll() == bytes;
        if (test.messageBox.messages.size() != 1)
            std::printf("unexpected messages: %s\n", qPrintable(test.messageBox.messages.join(u" / "_s)));
    }
    std::printf("\nfeed of %d items, %.1f MB; saved back byte for byte: %s\n", ItemCount,
                static_cast<double>(bytes.size()) / 1e6, identical ? "yes" : "NO");
    std::printf("open, best: %.1f ms (target under 1000 ms): %s\n", bestOpenMs,
                bestOpenMs < 1000.0 ? "met" : "MISSED");
    std::printf("save, best: %.1f ms (target under 200 ms): %s\n", bestSaveMs,
                bestSaveMs < 200.0 ? "met" : "MISSED");
    return 0;
}
