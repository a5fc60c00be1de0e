#include "voicelibrary/voiceaddition.h"

#include "voicelibrary/voicecheck.h"
#include "voicelibrary/voicestaging.h"

#include <QFile>
#include <QFileInfo>
#include <QThread>

namespace {

const QString ConfigEnding = QStringLiteral(".json");

QString copyFile(const QString &from, const QString &to, const std::atomic_bool &stop)
{
    QFile source(from);
    QFile target(to);
    if (!source.open(QIODevice::ReadOnly))
        return QStringLiteral("%1 could not be read: %2").arg(from, source.errorString());
    if (!target.open(QIODevice::WriteOnly))
        return QStringLiteral("%1 could not be written: %2").arg(to, target.errorString());
    constexpr qint64 ChunkBytes = 1 << 20;
    while (!source.atEnd() && !stop) {
        const QByteArray chunk = source.read(ChunkBytes);
        if (chunk.isEmpty() && source.error() != QFileDevice::NoError)
            return QStringLiteral("%1 could not be read: %2").arg(from, source.errorString());
        if (target.write(chunk) != chunk.size())
            return QStringLiteral("%1 could not be written: %2").arg(to, target.errorString());
    }
    if (!target.flush())
        return QStringLiteral("%1 could not be written: %2").arg(to, target.errorString());
    return {};
}

} // namespace

VoiceAddition::VoiceAddition(QString helperPath, QString voicesFolder, QObject *parent)
    : QObject(parent), m_voicesFolder(std::move(voicesFolder)),
      m_check(new VoiceCheck(std::move(helperPath), this))
{
    connect(m_check, &VoiceCheck::finished, this, &VoiceAddition::checked);
}

VoiceAddition::~VoiceAddition()
{
    // The copy writes into the staging folder, which goes with this object; a chunk at most is
    // left to write.
    m_stopCopying = true;
    if (m_copy)
        m_copy->wait();
}

QString VoiceAddition::modelPathFor(const QString &pickedPath)
{
    return pickedPath.endsWith(QStringLiteral(".onnx") + ConfigEnding)
               ? pickedPath.chopped(ConfigEnding.size())
               : pickedPath;
}

void VoiceAddition::start(const QString &pickedPath)
{
    m_modelPath = modelPathFor(pickedPath);
    m_check->start(m_modelPath);
}

void VoiceAddition::checked(const QString &problem)
{
    if (!problem.isEmpty()) {
        Q_EMIT refused(problem);
        return;
    }
    m_staging = std::make_unique<VoiceStaging>(m_voicesFolder);
    if (const QString stagingProblem = m_staging->problem(); !stagingProblem.isEmpty()) {
        m_staging.reset();
        Q_EMIT refused(stagingProblem);
        return;
    }
    const QString name = QFileInfo(m_modelPath).fileName();
    const QString model = m_modelPath;
    const QString stagedModel = m_staging->path(name);
    m_copy.reset(QThread::create([this, model, stagedModel] {
        m_copyProblem = copyFile(model + ConfigEnding, stagedModel + ConfigEnding, m_stopCopying);
        if (m_copyProblem.isEmpty())
            m_copyProblem = copyFile(model, stagedModel, m_stopCopying);
    }));
    connect(m_copy.get(), &QThread::finished, this, &VoiceAddition::copied);
    m_copy->start();
}

void VoiceAddition::copied()
{
    QString problem = m_copyProblem;
    if (problem.isEmpty())
        problem = m_staging->install(QFileInfo(m_modelPath).fileName());
    const QString installed = m_staging->installedPath(QFileInfo(m_modelPath).fileName());
    m_staging.reset();
    if (problem.isEmpty())
        Q_EMIT added(installed);
    else
        Q_EMIT refused(problem);
}
