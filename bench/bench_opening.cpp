// File, Open through the speech window: a 50 MB log of 1,000,000 lines appended to the text
// box, the box's own cost included. Run by hand: QT_QPA_PLATFORM=offscreen bin/bench_opening
#include "speechwindow/formwav.h"
#include "tests/doubles/testservices.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QPlainTextEdit>
#include <QTemporaryDir>

#include <cstdio>

namespace {

QString writeLog(const QTemporaryDir &folder, int lines)
{
    const QString path = folder.filePath(QStringLiteral("log-%1.log").arg(lines));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write the log");
    QByteArray line = QByteArray("2026-12-07 10:00:00 INFO service started request handled ok ").left(48);
    line += "\r\n";
    QByteArray block;
    for (int i = 0; i < 1000; ++i)
        block += line;
    for (int i = 0; i < lines / 1000; ++i)
        file.write(block);
    return path;
}

double secondsToOpen(const QString &path)
{
    TestServices test;
    FormWav window(test.services());
    window.show();
    test.fileDialogs.answer(path);
    QElapsedTimer timer;
    timer.start();
    window.opn_Click();
    QCoreApplication::processEvents(); // the text box lays out what it shows
    const double seconds = double(timer.nsecsElapsed()) / 1e9;
    if (window.Text1->document()->characterCount() < 10)
        qFatal("nothing was loaded");
    return seconds;
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    QTemporaryDir folder;
    const double small = secondsToOpen(writeLog(folder, 100000));
    const double large = secondsToOpen(writeLog(folder, 1000000));
    std::printf("Open through the window (read, decode, append to the text box, first layout)\n");
    std::printf("  100,000 lines (5 MB):    %6.3f s\n", small);
    std::printf("  1,000,000 lines (50 MB): %6.3f s  (target under 2 s)\n", large);
    std::printf("  ratio: %.1f (target within 12)\n", large / small);
    return 0;
}
