// The window's thread never waits for the engine: the largest gap of a 10 ms timer on it while
// a reading plays, while a file is rendered (with a reading playing), while the reading's helper
// is stopped with SIGSTOP for 15 s, and when it is killed. Run inside scripts/with-sound-server.sh.
#include "bench/benchtext.h"
#include "engine/rendertofile.h"
#include "speechwindow/formwav.h"
#include "tests/support/realenginewindow.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <csignal>
#include <cstdio>

#include <unistd.h>

namespace {

// The largest gap between ticks of a 10 ms timer while it runs.
class GapWatch final
{
public:
    GapWatch()
    {
        m_timer.setInterval(10);
        m_timer.setTimerType(Qt::PreciseTimer);
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            m_largestMs = std::max(m_largestMs, double(m_sinceTick.nsecsElapsed()) / 1e6 - 10.0);
            m_sinceTick.start();
        });
    }
    void start()
    {
        m_largestMs = 0;
        m_sinceTick.start();
        m_timer.start();
    }
    double stop()
    {
        m_timer.stop();
        return m_largestMs;
    }

private:
    QTimer m_timer;
    QElapsedTimer m_sinceTick;
    double m_largestMs = 0;
};

// Our helpers that speak a reading: every child but the one waiting, prepared, for the next.
QList<pid_t> readingHelpers()
{
    QList<pid_t> helpers;
    const qint64 prepared = RealEngineWindow::engine().preparedHelperProcessId();
    const QDir tasks(QStringLiteral("/proc/self/task"));
    for (const QString &task : tasks.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile children(tasks.filePath(task + QStringLiteral("/children")));
        if (children.open(QIODevice::ReadOnly))
            for (const QByteArray &child : children.readAll().split(' '))
                if (!child.trimmed().isEmpty() && child.trimmed().toLongLong() != prepared)
                    helpers.append(pid_t(child.trimmed().toLongLong()));
    }
    return helpers;
}

void report(const char *what, double gapMs)
{
    std::printf("  %-52s %6.1f ms\n", what, gapMs);
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    RealEngineWindow window;
    FormWav &form = window.window();
    form.show();
    form.Text1->setPlainText(benchmarkText(20000));
    QTest::qWait(500);
    GapWatch watch;
    std::printf("Largest gap of a 10 ms timer on the window's thread (target under 50 ms)\n");

    watch.start();
    form.Command2_Click();
    QTest::qWait(5000);
    report("reading, 5 s", watch.stop());

    QTemporaryDir folder;
    watch.start();
    QTimer::singleShot(0, [&folder] {
        auto voice = RealEngineWindow::engine().createVoice();
        (void)renderToFile(*voice, {.text = benchmarkText(5000),
                                    .fileName = folder.filePath(QStringLiteral("stall.wav")),
                                    .format = SoundFileFormat::Wav,
                                    .progress = {}});
    });
    // The rendering serves events until it is done, as under the save handler.
    (void)QTest::qWaitFor([&folder] { return QFile::exists(folder.filePath(QStringLiteral("stall.wav"))); },
                          60000);
    report("rendering 5,000 words while the reading plays", watch.stop());

    watch.start();
    QList<pid_t> helpers = readingHelpers();
    for (const pid_t helper : helpers)
        ::kill(helper, SIGSTOP);
    QTest::qWait(15000);
    for (const pid_t helper : helpers)
        ::kill(helper, SIGCONT);
    QTest::qWait(1000);
    report("reading, its helper stopped with SIGSTOP for 15 s", watch.stop());

    form.Command2_Click(); // a fresh reading
    QTest::qWait(1000);
    watch.start();
    helpers = readingHelpers();
    for (const pid_t helper : helpers)
        ::kill(helper, SIGKILL);
    QTest::qWait(3000);
    report("reading, its helper killed", watch.stop());
    std::printf("  (%lld helper processes were stopped or killed)\n", qlonglong(helpers.size()));
    return 0;
}
