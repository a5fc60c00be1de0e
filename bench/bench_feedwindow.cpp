// Adding items and saving the feed through the feed window's own handlers, at 1,000 and
// 10,000 items. Run with QT_QPA_PLATFORM=offscreen (set when unset).
#include "feedwindow/enclosuresource.h"
#include "feedwindow/formrss.h"
#include "tests/doubles/testservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <algorithm>
#include <array>
#include <cstdio>

using namespace Qt::StringLiterals;

namespace {

struct Timing
{
    double addMs = 0;
    double saveMs = 0;
    qint64 fileBytes = 0;
};

// The enclosure fields as a saved sound file leaves them.
class SavedSoundEnclosure final : public EnclosureSource
{
public:
    [[nodiscard]] std::optional<Enclosure> enclosure() const override
    {
        Enclosure enclosure;
        enclosure.url = u"https://example.org/audio/episode.wav"_s;
        enclosure.length = u"12,345,678"_s;
        enclosure.type = u"audio/wav"_s;
        return enclosure;
    }
};

[[nodiscard]] double elapsedMs(const QElapsedTimer &timer)
{
    return static_cast<double>(timer.nsecsElapsed()) / 1e6;
}

// A fresh window, every item typed into the fields and added, then the feed saved.
[[nodiscard]] Timing runOnce(int itemCount, const QString &path)
{
    TestServices test;
    test.clock.now = QDateTime(QDate(2026, 12, 6), QTime(3, 5, 9), Qt::UTC);
    const SavedSoundEnclosure enclosure;
    FormRss window(test.services(), &enclosure);
    window.Text1->setText(u"Parlora Weekly"_s);
    window.Text2->setPlainText(u"Spoken articles."_s);
    window.Text12->setText(u"Ada Lovelace"_s);
    window.Text3->setText(u"https://example.org/"_s);
    const QString description =
        u"An episode read aloud: news & notes about <speech> synthesis,\nwith a second line and "
        "some more words so the description is as long as a typical one. Ünïcödé too."_s;

    Timing timing;
    QElapsedTimer timer;
    timer.start();
    for (int i = 0; i < itemCount; ++i) {
        const QString number = QString::number(i);
        window.Text5->setText(u"Episode "_s + number);
        window.Text4->setPlainText(description);
        window.Text6->setText(u"https://example.org/episodes/"_s + number);
        window.Command2_Click();
    }
    timing.addMs = elapsedMs(timer);

    test.fileDialogs.answer(path);
    timer.restart();
    window.Command1_Click();
    timing.saveMs = elapsedMs(timer);
    timing.fileBytes = QFileInfo(path).size();
    if (!test.messageBox.messages.isEmpty())
        std::printf("unexpected message: %s\n", qPrintable(test.messageBox.messages.join(u" / "_s)));
    return timing;
}

[[nodiscard]] double totalMs(const Timing &timing)
{
    return timing.addMs + timing.saveMs;
}

void printRow(const char *label, int itemCount, const Timing &timing)
{
    std::printf("%-5s %8d  %12.2f  %10.2f  %10.2f  %10.2f\n", label, itemCount, timing.addMs, timing.saveMs,
                totalMs(timing), static_cast<double>(timing.fileBytes) / 1e6);
}

} // namespace

int main(int argc, char *argv[])
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const QString path = folder.filePath(u"feed.xml"_s);

    constexpr std::array<int, 2> itemCounts = {1'000, 10'000};
    constexpr int rounds = 5;

    std::printf("%-5s %8s  %12s  %10s  %10s  %10s\n", "run", "items", "add all (ms)", "save (ms)",
                "total (ms)", "file (MB)");
    for (const int itemCount : itemCounts)
        printRow("cold", itemCount, runOnce(itemCount, path));

    // Taking turns exposes both sizes to the same load from the rest of the machine; the
    // fastest run of each is the least disturbed.
    std::array<Timing, 2> best;
    for (int round = 0; round < rounds; ++round) {
        for (std::size_t i = 0; i < itemCounts.size(); ++i) {
            const Timing timing = runOnce(itemCounts.at(i), path);
            if (round == 0 || totalMs(timing) < totalMs(best.at(i)))
                best.at(i) = timing;
        }
    }
    for (std::size_t i = 0; i < itemCounts.size(); ++i)
        printRow("warm", itemCounts.at(i), best.at(i));

    const double ratio = totalMs(best.at(1)) / std::max(totalMs(best.at(0)), 1e-6);
    std::printf("\n10,000 / 1,000 items, add all and save, warm: %.1fx (target within 12x): %s\n", ratio,
                ratio <= 12.0 ? "met" : "MISSED");
    std::printf("save of 10,000 items, warm: %.1f ms (target under 200 ms): %s\n", best.at(1).saveMs,
                best.at(1).saveMs < 200.0 ? "met" : "MISSED");
    return 0;
}
