// First sound heard: from a click on Read text to the first sound at the null sink's monitor,
// beside espeak-ng's own command and paplay on the same server. Run inside
// scripts/with-sound-server.sh (offscreen is enough: the click is the handler's).
#include "bench/benchtext.h"
#include "speechwindow/formwav.h"
#include "tests/support/realenginewindow.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QListWidget>
#include <QPushButton>
#include <QPlainTextEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <functional>

namespace {

constexpr int Runs = 10;
constexpr int MonitorRate = 8000;
constexpr int LoudSample = 300;

// Listens to the default sink's monitor and tells when sound is first heard after arm().
class MonitorListener final
{
public:
    MonitorListener()
    {
        QObject::connect(&m_recorder, &QProcess::readyReadStandardOutput, [this] { take(); });
        m_recorder.start(QStringLiteral("parec"),
                         {QStringLiteral("-d"), QStringLiteral("@DEFAULT_MONITOR@"), QStringLiteral("--raw"),
                          QStringLiteral("--format=s16le"), QStringLiteral("--rate=%1").arg(MonitorRate),
                          QStringLiteral("--channels=1"), QStringLiteral("--latency-msec=10")});
        m_clock.start();
    }
    ~MonitorListener()
    {
        m_recorder.kill();
        m_recorder.waitForFinished();
    }

    void arm()
    {
        m_armedAt = m_clock.nsecsElapsed();
        m_heardAt = -1;
    }
    // Milliseconds from arm() to the first loud sample, or -1 when none came in time.
    double waitForSound(int timeoutMs)
    {
        (void)QTest::qWaitFor([this] { return m_heardAt >= 0; }, timeoutMs);
        return m_heardAt < 0 ? -1.0 : double(m_heardAt - m_armedAt) / 1e6;
    }
    // Milliseconds from arm() to the last loud sample before a silence of quietMs.
    double silenceAfterArm(int quietMs)
    {
        waitForSilence(quietMs);
        return double(m_lastLoud - m_armedAt) / 1e6;
    }
    void waitForSilence(int quietMs)
    {
        (void)QTest::qWaitFor([&] { return m_clock.nsecsElapsed() - m_lastLoud > qint64(quietMs) * 1000000; },
                              10000);
    }

private:
    void take()
    {
        const QByteArray bytes = m_recorder.readAllStandardOutput();
        const qint64 now = m_clock.nsecsElapsed();
        const auto *samples = reinterpret_cast<const qint16 *>(bytes.constData());
        for (qsizetype i = 0; i < bytes.size() / 2; ++i) {
            if (std::abs(int(samples[i])) > LoudSample) {
                m_lastLoud = now;
                if (m_heardAt < 0 && m_armedAt >= 0)
                    m_heardAt = now;
                break;
            }
        }
    }

    QProcess m_recorder;
    QElapsedTimer m_clock;
    qint64 m_armedAt = -1;
    qint64 m_heardAt = -1;
    qint64 m_lastLoud = 0;
};

double median(QList<double> values)
{
    std::sort(values.begin(), values.end());
    return values.at(values.size() / 2);
}

QList<double> measure(MonitorListener &monitor, const std::function<void()> &play, const std::function<void()> &stop)
{
    QList<double> runs;
    for (int i = 0; i < Runs; ++i) {
        monitor.waitForSilence(300);
        monitor.arm();
        play();
        runs.append(monitor.waitForSound(5000));
        stop();
    }
    return runs;
}

void print(const char *what, const QList<double> &runs)
{
    std::printf("  %-34s median %6.1f ms  (min %.1f, max %.1f)\n", what, median(runs),
                *std::min_element(runs.begin(), runs.end()), *std::max_element(runs.begin(), runs.end()));
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication application(argc, argv);
    MonitorListener monitor;
    QTemporaryDir folder;
    const QString wav = folder.filePath(QStringLiteral("words.wav"));
    QProcess::execute(QStringLiteral("espeak-ng"), {QStringLiteral("-w"), wav, QStringLiteral("some words")});
    // The first stream on an idle null sink is heard late whatever plays it.
    QProcess::execute(QStringLiteral("paplay"), {wav});

    QProcess command;
    const auto stopCommand = [&command] {
        command.kill();
        command.waitForFinished();
    };
    const QList<double> espeak = measure(
        monitor, [&] { command.start(QStringLiteral("espeak-ng"), {QStringLiteral("some words")}); }, stopCommand);
    const QList<double> paplay = measure(monitor, [&] { command.start(QStringLiteral("paplay"), {wav}); }, stopCommand);

    std::printf("First sound at the monitor after the start (median of %d)\n", Runs);
    print("espeak-ng \"some words\"", espeak);
    print("paplay of a WAV", paplay);
    // Natural voices installed for the user (or in XDG_DATA_HOME) are measured too.
    QStringList voiceNames{QStringLiteral("English (America)"), QStringLiteral("English (America) - slt")};
    {
        RealEngineWindow window;
        for (const QListWidgetItem *item :
             window.window().List2->findItems(QStringLiteral("(natural)"), Qt::MatchEndsWith))
            voiceNames.append(item->text());
    }
    for (const QString &voiceName : voiceNames) {
        for (const int words : {10, 100000}) {
            RealEngineWindow window;
            FormWav &form = window.window();
            form.show();
            const QList<QListWidgetItem *> items = form.List2->findItems(voiceName, Qt::MatchExactly);
            form.List2->setCurrentItem(items.value(0));
            form.Text1->setPlainText(benchmarkText(words));
            // The window is up and idle, as when the user clicks; a natural voice's model takes
            // a second or two to load once it is chosen.
            QTest::qWait(voiceName.endsWith(QStringLiteral("(natural)")) ? 4000 : 500);
            // A natural voice's next helper loads while the reading plays, from half a second
            // after Read on: clicking again sooner waits for it.
            const int pauseMs = voiceName.endsWith(QStringLiteral("(natural)")) ? 2500 : 300;
            const QList<double> read = measure(
                monitor, [&form] { form.Command2_Click(); },
                [&form, pauseMs] {
                    // Read text leaves the button's caption as it was: pause whatever it says.
                    form.Command1->setText(QStringLiteral("Pause"));
                    form.Command1_Click(); // so the sound stops at once
                    QTest::qWait(pauseMs); // as long as a user takes to click again
                });
            const QString label = QStringLiteral("Read text, %1, %2 words").arg(voiceName).arg(words);
            print(qPrintable(label), read);
        }
    }
    std::printf("  (target: under 60 ms for Read text; under 250 ms for a natural voice)\n");

    // Pause and Resume in the middle of a long reading.
    RealEngineWindow window;
    FormWav &form = window.window();
    form.show();
    form.List2->setCurrentItem(
        form.List2->findItems(QStringLiteral("English (America)"), Qt::MatchExactly).value(0));
    form.Text1->setPlainText(benchmarkText(5000));
    QTest::qWait(500);
    form.Command2_Click();
    QList<double> toSilence;
    QList<double> toSound;
    for (int i = 0; i < Runs; ++i) {
        QTest::qWait(700); // inside a sentence, mostly
        monitor.arm();
        form.Command1->setText(QStringLiteral("Pause"));
        form.Command1_Click();
        // Between two sentences the reading is silent already: that counts as at once.
        toSilence.append(std::max(0.0, monitor.silenceAfterArm(200)));
        monitor.arm();
        form.Command1_Click(); // Resume
        toSound.append(monitor.waitForSound(5000));
    }
    print("Pause, click to silence", toSilence);
    print("Resume, click to sound", toSound);
    std::printf("  (about 60 ms from click to silence or sound)\n");
    return 0;
}
