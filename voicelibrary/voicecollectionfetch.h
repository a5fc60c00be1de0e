#pragma once

#include "voicelibrary/voicecollection.h"
#include "voicelibrary/voicenetwork.h"

#include <QNetworkAccessManager>
#include <QObject>

// Reads a voice collection from its address in the background.
class VoiceCollectionFetch final : public QObject
{
    Q_OBJECT
    Q_DISABLE_COPY_MOVE(VoiceCollectionFetch)

public:
    explicit VoiceCollectionFetch(QObject *parent = nullptr);
    ~VoiceCollectionFetch() override;

    // Replaces a fetch under way.
    void start(const QUrl &address);
    // Nothing is reported for a fetch cancelled.
    void cancel();
    [[nodiscard]] bool isRunning() const { return m_reply != nullptr; }

Q_SIGNALS:
    void fetched(const QList<CollectionVoice> &voices);
    void failed(const QString &reason);

private:
    void finish();

    QNetworkAccessManager m_network;
    QUrl m_address;
    OwnedReply m_reply;
};
