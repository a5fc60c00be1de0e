#include "tests/engine/soundserver.h"

#include <QProcess>

namespace {

QByteArray pactl(const QStringList &arguments, int *exitCode = nullptr)
{
    QProcess process;
    process.start(QStringLiteral("pactl"), arguments);
    process.waitForFinished(10000);
    if (exitCode)
        *exitCode = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    return process.readAllStandardOutput();
}

} // namespace

QList<SinkInput> sinkInputs()
{
    QList<SinkInput> inputs;
    for (const QByteArray &line :
         pactl({QStringLiteral("list"), QStringLiteral("sink-inputs")}).split('\n')) {
        const QByteArray trimmed = line.trimmed();
        if (trimmed.startsWith("Sink Input #"))
            inputs.append(SinkInput{});
        else if (trimmed.startsWith("Corked:") && !inputs.isEmpty())
            inputs.last().corked = trimmed.endsWith("yes");
    }
    return inputs;
}

bool soundServerReachable()
{
    int exitCode = -1;
    (void)pactl({QStringLiteral("info")}, &exitCode);
    return exitCode == 0;
}
