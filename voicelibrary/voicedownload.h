#pragma once

#include "voicelibrary/voicecollection.h"
#include "voicelibrary/voicenetwork.h"

#include <QCryptographicHash>
#include <QFile>
#include <QNetworkAccessManager>
#include <QObject>

#include <memory>

class VoiceCheck;
class VoiceStaging;

// Downloads a voice of a collection into the voices folder: its configuration, then its model,
// each checked against the collection's size and MD5 sum, then the voice checked as one being
// added is. Nothing of a download that fails or is cancelled is left, and a voice of the same name
// stays as it was.
class VoiceDownload final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoiceDownload)

public:
    VoiceDownload(QString helperPath, QString voicesFolder, QObject *parent = nullptr);
    ~VoiceDownload() override;

    // collectionUrl: the address the collection was read from, which the voice's paths are
    // relative to.
    void start(const QUrl &collectionUrl, const CollectionVoice &voice);
    // Nothing is reported for a download cancelled.
    void cancel();
    [[nodiscard]] bool isRunning() const { return m_staging != nullptr; }

Q_SIGNALS:
    // Of both files together.
    void progressed(qint64 receivedBytes, qint64 totalBytes);
    // modelPath: where the voice's model now lies in the voices folder.
    void downloaded(const QString &modelPath);
    void failed(const QString &reason);

private:
    void fetch(const CollectionFile &file);
    void receive();
    void fileFinished();
    void checked(const QString &problem);
    void fail(const QString &reason);

    QString m_voicesFolder;
    QNetworkAccessManager m_network;
    VoiceCheck *m_check = nullptr; // a child
    QUrl m_collectionUrl;
    CollectionVoice m_voice;
    std::unique_ptr<VoiceStaging> m_staging;
    // The file being downloaded.
    const CollectionFile *m_file = nullptr;
    QUrl m_fileUrl;
    OwnedReply m_reply;
    QFile m_target;
    QCryptographicHash m_md5{QCryptographicHash::Md5};
    qint64 m_fileReceived = 0;
    qint64 m_doneBefore = 0; // bytes of the files finished earlier
};
