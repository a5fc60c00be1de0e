#include "voicelibrary/voicecheck.h"

#include "engine/naturalvoices/naturalvoiceconfig.h"
#include "engine/protocol/helperprotocol.h"

#include <QFile>
#include <QFileInfo>
#include <QMetaObject>
#include <QProcess>

namespace {

// A configuration is a few kilobytes, its phoneme map the largest part.
constexpr qint64 MaxConfigBytes = 4 << 20;

QString configProblem(const QString &modelPath)
{
    if (!QFileInfo(modelPath).isFile())
        return QStringLiteral("The voice's model %1 cannot be found.").arg(modelPath);
    QFile config(modelPath + QStringLiteral(".json"));
    if (!config.open(QIODevice::ReadOnly))
        return QStringLiteral(
                   "The voice's configuration %1 must lie beside its model, and cannot be read: %2")
            .arg(config.fileName(), config.errorString());
    const QByteArray json = config.read(MaxConfigBytes + 1);
    if (json.size() > MaxConfigBytes)
        return QStringLiteral("The voice's configuration is too large to be one.");
    return NaturalVoiceConfig::fromJson(json).error;
}

} // namespace

void VoiceCheck::ProcessEnd::operator()(QProcess *process) const
{
    // Not deleted at once: this may run inside one of the process's own signals.
    process->disconnect();
    if (process->state() == QProcess::NotRunning) {
        process->deleteLater();
        return;
    }
    // Killed, the helper ends within milliseconds; the process object goes once it has.
    QObject::connect(process, &QProcess::finished, process, &QObject::deleteLater);
    process->kill();
}

VoiceCheck::VoiceCheck(QString helperPath, QObject *parent)
    : QObject(parent), m_helperPath(std::move(helperPath))
{}

VoiceCheck::~VoiceCheck() = default;

void VoiceCheck::cancel()
{
    m_helper.reset();
    ++m_run;
}

void VoiceCheck::start(const QString &modelPath)
{
    cancel();
    if (const QString problem = configProblem(modelPath); !problem.isEmpty()) {
        // Reported as the helper's answer would be, after start has returned.
        QMetaObject::invokeMethod(
            this,
            [this, problem, run = m_run] {
                if (run == m_run)
                    Q_EMIT finished(problem);
            },
            Qt::QueuedConnection);
        return;
    }
    m_helper.reset(new QProcess);
    m_helper->setStandardOutputFile(QProcess::nullDevice());
    connect(m_helper.get(), &QProcess::finished, this, &VoiceCheck::helperFinished);
    connect(m_helper.get(), &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error != QProcess::FailedToStart)
            return; // a crash is reported by finished
        const QString reason = m_helper->errorString();
        m_helper.reset();
        Q_EMIT finished(
            QStringLiteral("The speech engine could not be started to check the voice: %1").arg(reason));
    });
    m_helper->start(m_helperPath, {QString::fromLatin1(HelperProtocol::CheckVoiceCommand), modelPath});
    m_helper->closeWriteChannel();
}

void VoiceCheck::helperFinished()
{
    const std::unique_ptr<QProcess, ProcessEnd> helper = std::move(m_helper);
    const QString reason = QString::fromUtf8(helper->readAllStandardError()).trimmed();
    if (helper->exitStatus() == QProcess::NormalExit && helper->exitCode() == HelperProtocol::ExitSuccess)
        Q_EMIT finished({});
    else if (helper->exitStatus() == QProcess::NormalExit &&
             helper->exitCode() == HelperProtocol::ExitFailure && !reason.isEmpty())
        Q_EMIT finished(reason);
    else
        Q_EMIT finished(QStringLiteral("The speech engine stopped unexpectedly while checking the voice."));
}
