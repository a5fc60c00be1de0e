#include "voicelibrary/voicestaging.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>

namespace {

// Moves a file in, replacing what is there in one step, which QFile::rename does not.
QString moveReplacing(const QString &from, const QString &to)
{
    if (std::rename(QFile::encodeName(from).constData(), QFile::encodeName(to).constData()) == 0)
        return {};
    return QStringLiteral("%1 could not be written: %2")
        .arg(to, QString::fromLocal8Bit(std::strerror(errno)));
}

} // namespace

VoiceStaging::VoiceStaging(const QString &voicesFolder)
    : m_voicesFolder(voicesFolder), m_folderMade(QDir().mkpath(voicesFolder)),
      m_staging(voicesFolder + QStringLiteral("/.incoming-XXXXXX"))
{}

QString VoiceStaging::problem() const
{
    if (!m_folderMade)
        return QStringLiteral("The voices folder %1 could not be made.").arg(m_voicesFolder);
    if (!m_staging.isValid())
        return QStringLiteral("Nothing can be written into the voices folder %1: %2")
            .arg(m_voicesFolder, m_staging.errorString());
    return {};
}

QString VoiceStaging::path(const QString &fileName) const
{
    return m_staging.filePath(fileName);
}

QString VoiceStaging::installedPath(const QString &modelFileName) const
{
    return m_voicesFolder + u'/' + modelFileName;
}

QString VoiceStaging::install(const QString &modelFileName)
{
    // The configuration first: a model is listed only once its configuration is beside it.
    const QString configFileName = modelFileName + QStringLiteral(".json");
    if (QString problem = moveReplacing(path(configFileName), installedPath(configFileName));
        !problem.isEmpty())
        return problem;
    return moveReplacing(path(modelFileName), installedPath(modelFileName));
}
