#include "voicelibrary/voicedownload.h"

#include "voicelibrary/voicecheck.h"
#include "voicelibrary/voicestaging.h"

#include <QFileInfo>
#include <QNetworkReply>

VoiceDownload::VoiceDownload(QString helperPath, QString voicesFolder, QObject *parent)
    : QObject(parent), m_voicesFolder(std::move(voicesFolder)),
      m_check(new VoiceCheck(std::move(helperPath), this))
{
    connect(m_check, &VoiceCheck::finished, this, &VoiceDownload::checked);
}

VoiceDownload::~VoiceDownload()
{
    cancel();
}

void VoiceDownload::start(const QUrl &collectionUrl, const CollectionVoice &voice)
{
    cancel();
    m_collectionUrl = collectionUrl;
    m_voice = voice;
    m_doneBefore = 0;
    m_staging = std::make_unique<VoiceStaging>(m_voicesFolder);
    if (const QString problem = m_staging->problem(); !problem.isEmpty()) {
        fail(problem);
        return;
    }
    fetch(m_voice.config);
}

void VoiceDownload::cancel()
{
    m_reply.reset();
    m_target.close();
    m_staging.reset();
    m_check->cancel();
}

void VoiceDownload::fetch(const CollectionFile &file)
{
    m_file = &file;
    m_fileReceived = 0;
    m_md5.reset();
    m_target.setFileName(m_staging->path(QFileInfo(file.path).fileName()));
    if (!m_target.open(QIODevice::WriteOnly)) {
        fail(QStringLiteral("%1 could not be written: %2").arg(m_target.fileName(), m_target.errorString()));
        return;
    }
    m_fileUrl = VoiceCollection::fileUrl(m_collectionUrl, file.path);
    m_reply.reset(m_network.get(VoiceNetwork::request(m_fileUrl)));
    connect(m_reply.get(), &QNetworkReply::readyRead, this, &VoiceDownload::receive);
    connect(m_reply.get(), &QNetworkReply::finished, this, &VoiceDownload::fileFinished);
}

void VoiceDownload::receive()
{
    const QByteArray bytes = m_reply->readAll();
    if (m_reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt() >= 400)
        return; // an error page, reported once the reply has finished
    m_fileReceived += bytes.size();
    if (m_fileReceived > m_file->size) {
        fail(QStringLiteral("%1 is larger than the voice list says; the download was stopped.")
                 .arg(m_fileUrl.toDisplayString()));
        return;
    }
    m_md5.addData(bytes);
    if (m_target.write(bytes) != bytes.size()) {
        fail(QStringLiteral("%1 could not be written: %2").arg(m_target.fileName(), m_target.errorString()));
        return;
    }
    Q_EMIT progressed(m_doneBefore + m_fileReceived, m_voice.size());
}

void VoiceDownload::fileFinished()
{
    const QString address = m_fileUrl.toDisplayString();
    if (m_reply->error() != QNetworkReply::NoError) {
        fail(QStringLiteral("The voice could not be downloaded from %1: %2")
                 .arg(address, VoiceNetwork::describeError(*m_reply)));
        return;
    }
    receive();
    if (!m_staging)
        return; // failed on the last bytes
    if (m_fileReceived != m_file->size || m_md5.result().toHex() != m_file->md5) {
        fail(QStringLiteral(
                 "The file downloaded from %1 is not the one the voice list names (its size or MD5 sum "
                 "differs); it may have been damaged on the way.")
                 .arg(address));
        return;
    }
    if (!m_target.flush()) {
        fail(QStringLiteral("%1 could not be written: %2").arg(m_target.fileName(), m_target.errorString()));
        return;
    }
    m_target.close();
    m_reply.reset();
    m_doneBefore += m_fileReceived;
    if (m_file == &m_voice.config)
        fetch(m_voice.model);
    else
        m_check->start(m_staging->path(m_voice.modelFileName()));
}

void VoiceDownload::checked(const QString &problem)
{
    if (!problem.isEmpty()) {
        fail(QStringLiteral("The voice %1 cannot be used: %2").arg(m_voice.key, problem));
        return;
    }
    const QString installProblem = m_staging->install(m_voice.modelFileName());
    const QString installed = m_staging->installedPath(m_voice.modelFileName());
    m_staging.reset();
    if (installProblem.isEmpty())
        Q_EMIT downloaded(installed);
    else
        Q_EMIT failed(installProblem);
}

void VoiceDownload::fail(const QString &reason)
{
    cancel();
    Q_EMIT failed(reason);
}
